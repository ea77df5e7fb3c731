#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "com/com_module_win.h"
#include "dialogs/command_map.h"
#include "dialogs/control_name.h"
#include "dialogs/keyboard_win.h"
#include "dialogs/window_placement_win.h"
#include "host/session.h"
#include "platform/handles_win.h"
#include "ui/window_view.h"

namespace parvel::dialogs {

// A modeless dialog of the add-in, loaded from the DLL's own resources and
// seen by its presenter as a WindowView. The window and each named control
// carry their names (a "ParvelName" property holding a global atom) so that a
// test driver finds them as a user would. Recipient list views are
// owner-data: they draw straight from the presenter's RecipientList.
class DialogWindow : public WindowView {
 public:
  DialogWindow(std::wstring_view window_name, std::span<const ControlName> controls,
               EscKey esc = EscKey::Cancels);
  ~DialogWindow() override;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Creates the dialog without owner, where the placement says (else where
  // its template says) before anything of it shows; false when Windows
  // refuses.
  bool Create(int dialog_id, std::optional<Placement> placement = std::nullopt);
  bool IsOpen() const noexcept { return hwnd_ != nullptr; }
  // Create runs: the load's message boxes let other requests for the window
  // through before it is fully there.
  bool Loading() const noexcept { return loading_; }
  HWND hwnd() const noexcept { return hwnd_; }
  // Shows the window and brings it in front of the host's. Asked for during
  // the load, it happens once the load has ended.
  void BringForward();
  // A handler of the window is running (perhaps letting events run in the
  // middle of a listing): the window and this object must stay.
  bool Busy() const noexcept { return handlers_ > 0; }
  // What owns this object is kept alive while one of its handlers runs, so
  // that letting go of it meanwhile cannot free the object under the handler;
  // so are the session's host objects (Session::Handler). A handler the host
  // stopped (host::HostDisconnected) ends quietly.
  void KeepAliveWhileBusy(std::weak_ptr<void> owner, Session* session = nullptr) {
    owner_ = std::move(owner);
    session_ = session;
  }

  void SetCaption(std::wstring_view caption) override;
  std::wstring Text(std::wstring_view control) const override;
  void SetText(std::wstring_view control, std::wstring_view text) override;
  std::optional<LocalDateTime> DateTime(std::wstring_view control) const override;
  void SetDateTime(std::wstring_view control, const LocalDateTime& when) override;
  bool Checked(std::wstring_view control) const override;
  void SetChecked(std::wstring_view control, bool checked) override;
  void SetEnabled(std::wstring_view control, bool enabled) override;
  void SetVisible(std::wstring_view control, bool visible) override;
  bool Visible(std::wstring_view control) const override;
  void Focus(std::wstring_view control) override;
  void SetBusy(bool busy) override;
  void ShowRows(std::wstring_view control, const RecipientList& list) override;
  void ShowAppendedRows(std::wstring_view control, const RecipientList& list) override;
  std::vector<std::size_t> SelectedRows(std::wstring_view control) const override;
  void ClearList(std::wstring_view control) override;
  void AddListItem(std::wstring_view control, std::wstring_view text, int data) override;
  std::size_t ListCount(std::wstring_view control) const override;
  ListItem ListItemAt(std::wstring_view control, std::size_t index) const override;
  std::optional<std::size_t> ListIndex(std::wstring_view control) const override;
  void SetListIndex(std::wstring_view control, std::size_t index) override;
  // Destroys the window. Asked for while a handler runs, it happens as soon
  // as the last handler ends: no handler returns into a destroyed window.
  void Close() override;

 protected:
  // Called once the controls exist; a presenter's load runs from here.
  virtual void OnInit() {}
  // The window's command map over its presenter, given once by the derived
  // window's constructor: every control event it names is dispatched here.
  template <typename Presenter>
  void UseCommands(std::span<const Command<Presenter>> map, Presenter& presenter) {
    dispatch_ = [map, &presenter](int id, ControlEvent event, int argument) {
      return Dispatch(map, presenter, id, event, argument);
    };
  }
  // What the command map does not answer.
  virtual void OnCommand(int id, int code) {
    static_cast<void>(id);
    static_cast<void>(code);
  }
  virtual void OnNotify(const NMHDR& header) { static_cast<void>(header); }
  // The close box or the system menu's Close: closes unless overridden.
  virtual void OnCloseRequest() { Close(); }
  // Windows is ending the user's session: the host may be ended without
  // closing its add-ins.
  virtual void OnSessionEnd() {}
  // Something no handler expected: shown, never passed to the host.
  virtual void ReportUnexpected(const std::wstring& what);
  // A close was asked for while a handler runs.
  bool ClosePending() const noexcept { return close_pending_; }

  int IdOf(std::wstring_view control) const;
  HWND Control(std::wstring_view control) const;
  // Report view with "Name" and "Mobile" columns and the two row icons.
  void SetUpRecipientList(std::wstring_view control, int name_width, int mobile_width);
  // The bold labels of the window.
  void MakeBold(std::initializer_list<std::wstring_view> controls);

 private:
  class Handling;

  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Name(HWND window, std::wstring_view name);
  void FillRow(NMLVDISPINFOW& info) const;
  LONG_PTR FindRow(const NMLVFINDITEMW& find) const;
  // What WM_DESTROY and WM_NCDESTROY undo, done once.
  void ForgetWindow() noexcept;

  std::wstring window_name_;
  std::vector<ControlName> controls_;
  std::optional<Placement> placement_;
  EscKey esc_;
  HWND hwnd_ = nullptr;
  std::optional<com::ModuleReference> module_reference_;
  bool busy_ = false;
  bool loading_ = false;
  bool bring_forward_when_loaded_ = false;
  int handlers_ = 0;
  bool close_pending_ = false;
  std::function<bool(int id, ControlEvent event, int argument)> dispatch_;
  std::weak_ptr<void> owner_;
  Session* session_ = nullptr;
  std::map<int, const RecipientList*> lists_;
  std::vector<ATOM> atoms_;
  win::UniqueImageList images_;
  win::UniqueFont bold_font_;
};

}  // namespace parvel::dialogs
