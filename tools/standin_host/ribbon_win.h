#pragma once

// Outlook 2010's ribbon for one add-in: after its connection the host asks
// the add-in for IRibbonExtensibility, takes the customUI of the explorer's
// ribbon, refuses it at the first mistake (as Office does with "show add-in
// user interface errors" on), resolves every callback name through the
// add-in's IDispatch, and asks the callbacks for labels, states and pictures.
// Clicks go to onAction with an IRibbonControl. A callback whose DISPID is
// one of the connector's own methods (IDTExtensibility2's 1 to 5,
// IRibbonExtensibility's GetCustomUI 1) or a reserved one (0 and below) is
// refused: a host calling those through IDispatch would reach the callback. Everything of the
// add-in is let go when this ends, before the add-in is disconnected and released.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standin_host/custom_ui.h"
#include "standin_host/dispatch_win.h"
#include "standin_host/face_image.h"

namespace parvel::standin {

inline constexpr wchar_t kExplorerRibbon[] = L"Microsoft.Outlook.Explorer";

// A button as the host shows it.
struct ShownRibbonButton {
  UiButton ui;
  std::wstring label;  // label, or what getLabel answered
  bool enabled = true;
  std::optional<FaceImage> picture;  // what getImage answered
};

struct ShownRibbonGroup {
  std::wstring tab;  // the tab's idMso or id
  std::wstring label;
  std::vector<ShownRibbonButton> buttons;
};

struct ShownContextMenu {
  std::wstring id_mso;
  std::vector<ShownRibbonButton> buttons;
};

// The items a context menu is opened on: Outlook's Selection (Class 74),
// Item counting from 1.
class SelectionObject final : public DispatchImpl<SelectionObject> {
 public:
  SelectionObject(std::shared_ptr<HostContext> context, std::vector<ComPtr<IDispatch>> items)
      : DispatchImpl(std::move(context)), items_(std::move(items)) {}
  static const MemberTable<SelectionObject>& Members();
  std::wstring_view TypeName() const override { return L"Selection"; }

 private:
  Variant Class(Arguments&);
  Variant Count(Arguments&);
  Variant Item(Arguments& args);
  Variant NewEnum(Arguments&);

  std::vector<ComPtr<IDispatch>> items_;
};

class AddinRibbon {
 public:
  // The add-in's ribbon, or nullptr when it offers none (no
  // IRibbonExtensibility, or an empty customUI). Throws CustomUiError for a
  // customUI with a mistake and DispatchError for a callback that the
  // add-in's IDispatch does not know or that fails.
  static std::unique_ptr<AddinRibbon> Load(const std::shared_ptr<HostContext>& context,
                                           IUnknown& addin, const std::wstring& prog_id,
                                           IDispatch* application);

  const std::vector<ShownRibbonGroup>& groups() const { return groups_; }
  const std::vector<ShownContextMenu>& context_menus() const { return menus_; }

  // Calls the button's onAction with the context: a Selection for a context
  // menu, else (nullptr) the active explorer. Throws DispatchError when the
  // call fails.
  void Click(const ShownRibbonButton& button, IDispatch* context);
  // Whether a context menu's button shows for this Selection: its getVisible,
  // asked each time the menu opens, as Office asks. Throws DispatchError when
  // the call fails.
  bool Visible(const ShownRibbonButton& button, IDispatch* selection);

 private:
  AddinRibbon(std::shared_ptr<HostContext> context, ComPtr<IDispatch> callbacks)
      : context_(std::move(context)), callbacks_(std::move(callbacks)) {}
  ShownRibbonButton Show(const UiButton& button, IDispatch* context);
  // Calls a callback with a control for the button; result as it came.
  Variant Call(const std::wstring& callback, const UiButton& button, IDispatch* context);

  std::shared_ptr<HostContext> context_;
  ComPtr<IDispatch> callbacks_;
  ComPtr<IDispatch> explorer_;  // the context of the ribbon's buttons
  std::vector<ShownRibbonGroup> groups_;
  std::vector<ShownContextMenu> menus_;
};

}  // namespace parvel::standin
