#pragma once

// The customUI XML an add-in hands Office for a ribbon, read strictly: the
// parts of the schema this host plays (the tabs of the ribbon with groups of
// buttons, and context menus with buttons). Anything else is refused as
// Office refuses it with "show add-in user interface errors" on: an element
// or attribute it does not know, an attribute out of place, a bad value, an
// id used twice, a document that is not well-formed XML.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parvel::standin {

inline constexpr std::wstring_view kCustomUi2009 =
    L"http://schemas.microsoft.com/office/2009/07/customui";
inline constexpr std::wstring_view kCustomUi2006 =
    L"http://schemas.microsoft.com/office/2006/01/customui";

class CustomUiError : public std::runtime_error {
 public:
  CustomUiError(int line, const std::string& message);
  int line() const noexcept { return line_; }

 private:
  int line_;
};

struct UiButton {
  std::wstring id;      // the add-in's own id, or
  std::wstring id_mso;  // a built-in control's
  std::wstring tag;
  std::wstring label;
  std::wstring get_label;
  bool large = false;
  bool enabled = true;
  std::wstring get_enabled;
  bool visible = true;
  std::wstring get_visible;
  std::wstring image_mso;
  std::wstring get_image;
  std::wstring on_action;
  std::wstring screentip;
  std::wstring supertip;
};

struct UiGroup {
  std::wstring id;
  std::wstring id_mso;
  std::wstring label;
  std::vector<UiButton> buttons;
};

struct UiTab {
  std::wstring id;      // a tab of the add-in's own, or
  std::wstring id_mso;  // a built-in tab ("TabMail")
  std::wstring label;
  std::vector<UiGroup> groups;
};

struct UiContextMenu {
  std::wstring id_mso;  // "ContextMenuContactItem"
  std::vector<UiButton> buttons;
};

struct CustomUi {
  std::wstring on_load;
  std::vector<UiTab> tabs;
  std::vector<UiContextMenu> context_menus;

  // Every callback name the document uses, once each, in order of appearance.
  std::vector<std::wstring> callbacks;
};

// Throws CustomUiError at the first mistake, with its line (from 1).
CustomUi ParseCustomUi(std::wstring_view xml);

}  // namespace parvel::standin
