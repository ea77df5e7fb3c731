#include "support/recording_window_view.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace parvel {

void PrintTo(const RecipientEntry& row, std::ostream* out) {
  using testing::PrintToString;
  *out << "{" << PrintToString(row.name) << ", " << PrintToString(row.mobile) << ", "
       << PrintToString(std::wstring(KindText(row.kind))) << ", key " << PrintToString(row.key)
       << ", tag " << PrintToString(row.tag) << "}";
}

}  // namespace parvel

namespace parvel::fakes {

std::wstring RecordingWindowView::Text(std::wstring_view control) const {
  const auto it = texts.find(control);
  return it == texts.end() ? std::wstring() : it->second;
}

void RecordingWindowView::SetText(std::wstring_view control, std::wstring_view text) {
  texts[std::wstring(control)] = text;
}

std::optional<LocalDateTime> RecordingWindowView::DateTime(std::wstring_view control) const {
  const auto it = dates.find(control);
  if (it == dates.end()) return std::nullopt;
  return it->second;
}

bool RecordingWindowView::Checked(std::wstring_view control) const {
  return ticked.find(control) != ticked.end();
}

void RecordingWindowView::SetChecked(std::wstring_view control, bool value) {
  if (value) {
    ticked.emplace(control);
  } else if (const auto it = ticked.find(control); it != ticked.end()) {
    ticked.erase(it);
  }
}

void RecordingWindowView::SetEnabled(std::wstring_view control, bool value) {
  if (value) {
    if (const auto it = disabled.find(control); it != disabled.end()) disabled.erase(it);
  } else {
    disabled.emplace(control);
  }
}

void RecordingWindowView::SetVisible(std::wstring_view control, bool value) {
  if (value) {
    if (const auto it = hidden.find(control); it != hidden.end()) hidden.erase(it);
  } else {
    hidden.emplace(control);
  }
}

bool RecordingWindowView::Visible(std::wstring_view control) const {
  return hidden.find(control) == hidden.end();
}

void RecordingWindowView::ShowRows(std::wstring_view control, const RecipientList& list) {
  rows[std::wstring(control)] = list.Rows();
  selected[std::wstring(control)] = list.SelectedIndices();
  ++redraws[std::wstring(control)];
}

void RecordingWindowView::ShowAppendedRows(std::wstring_view control, const RecipientList& list) {
  rows[std::wstring(control)] = list.Rows();
  ++redraws[std::wstring(control)];
}

std::vector<std::size_t> RecordingWindowView::SelectedRows(std::wstring_view control) const {
  const auto it = selected.find(control);
  return it == selected.end() ? std::vector<std::size_t>() : it->second;
}

void RecordingWindowView::ClearList(std::wstring_view control) {
  lists[std::wstring(control)].clear();
  list_index.erase(std::wstring(control));
}

void RecordingWindowView::AddListItem(std::wstring_view control, std::wstring_view text, int data) {
  lists[std::wstring(control)].push_back({.text = std::wstring(text), .data = data});
}

std::size_t RecordingWindowView::ListCount(std::wstring_view control) const {
  const auto it = lists.find(control);
  return it == lists.end() ? 0 : it->second.size();
}

ListItem RecordingWindowView::ListItemAt(std::wstring_view control, std::size_t index) const {
  const auto it = lists.find(control);
  if (it == lists.end()) throw std::out_of_range("no such list box");
  return it->second.at(index);
}

std::optional<std::size_t> RecordingWindowView::ListIndex(std::wstring_view control) const {
  const auto it = list_index.find(control);
  if (it == list_index.end()) return std::nullopt;
  return it->second;
}

void RecordingWindowView::SetListIndex(std::wstring_view control, std::size_t index) {
  if (index >= ListCount(control)) throw std::out_of_range("no such list entry");
  list_index[std::wstring(control)] = index;
  if (on_list_index_set) on_list_index_set(control);
}

}  // namespace parvel::fakes
