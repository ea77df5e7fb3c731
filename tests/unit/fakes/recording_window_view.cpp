#include "unit/fakes/recording_window_view.h"

namespace parvel::fakes {

std::wstring RecordingWindowView::Text(std::wstring_view control) const {
  const auto it = texts.find(control);
  return it == texts.end() ? std::wstring() : it->second;
}

void RecordingWindowView::SetText(std::wstring_view control, std::wstring_view text) {
  texts[std::wstring(control)] = text;
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
  enabling.push_back(std::wstring(control) + (value ? L" on" : L" off"));
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
  selected.erase(std::wstring(control));
}

void RecordingWindowView::ShowItems(std::wstring_view control,
                                    const std::vector<std::wstring>& list) {
  items[std::wstring(control)] = list;
  selected.erase(std::wstring(control));
}

std::vector<std::size_t> RecordingWindowView::SelectedRows(std::wstring_view control) const {
  const auto it = selected.find(control);
  return it == selected.end() ? std::vector<std::size_t>() : it->second;
}

}  // namespace parvel::fakes
