#pragma once

#include <memory>

#include "host/session.h"
#include "settings/registry_port.h"
#include "windows/addin_windows.h"

namespace parvel::windows {

class AccountWindow;
class ComposeWindow;
class ContactsWindow;
class TemplatesWindow;

// The single instance of each of the add-in's windows, made when first
// asked for and made afresh after it was closed.
class WindowSet final : public AddinWindows {
 public:
  WindowSet(Session& session, RegistryPort& registry);
  ~WindowSet() override;
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  // The toolbar button: the compose window, loaded when needed, in front.
  void ShowComposeWindow();

  void ShowContactsPicker() override;
  void ShowAccountWindow() override;
  void ShowTemplatesWindow() override;
  OLMain& ComposeWindow() override;

 private:
  windows::ComposeWindow& LoadedComposeWindow();

  Session& session_;
  RegistryPort& registry_;
  std::unique_ptr<windows::ComposeWindow> compose_;
  std::unique_ptr<ContactsWindow> contacts_;
  std::unique_ptr<AccountWindow> account_;
  std::unique_ptr<TemplatesWindow> templates_;
};

}  // namespace parvel::windows
