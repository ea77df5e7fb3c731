#include "host/connection.h"

#include <exception>
#include <string>
#include <type_traits>
#include <utility>

namespace parvel::host {
namespace {

// Runs one host call; a failure yields the empty result and is passed over.
template <typename Call>
auto Try(Call&& call) noexcept {
  using Result = std::invoke_result_t<Call>;
  try {
    if constexpr (std::is_void_v<Result>) {
      call();
      return true;
    } else {
      return Result(call());
    }
  } catch (const std::exception&) {
    if constexpr (std::is_void_v<Result>) {
      return false;
    } else {
      return Result();
    }
  }
}

}  // namespace

AddinConnection::AddinConnection(ButtonFacePainter& painter, std::function<void()> on_click)
    : painter_(painter), on_click_(std::move(on_click)) {}

void AddinConnection::AddinInstance_OnConnection(Application& application, AddInInstance& instance,
                                                 bool own_bar) {
  MyButton.reset();
  const std::unique_ptr<CommandBars> bars =
      Try([&] { return application.ActiveExplorerCommandBars(); });
  if (!bars) return;

  if (own_bar) {
    const std::unique_ptr<CommandBar> bar =
        Try([&] { return bars->Add(kOwnBarName, kMsoBarTop, true); });
    if (!bar) return;
    Try([&] { bar->SetVisible(true); });
    MyButton = Try([&] { return bar->AddControl(kMsoControlButton, std::nullopt, true); });
    SetUpButton(instance);
    return;
  }

  const int count = Try([&] { return bars->Count(); });
  for (int index = 1; index <= count; ++index) {
    const std::unique_ptr<CommandBar> bar = Try([&] { return bars->Item(index); });
    // A bar whose name cannot be read is not the "Standard" bar.
    if (!bar || Try([&] { return bar->Name(); }) != kStandardBarName) continue;
    MyButton = Try([&] { return bar->AddControl(kMsoControlButton, 2, true); });
    SetUpButton(instance);
    return;
  }
}

void AddinConnection::SetUpButton(AddInInstance& instance) {
  if (!MyButton) return;
  CommandBarButton& button = *MyButton;
  Try([&] { button.OnClick([this] { MyButton_Click(); }); });
  Try([&] { button.SetCaption(kButtonCaption); });
  Try([&] { button.SetTag(kButtonCaption); });
  Try([&] { button.SetOnAction(L"!<" + instance.ProgId() + L">"); });
  Try([&] { button.SetEnabled(true); });
  Try([&] { button.SetVisible(true); });
  Try([&] { button.SetStyle(kMsoButtonIconAndCaption); });
  // A paint that failed otherwise is still followed by the paste.
  bool painted = true;
  Try([&] { painted = painter_.PaintButtonFace(); });
  if (painted) Try([&] { button.PasteFace(); });
}

void AddinConnection::AddinInstance_OnDisconnection() {
  if (MyButton) Try([&] { MyButton->Delete(); });
  MyButton.reset();
}

void AddinConnection::MyButton_Click() {
  if (on_click_) on_click_();
}

}  // namespace parvel::host
