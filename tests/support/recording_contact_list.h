#pragma once

#include <cstddef>
#include <vector>

#include "recipients/recipient_entry.h"
#include "workflows/address_book.h"

namespace parvel::fakes {

// The picker's contact list as a listing sees it: the rows, the size of each
// batch handed over, and how often it was emptied.
class RecordingContactList final : public ContactListSink {
 public:
  void Clear() override {
    rows.clear();
    ++clears;
  }
  void Append(std::vector<RecipientEntry> batch) override {
    batch_sizes.push_back(batch.size());
    rows.insert(rows.end(), batch.begin(), batch.end());
  }
  bool Superseded() const override { return superseded; }

  std::vector<RecipientEntry> rows;
  std::vector<std::size_t> batch_sizes;
  int clears = 0;
  // Set: the list has gone to another listing.
  bool superseded = false;
};

// The members of a distribution row, expanded as the picker does for a row of
// either kind.
inline std::vector<RecipientEntry> ExpandRow(AddressBook& book, const RecipientEntry& row) {
  std::vector<RecipientEntry> members;
  if (row.mobile == kGlobalAddressListLabel) {
    book.ExpandGlobalDistList(row, members);
  } else {
    book.ExpandContactsDistList(row, members);
  }
  return members;
}

}  // namespace parvel::fakes
