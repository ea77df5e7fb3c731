#pragma once

#include <memory>
#include <string>

#include "dialogs/keyboard_win.h"
#include "dialogs/window_placement_win.h"
#include "host/session.h"
#include "settings/registry_port.h"
#include "ui/addin_windows.h"

namespace parvel::dialogs {

class AccountWindow;
class ComposeWindow;
class ContactsWindow;
class TemplatesWindow;

// The single instance of each of the add-in's windows, made when first
// asked for and made afresh after it was closed. A window is in its slot
// from before its load: the load's message boxes (and the picker's folder
// scan) let events run, and a request for the window meanwhile gets that
// one, never a second. A window object is freed only once its window is
// gone, which never happens while one of its handlers runs.
//
// A new window opens where the user looks: the compose window centred on
// Outlook's active explorer, the picker beside the compose window, the
// account and templates windows centred on it; each on its anchor's monitor.
// The windows have no owner. Owned by the explorer, the compose window could
// never go behind Outlook and would be destroyed, typed message and all,
// with that explorer window (Outlook may close one explorer and go on);
// owned by the compose window, the picker would be destroyed by Windows with
// it even while its folder scan lets events run. Nothing of a position is
// kept from one opening to the next, nor across Outlook runs.
class WindowSet final : public AddinWindows {
 public:
  // prog_id: the add-in's class, whose registration tells where the
  // templates file is.
  WindowSet(Session& session, RegistryPort& registry, std::wstring prog_id);
  ~WindowSet() override;
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  // What owns the set, kept alive by each window while a handler runs.
  void KeepAliveWhileBusy(std::weak_ptr<void> owner) { owner_ = std::move(owner); }

  // The toolbar button: the compose window, loaded when needed, in front.
  void ShowComposeWindow();
  // The host lets go of the add-in: the compose window keeps its unsent
  // work, then every window closes; one whose handler is running closes when
  // it ends.
  void CloseAll() noexcept;

  void ShowContactsPicker() override;
  void ShowAccountWindow() override;
  void ShowTemplatesWindow() override;
  ComposePresenter& ComposeWindow() override;

 private:
  dialogs::ComposeWindow& LoadedComposeWindow();

  template <typename Window, typename... Args>
  Window& Loaded(std::unique_ptr<Window>& slot, int dialog_id, Placement (WindowSet::*place)(),
                 Args&&... args);
  // Centred on Outlook's active explorer window.
  Placement OnExplorer();
  // Beside the compose window, or centred on it; on the explorer when it is
  // not open.
  Placement BesideCompose();
  Placement OnCompose();

  Session& session_;
  RegistryPort& registry_;
  std::wstring prog_id_;
  std::weak_ptr<void> owner_;
  // Outlives the windows: declared before them.
  DialogKeyRouter keys_;
  std::unique_ptr<dialogs::ComposeWindow> compose_;
  std::unique_ptr<ContactsWindow> contacts_;
  std::unique_ptr<AccountWindow> account_;
  std::unique_ptr<TemplatesWindow> templates_;
};

}  // namespace parvel::dialogs
