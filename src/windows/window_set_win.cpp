#include "windows/window_set_win.h"

#include <stdexcept>

#include "windows/compose_window_win.h"
#include "windows/window_ids.h"

namespace parvel::windows {

WindowSet::WindowSet(Session& session, RegistryPort& registry)
    : session_(session), registry_(registry) {}

WindowSet::~WindowSet() = default;

windows::ComposeWindow& WindowSet::LoadedComposeWindow() {
  if (!compose_ || !compose_->IsOpen()) {
    compose_.reset();
    auto window = std::make_unique<windows::ComposeWindow>(session_, registry_, *this);
    if (!window->Create(IDD_OLMAIN))
      throw std::runtime_error("the compose window cannot be created");
    compose_ = std::move(window);
  }
  return *compose_;
}

void WindowSet::ShowComposeWindow() { LoadedComposeWindow().BringForward(); }

OLMain& WindowSet::ComposeWindow() { return LoadedComposeWindow().presenter(); }

}  // namespace parvel::windows
namespace parvel::windows {
void WindowSet::ShowContactsPicker() {}
void WindowSet::ShowAccountWindow() {}
void WindowSet::ShowTemplatesWindow() {}
}  // namespace parvel::windows
