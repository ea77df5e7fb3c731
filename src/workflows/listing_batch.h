#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "recipients/recipient_entry.h"
#include "workflows/address_book.h"

namespace parvel {

inline constexpr int kDisplayTypeMailUser = 0;
inline constexpr int kDisplayTypeDistList = 1;

// Rows of a long listing reach the list in batches of this size: the list is
// redrawn once per batch, not once per row.
inline constexpr std::size_t kListingBatch = 256;

// A listing's rows on their way to the contact list: handed over per batch
// (of `size` rows; 0: only when flushed), and what was found before a host
// error is still handed over.
class ListingBatch {
 public:
  explicit ListingBatch(ContactListSink& contacts, std::size_t size = kListingBatch)
      : contacts_(contacts), size_(size) {}
  ListingBatch(const ListingBatch&) = delete;
  ListingBatch& operator=(const ListingBatch&) = delete;
  ~ListingBatch() {
    try {
      Flush();
    } catch (...) {
      // Left by an error: that error is the one the user needs to see.
    }
  }

  void Add(RecipientEntry row) {
    rows_.push_back(std::move(row));
    if (size_ != 0 && rows_.size() >= size_) Flush();
  }
  void Flush() {
    if (rows_.empty() || contacts_.Superseded()) return;
    std::vector<RecipientEntry> rows = std::move(rows_);
    rows_.clear();
    contacts_.Append(std::move(rows));
  }

 private:
  ContactListSink& contacts_;
  std::size_t size_;
  std::vector<RecipientEntry> rows_;
};

// The rows as both the item walks and the table reads make them.
RecipientEntry EnvelopeRow(std::wstring name, std::wstring mobile, std::wstring tag);
RecipientEntry DistributionRow(std::wstring name, std::wstring source, std::wstring tag);

}  // namespace parvel
