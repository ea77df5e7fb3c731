#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "ui/window_view.h"

namespace parvel {

// Rows read as text in test failures.
void PrintTo(const RecipientEntry& row, std::ostream* out);

}  // namespace parvel

namespace parvel::fakes {

// A window as plain data: the texts, ticks, visibility and enabling of its
// controls by name, the rows last shown in each list, the focus and whether
// it was closed, the entries of each list box and its selection. Setting a text does not raise
// change events: tests call the presenter's handler as the window would.
class RecordingWindowView final : public WindowView {
 public:
  void SetCaption(std::wstring_view text) override { caption = text; }
  std::wstring Text(std::wstring_view control) const override;
  void SetText(std::wstring_view control, std::wstring_view text) override;
  std::optional<LocalDateTime> DateTime(std::wstring_view control) const override;
  void SetDateTime(std::wstring_view control, const LocalDateTime& when) override {
    dates[std::wstring(control)] = when;
  }
  bool Checked(std::wstring_view control) const override;
  void SetChecked(std::wstring_view control, bool value) override;
  void SetEnabled(std::wstring_view control, bool value) override;
  void SetVisible(std::wstring_view control, bool value) override;
  bool Visible(std::wstring_view control) const override;
  void Focus(std::wstring_view control) override { focus = control; }
  void SetBusy(bool value) override { busy = value; }
  void ShowRows(std::wstring_view control, const RecipientList& list) override;
  void ShowAppendedRows(std::wstring_view control, const RecipientList& list) override;
  std::vector<std::size_t> SelectedRows(std::wstring_view control) const override;
  void ClearList(std::wstring_view control) override;
  void AddListItem(std::wstring_view control, std::wstring_view text, int data) override;
  std::size_t ListCount(std::wstring_view control) const override;
  ListItem ListItemAt(std::wstring_view control, std::size_t index) const override;
  std::optional<std::size_t> ListIndex(std::wstring_view control) const override;
  void SetListIndex(std::wstring_view control, std::size_t index) override;
  void Close() override { closed = true; }

  std::wstring caption;
  std::map<std::wstring, std::wstring, std::less<>> texts;
  std::map<std::wstring, LocalDateTime, std::less<>> dates;
  std::set<std::wstring, std::less<>> ticked;
  std::set<std::wstring, std::less<>> hidden;
  std::set<std::wstring, std::less<>> disabled;
  std::map<std::wstring, std::vector<RecipientEntry>, std::less<>> rows;
  // The rows the user has selected; ShowRows shows the list's own selection.
  std::map<std::wstring, std::vector<std::size_t>, std::less<>> selected;
  // How often each list view was drawn again (ShowRows or ShowAppendedRows).
  std::map<std::wstring, int, std::less<>> redraws;
  std::map<std::wstring, std::vector<ListItem>, std::less<>> lists;
  std::map<std::wstring, std::size_t, std::less<>> list_index;
  // Raised when code selects a list box entry, as a window may raise the
  // list's click then.
  std::function<void(std::wstring_view control)> on_list_index_set;
  bool busy = false;
  std::wstring focus;
  bool closed = false;
};

}  // namespace parvel::fakes
