#pragma once

#include <memory>
#include <string>

#include "dialogs/keyboard_win.h"
#include "host/session.h"
#include "settings/registry_port.h"
#include "ui/addin_windows.h"

namespace parvel::dialogs {

class AccountWindow;
class ComposeWindow;
class ContactsWindow;
class TemplatesWindow;

// The single instance of each of the add-in's windows, made when first
// asked for and made afresh after it was closed. A window object is freed
// only once its window is gone, which never happens while one of its
// handlers runs.
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
  OLMain& ComposeWindow() override;

 private:
  dialogs::ComposeWindow& LoadedComposeWindow();

  template <typename Window, typename... Args>
  Window& Loaded(std::unique_ptr<Window>& slot, int dialog_id, Args&&... args);

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
