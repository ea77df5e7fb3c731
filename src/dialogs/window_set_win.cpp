#include "dialogs/window_set_win.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "dialogs/account_window_win.h"
#include "dialogs/compose_window_win.h"
#include "dialogs/contacts_window_win.h"
#include "dialogs/templates_window_win.h"
#include "dialogs/window_ids.h"
#include "templates/templates_location_win.h"

namespace parvel::dialogs {

// The window in slot, made and loaded first when there is none open. A
// request that comes during the load (its message boxes let events run) gets
// the loading window. Once the host has let go of the add-in no window opens:
// the handler that asked stops.
template <typename Window, typename... Args>
Window& WindowSet::Loaded(std::unique_ptr<Window>& slot, int dialog_id,
                          Placement (WindowSet::*place)(), Args&&... args) {
  if (slot && (slot->IsOpen() || slot->Loading())) return *slot;
  session_.StopIfDisconnected();
  slot.reset();
  keys_.Start();
  const Placement placement = (this->*place)();
  slot = std::make_unique<Window>(std::forward<Args>(args)...);
  slot->KeepAliveWhileBusy(owner_, &session_);
  // A load during which the host let go closes the window as it ends; its
  // handler has ended, so the object may go.
  if (!slot->Create(dialog_id, placement) || !slot->IsOpen() || session_.Disconnected()) {
    slot.reset();
    session_.StopIfDisconnected();
    throw std::runtime_error("a window cannot be created");
  }
  return *slot;
}

WindowSet::WindowSet(Session& session, RegistryPort& registry, std::wstring prog_id)
    : session_(session), registry_(registry), prog_id_(std::move(prog_id)) {}

// The picker and the templates window use the compose window's presenter:
// they go first.
WindowSet::~WindowSet() {
  contacts_.reset();
  templates_.reset();
  account_.reset();
  compose_.reset();
}

void WindowSet::CloseAll() noexcept {
  // A window still loading has not brought back the kept work yet: what it
  // shows would replace that work with nothing.
  if (compose_ && compose_->IsOpen() && !compose_->Loading()) {
    try {
      compose_->presenter().KeepUnsentWork();
    } catch (const std::exception&) {
      // The window cannot be read: there is nothing to keep.
    }
  }
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

Placement WindowSet::OnExplorer() {
  HWND explorer = nullptr;
  if (session_.Connected()) {
    try {
      // NOLINTNEXTLINE(performance-no-int-to-ptr): the host gives the window handle as an integer.
      explorer = reinterpret_cast<HWND>(session_.Host().ActiveExplorerWindow());
    } catch (const host::HostError&) {
      // No explorer to go by: the window opens where the user clicked.
      session_.Diagnostics().Report(L"Placing a window",
                                    host::DescribeFailure(std::current_exception()));
    }
  }
  return {.how = Placement::How::CentredOn, .anchor = explorer};
}

Placement WindowSet::BesideCompose() {
  if (!compose_ || !compose_->IsOpen()) return OnExplorer();
  return {.how = Placement::How::Beside, .anchor = compose_->hwnd()};
}

Placement WindowSet::OnCompose() {
  if (!compose_ || !compose_->IsOpen()) return OnExplorer();
  return {.how = Placement::How::CentredOn, .anchor = compose_->hwnd()};
}

dialogs::ComposeWindow& WindowSet::LoadedComposeWindow() {
  return Loaded(compose_, IDD_OLMAIN, &WindowSet::OnExplorer, session_, registry_, *this);
}

void WindowSet::ShowComposeWindow() { LoadedComposeWindow().BringForward(); }

ComposePresenter& WindowSet::ComposeWindow() { return LoadedComposeWindow().presenter(); }

void WindowSet::ShowContactsPicker() {
  Loaded(contacts_, IDD_OLCONTACTS, &WindowSet::BesideCompose, session_, *this).BringForward();
}

void WindowSet::ShowAccountWindow() {
  Loaded(account_, IDD_OLACCOUNT, &WindowSet::OnCompose, session_.account_settings, registry_)
      .BringForward();
}

void WindowSet::ShowTemplatesWindow() {
  Loaded(templates_, IDD_ZNSMSTEMPLATES, &WindowSet::OnCompose, *this,
         AddinTemplatesLocation(prog_id_))
      .BringForward();
}

}  // namespace parvel::dialogs
