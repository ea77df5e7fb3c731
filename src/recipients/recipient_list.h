#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "recipients/recipient_entry.h"

namespace parvel {

// The rows of a recipient list view in display order, with their selection,
// the sort column and the sorted flag. While sorted, rows stand in ascending
// order of the sort column (letter case ignored, ties in order of adding).
// Keys that are set are distinct; the lookup by Tag takes constant time.
class RecipientList {
 public:
  enum class Column { Name = 0, Mobile = 1 };

  const std::vector<RecipientEntry>& Rows() const noexcept { return rows_; }
  std::size_t Count() const noexcept { return rows_.size(); }

  // Adds a row where the sort puts it (at the end when not sorted) and
  // returns its index. A key already in use is refused with std::invalid_argument.
  std::size_t Add(RecipientEntry row);
  // Appends many rows, then sorts once: the same order as adding them one by
  // one, in linear time plus one sort.
  void AddAll(std::vector<RecipientEntry> rows);
  void Clear();

  void Select(std::size_t index, bool selected);
  // Exactly these rows become the selected ones; indices past the end are
  // ignored. Sorting and adding carry the selection along with its rows.
  void SelectOnly(std::span<const std::size_t> indices);
  std::vector<std::size_t> SelectedIndices() const;
  // Removes every selected row; the others keep their order.
  void RemoveSelected();
  // Removes one row equal to each of these, where there is one; the others
  // keep their order and selection.
  void Remove(std::span<const RecipientEntry> rows);

  void SetSortColumn(Column column);
  bool Sorted() const noexcept { return sorted_; }
  // Switching sorting on puts the rows in order at once.
  void SetSorted(bool sorted);

  bool ContainsTag(std::wstring_view tag) const;
  bool ContainsKey(std::wstring_view key) const;

  // A list view's search for a row by the name it shows, as typing in the
  // list asks for it: the first row from `start` on whose name begins with
  // `text` (equals it when `whole`), letter case ignored; with `wrap` the
  // rows above `start` come after the last.
  struct NameSearch {
    std::wstring_view text;
    std::size_t start = 0;
    bool whole = false;
    bool wrap = false;
  };
  std::optional<std::size_t> FindName(const NameSearch& search) const;

 private:
  bool Before(const RecipientEntry& a, const RecipientEntry& b) const;
  void Sort();
  void Remember(const RecipientEntry& row);
  void Forget(const RecipientEntry& row);
  template <typename Gone>
  void RemoveWhere(Gone gone);

  std::vector<RecipientEntry> rows_;
  std::vector<bool> selected_;
  Column sort_column_ = Column::Name;
  bool sorted_ = false;
  std::unordered_map<std::wstring, std::size_t> tags_;  // tag -> rows holding it
  std::unordered_set<std::wstring> keys_;
};

}  // namespace parvel
