#include "windows/window_set_win.h"

#include <stdexcept>

#include "templates/templates_location_win.h"
#include "windows/account_window_win.h"
#include "windows/compose_window_win.h"
#include "windows/contacts_window_win.h"
#include "windows/templates_window_win.h"
#include "windows/window_ids.h"

namespace parvel::windows {

// The window in slot, made and loaded first when there is none open.
template <typename Window, typename... Args>
Window& WindowSet::Loaded(std::unique_ptr<Window>& slot, int dialog_id, Args&&... args) {
  if (!slot || !slot->IsOpen()) {
    slot.reset();
    auto window = std::make_unique<Window>(std::forward<Args>(args)...);
    window->KeepAliveWhileBusy(owner_);
    if (!window->Create(dialog_id)) throw std::runtime_error("a window cannot be created");
    slot = std::move(window);
  }
  return *slot;
}

WindowSet::WindowSet(Session& session, RegistryPort& registry)
    : session_(session), registry_(registry) {}

// The picker and the templates window use the compose window's presenter:
// they go first.
WindowSet::~WindowSet() {
  contacts_.reset();
  templates_.reset();
  account_.reset();
  compose_.reset();
}

void WindowSet::CloseAll() noexcept {
  const auto close = [](auto& slot) noexcept {
    if (!slot) return;
    slot->Close();
    if (!slot->IsOpen()) slot.reset();
  };
  close(contacts_);
  close(templates_);
  close(account_);
  close(compose_);
}

windows::ComposeWindow& WindowSet::LoadedComposeWindow() {
  return Loaded(compose_, IDD_OLMAIN, session_, registry_, *this);
}

void WindowSet::ShowComposeWindow() { LoadedComposeWindow().BringForward(); }

OLMain& WindowSet::ComposeWindow() { return LoadedComposeWindow().presenter(); }

void WindowSet::ShowContactsPicker() {
  Loaded(contacts_, IDD_OLCONTACTS, session_, *this).BringForward();
}

void WindowSet::ShowAccountWindow() {
  Loaded(account_, IDD_OLACCOUNT, session_.AccountSettings, registry_).BringForward();
}

void WindowSet::ShowTemplatesWindow() {
  Loaded(templates_, IDD_ZNSMSTEMPLATES, *this, AddinTemplatesLocation()).BringForward();
}

}  // namespace parvel::windows
