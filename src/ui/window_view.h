#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recipients/recipient_list.h"
#include "request/delayed_send.h"

namespace parvel {

// An entry of a list box.
struct ListItem {
  std::wstring text;
  int data = 0;

  bool operator==(const ListItem&) const = default;
};

// One of the add-in's windows as its presenter sees it: controls are named as
// in code ("Text2", "Command1", "ListView1"). The Win32 dialogs implement it;
// tests record it.
class WindowView {
 public:
  virtual ~WindowView() = default;

  virtual void SetCaption(std::wstring_view caption) = 0;
  virtual std::wstring Text(std::wstring_view control) const = 0;
  virtual void SetText(std::wstring_view control, std::wstring_view text) = 0;
  // Date-and-time boxes hold a value, not a text: no month name of the
  // user's locale ever has to be read back. None when the box holds none.
  virtual std::optional<LocalDateTime> DateTime(std::wstring_view control) const = 0;
  virtual void SetDateTime(std::wstring_view control, const LocalDateTime& when) = 0;
  virtual bool Checked(std::wstring_view control) const = 0;
  virtual void SetChecked(std::wstring_view control, bool checked) = 0;
  virtual void SetEnabled(std::wstring_view control, bool enabled) = 0;
  virtual void SetVisible(std::wstring_view control, bool visible) = 0;
  virtual bool Visible(std::wstring_view control) const = 0;
  virtual void Focus(std::wstring_view control) = 0;

  // Shows the hourglass over the window while busy.
  virtual void SetBusy(bool busy) = 0;

  // A list view shows list's rows again (after any change to them).
  virtual void ShowRows(std::wstring_view control, const RecipientList& list) = 0;
  // Rows were appended at the end of list: the rows shown before keep their
  // place and their selection.
  virtual void ShowAppendedRows(std::wstring_view control, const RecipientList& list) = 0;
  // The rows the user has selected in a list view, in display order.
  virtual std::vector<std::size_t> SelectedRows(std::wstring_view control) const = 0;

  // List boxes: entries in order of adding, each with a whole number of the
  // presenter's choice (its item data). Selecting an entry from code may raise
  // the list's click as a user's selection does.
  virtual void ClearList(std::wstring_view control) = 0;
  virtual void AddListItem(std::wstring_view control, std::wstring_view text, int data) = 0;
  virtual std::size_t ListCount(std::wstring_view control) const = 0;
  virtual ListItem ListItemAt(std::wstring_view control, std::size_t index) const = 0;
  // The selected entry; none when nothing is selected.
  virtual std::optional<std::size_t> ListIndex(std::wstring_view control) const = 0;
  virtual void SetListIndex(std::wstring_view control, std::size_t index) = 0;

  // Closes (unloads) the window.
  virtual void Close() = 0;
};

}  // namespace parvel
