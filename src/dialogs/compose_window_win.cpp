#include "dialogs/compose_window_win.h"

#include "dialogs/compose_controls.h"

namespace parvel::dialogs {
namespace {

using namespace compose_controls;

constexpr int kMessageLimit = 480;
// Day, abbreviated month of the user's locale, two-digit year, 24-hour time:
// for the eye only, the presenter works with the picker's value.
constexpr wchar_t kDelayedSendFormat[] = L"dd MMM yy HH:mm";

}  // namespace

ComposeWindow::ComposeWindow(Session& session, RegistryPort& registry, AddinWindows& windows)
    // No cancel button: one keystroke must not discard the recipients and
    // the message.
    : DialogWindow(L"OLMain", kControls, EscKey::Ignored),
      message_boxes_(owned_boxes_, session),
      presenter_({.session = session,
                  .view = *this,
                  .message_boxes = message_boxes_,
                  .registry = registry,
                  .clock = SystemClock(),
                  .windows = windows}) {
  UseCommands<ComposePresenter>(kComposeCommands, presenter_);
}

void ComposeWindow::OnInit() {
  owned_boxes_.SetOwner(hwnd());
  MakeBold({kStepOneLabel, kStepTwoLabel, kStepThreeLabel});
  SetUpRecipientList(kRecipientList, 190, 120);
  SendMessageW(Control(kMessageBox), EM_LIMITTEXT, kMessageLimit, 0);
  SendMessageW(Control(kDelayedSendTime), DTM_SETFORMATW, 0,
               reinterpret_cast<LPARAM>(kDelayedSendFormat));
  presenter_.Load();
  Focus(kMobileBox);
}

// Enter in the mobile number box adds the number.
void ComposeWindow::OnCommand(int id, int code) {
  if (id != kMobileBox.id) return;
  if (code == EN_SETFOCUS) SendMessageW(hwnd(), DM_SETDEFID, kAddMobileButton.id, 0);
  if (code == EN_KILLFOCUS) SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
}

// The close box closes as "Clos&e" does.
void ComposeWindow::OnCloseRequest() { presenter_.OnCloseClicked(); }

// Outlook may be ended at sign-out before it tells the add-in it closes:
// what is typed is kept as it is when Outlook closes.
// A window still loading has not brought back the work kept before.
void ComposeWindow::OnSessionEnd() {
  if (!Loading()) presenter_.KeepUnsentWork();
}

}  // namespace parvel::dialogs
