#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "windows/window_view.h"

namespace parvel::fakes {

// A window as plain data: the texts, ticks, visibility and enabling of its
// controls by name, the rows last shown in each list, the focus and whether
// it was closed. Setting a text does not raise change events: tests call the
// presenter's handler as the window would.
class RecordingWindowView final : public WindowView {
 public:
  void SetCaption(std::wstring_view text) override { caption = text; }
  std::wstring Text(std::wstring_view control) const override;
  void SetText(std::wstring_view control, std::wstring_view text) override;
  bool Checked(std::wstring_view control) const override;
  void SetChecked(std::wstring_view control, bool value) override;
  void SetEnabled(std::wstring_view control, bool value) override;
  void SetVisible(std::wstring_view control, bool value) override;
  bool Visible(std::wstring_view control) const override;
  void Focus(std::wstring_view control) override { focus = control; }
  void ShowRows(std::wstring_view control, const RecipientList& list) override;
  void ShowItems(std::wstring_view control, const std::vector<std::wstring>& list) override;
  std::vector<std::size_t> SelectedRows(std::wstring_view control) const override;
  void Close() override { closed = true; }

  std::wstring caption;
  std::map<std::wstring, std::wstring, std::less<>> texts;
  std::set<std::wstring, std::less<>> ticked;
  std::set<std::wstring, std::less<>> hidden;
  std::set<std::wstring, std::less<>> disabled;
  // Every change of enabling in order, as "Command2 off" / "Command2 on".
  std::vector<std::wstring> enabling;
  std::map<std::wstring, std::vector<RecipientEntry>, std::less<>> rows;
  // The texts last shown in each list box.
  std::map<std::wstring, std::vector<std::wstring>, std::less<>> items;
  std::map<std::wstring, std::vector<std::size_t>, std::less<>> selected;
  std::wstring focus;
  bool closed = false;
};

}  // namespace parvel::fakes
