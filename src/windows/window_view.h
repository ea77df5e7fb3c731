#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "recipients/recipient_list.h"

namespace parvel {

// One of the add-in's windows as its presenter sees it: controls are named as
// in code ("Text2", "Command1", "ListView1"). The Win32 dialogs implement it;
// tests record it.
class WindowView {
 public:
  virtual ~WindowView() = default;

  virtual void SetCaption(std::wstring_view caption) = 0;
  virtual std::wstring Text(std::wstring_view control) const = 0;
  virtual void SetText(std::wstring_view control, std::wstring_view text) = 0;
  virtual bool Checked(std::wstring_view control) const = 0;
  virtual void SetChecked(std::wstring_view control, bool checked) = 0;
  virtual void SetEnabled(std::wstring_view control, bool enabled) = 0;
  virtual void SetVisible(std::wstring_view control, bool visible) = 0;
  virtual bool Visible(std::wstring_view control) const = 0;
  virtual void Focus(std::wstring_view control) = 0;

  // A list view shows list's rows again (after any change to them).
  virtual void ShowRows(std::wstring_view control, const RecipientList& list) = 0;
  // A list box shows these texts as its rows, in this order, none selected.
  virtual void ShowItems(std::wstring_view control, const std::vector<std::wstring>& items) = 0;
  // The rows the user has selected in a list view or a list box, in display
  // order.
  virtual std::vector<std::size_t> SelectedRows(std::wstring_view control) const = 0;

  // Closes (unloads) the window.
  virtual void Close() = 0;
};

}  // namespace parvel
