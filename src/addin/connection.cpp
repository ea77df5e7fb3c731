#include "addin/connection.h"

#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace parvel::addin {

template <typename Call>
auto AddinConnection::Try(std::wstring_view what, Call&& call) noexcept {
  using Result = std::invoke_result_t<Call>;
  try {
    if constexpr (std::is_void_v<Result>) {
      call();
      return true;
    } else {
      return Result(call());
    }
  } catch (const std::exception&) {
    try {
      diagnostics_.Report(L"Connection", std::wstring(what) + L": " +
                                             host::DescribeFailure(std::current_exception()));
    } catch (...) {
      // Out of memory for the report's text: the failure goes unreported.
    }
    if constexpr (std::is_void_v<Result>) {
      return false;
    } else {
      return Result();
    }
  }
}

AddinConnection::AddinConnection(ButtonFacePainter& painter, std::function<void()> on_click,
                                 host::Diagnostics& diagnostics)
    : painter_(painter), diagnostics_(diagnostics), on_click_(std::move(on_click)) {}

void AddinConnection::OnConnection(host::Application& application, host::AddInInstance& instance,
                                   bool own_bar) {
  button_.reset();
  const std::unique_ptr<host::CommandBars> bars =
      Try(L"the explorer's command bars", [&] { return application.ActiveExplorerCommandBars(); });
  if (!bars) return;

  if (own_bar) {
    const std::unique_ptr<host::CommandBar> bar = Try(
        L"adding the bar SMSBar", [&] { return bars->Add(kOwnBarName, host::kMsoBarTop, true); });
    if (!bar) return;
    Try(L"showing SMSBar", [&] { bar->SetVisible(true); });
    button_ = Try(L"adding the button",
                  [&] { return bar->AddControl(host::kMsoControlButton, std::nullopt, true); });
    SetUpButton(instance);
    return;
  }

  const int count = Try(L"counting the command bars", [&] { return bars->Count(); });
  for (int index = 1; index <= count; ++index) {
    const std::unique_ptr<host::CommandBar> bar =
        Try(L"command bar " + std::to_wstring(index), [&] { return bars->Item(index); });
    // A bar whose name cannot be read is not the "Standard" bar.
    if (!bar || Try(L"a command bar's name", [&] { return bar->Name(); }) != kStandardBarName) {
      continue;
    }
    button_ = Try(L"adding the button",
                  [&] { return bar->AddControl(host::kMsoControlButton, 2, true); });
    SetUpButton(instance);
    return;
  }
}

void AddinConnection::SetUpButton(host::AddInInstance& instance) {
  if (!button_) return;
  host::CommandBarButton& button = *button_;
  Try(L"the button's Click event", [&] { button.OnClick([this] { OnButtonClicked(); }); });
  Try(L"the button's Caption", [&] { button.SetCaption(kButtonCaption); });
  Try(L"the button's Tag", [&] { button.SetTag(kButtonCaption); });
  Try(L"the button's OnAction", [&] { button.SetOnAction(L"!<" + instance.ProgId() + L">"); });
  Try(L"the button's Enabled", [&] { button.SetEnabled(true); });
  Try(L"the button's Visible", [&] { button.SetVisible(true); });
  Try(L"the button's Style", [&] { button.SetStyle(host::kMsoButtonIconAndCaption); });
  if (!GiveFace(button)) PasteFace(button);
}

bool AddinConnection::GiveFace(host::CommandBarButton& button) {
  return Try(L"the button's Picture and Mask", [&] {
    const ButtonFacePainter::Face face = painter_.MakeFace();
    button.SetPicture(*face.picture);
    button.SetMask(*face.mask);
  });
}

void AddinConnection::PasteFace(host::CommandBarButton& button) {
  // A paint that failed otherwise is still followed by the paste.
  bool painted = true;
  Try(L"the button's picture", [&] { painted = painter_.PaintButtonFace(); });
  if (!painted) {
    diagnostics_.Report(L"Connection",
                        L"the button's picture: the clipboard is held by another program");
  } else {
    Try(L"pasting the button's face", [&] { button.PasteFace(); });
  }
  Try(L"giving the clipboard back", [&] { painter_.RestoreClipboard(); });
}

void AddinConnection::OnDisconnection() {
  if (button_) Try(L"deleting the button", [&] { button_->Delete(); });
  button_.reset();
}

void AddinConnection::OnButtonClicked() {
  if (on_click_) on_click_();
}

}  // namespace parvel::addin
