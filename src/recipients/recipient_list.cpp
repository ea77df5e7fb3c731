#include "recipients/recipient_list.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "codec/plain_text.h"

namespace parvel {

bool RecipientList::Before(const RecipientEntry& a, const RecipientEntry& b) const {
  return sort_column_ == Column::Name ? LessIgnoringCase(a.name, b.name)
                                      : LessIgnoringCase(a.mobile, b.mobile);
}

void RecipientList::Remember(const RecipientEntry& row) {
  if (!row.tag.empty()) ++tags_[row.tag];
  if (!row.key.empty()) keys_.insert(row.key);
}

void RecipientList::Forget(const RecipientEntry& row) {
  if (!row.tag.empty()) {
    const auto it = tags_.find(row.tag);
    if (it != tags_.end() && --it->second == 0) tags_.erase(it);
  }
  if (!row.key.empty()) keys_.erase(row.key);
}

std::size_t RecipientList::Add(RecipientEntry row) {
  if (!row.key.empty() && ContainsKey(row.key)) {
    throw std::invalid_argument("a row with this key is already in the list");
  }
  std::size_t index = rows_.size();
  if (sorted_) {
    // After every row it does not sort before: ties keep the order of adding.
    const auto at = std::upper_bound(
        rows_.begin(), rows_.end(), row,
        [this](const RecipientEntry& a, const RecipientEntry& b) { return Before(a, b); });
    index = static_cast<std::size_t>(at - rows_.begin());
  }
  Remember(row);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
  selected_.insert(selected_.begin() + static_cast<std::ptrdiff_t>(index), false);
  return index;
}

void RecipientList::AddAll(std::vector<RecipientEntry> rows) {
  // Checked whole before anything is added: keys stay distinct within the
  // batch too, and a refused batch leaves the list as it was.
  std::unordered_set<std::wstring_view> batch_keys;
  for (const RecipientEntry& row : rows) {
    if (!row.key.empty() && (ContainsKey(row.key) || !batch_keys.insert(row.key).second)) {
      throw std::invalid_argument("a row with this key is already in the list");
    }
  }
  // Growth stays geometric when rows arrive in many batches.
  const std::size_t needed = rows_.size() + rows.size();
  if (needed > rows_.capacity()) rows_.reserve(std::max(needed, 2 * rows_.capacity()));
  for (RecipientEntry& row : rows) {
    Remember(row);
    rows_.push_back(std::move(row));
    selected_.push_back(false);
  }
  if (sorted_) Sort();
}

void RecipientList::Clear() {
  rows_.clear();
  selected_.clear();
  tags_.clear();
  keys_.clear();
}

void RecipientList::Select(std::size_t index, bool selected) { selected_.at(index) = selected; }

void RecipientList::SelectOnly(std::span<const std::size_t> indices) {
  selected_.assign(rows_.size(), false);
  for (const std::size_t index : indices) {
    if (index < selected_.size()) selected_[index] = true;
  }
}

std::vector<std::size_t> RecipientList::SelectedIndices() const {
  std::vector<std::size_t> indices;
  for (std::size_t i = 0; i < selected_.size(); ++i) {
    if (selected_[i]) indices.push_back(i);
  }
  return indices;
}

template <typename Gone>
void RecipientList::RemoveWhere(Gone gone) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (gone(i)) {
      Forget(rows_[i]);
      continue;
    }
    if (kept != i) {
      rows_[kept] = std::move(rows_[i]);
      selected_[kept] = selected_[i];
    }
    ++kept;
  }
  rows_.resize(kept);
  selected_.resize(kept);
}

void RecipientList::RemoveSelected() {
  RemoveWhere([this](std::size_t index) { return selected_[index]; });
}

void RecipientList::Remove(std::span<const RecipientEntry> rows) {
  const auto fields = [](const RecipientEntry* row) {
    return std::tie(row->name, row->mobile, row->kind, row->key, row->tag);
  };
  const auto before = [&fields](const RecipientEntry* a, const RecipientEntry* b) {
    return fields(a) < fields(b);
  };
  std::multiset<const RecipientEntry*, decltype(before)> gone(before);
  for (const RecipientEntry& row : rows) gone.insert(&row);
  RemoveWhere([this, &gone](std::size_t index) {
    const auto match = gone.find(&rows_[index]);
    if (match == gone.end()) return false;
    gone.erase(match);
    return true;
  });
}

void RecipientList::SetSortColumn(Column column) {
  sort_column_ = column;
  if (sorted_) Sort();
}

void RecipientList::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (sorted_) Sort();
}

void RecipientList::Sort() {
  std::vector<std::size_t> order(rows_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [this](std::size_t a, std::size_t b) { return Before(rows_[a], rows_[b]); });
  std::vector<RecipientEntry> rows;
  std::vector<bool> selected;
  rows.reserve(rows_.size());
  selected.reserve(rows_.size());
  for (const std::size_t index : order) {
    rows.push_back(std::move(rows_[index]));
    selected.push_back(selected_[index]);
  }
  rows_ = std::move(rows);
  selected_ = std::move(selected);
}

bool RecipientList::ContainsTag(std::wstring_view tag) const {
  return tags_.find(std::wstring(tag)) != tags_.end();
}

bool RecipientList::ContainsKey(std::wstring_view key) const {
  return keys_.find(std::wstring(key)) != keys_.end();
}

std::optional<std::size_t> RecipientList::FindName(const NameSearch& search) const {
  const auto matches = [&search](const RecipientEntry& row) {
    const std::wstring_view name = row.name;
    return EqualsIgnoringCase(search.whole ? name : name.substr(0, search.text.size()),
                              search.text);
  };
  const auto from =
      rows_.begin() + static_cast<std::ptrdiff_t>(std::min(search.start, rows_.size()));
  auto found = std::find_if(from, rows_.end(), matches);
  if (found == rows_.end() && search.wrap) {
    found = std::find_if(rows_.begin(), from, matches);
    if (found == from) return std::nullopt;
  }
  if (found == rows_.end()) return std::nullopt;
  return static_cast<std::size_t>(found - rows_.begin());
}

}  // namespace parvel
