#pragma once

#include <windows.h>

namespace parvel::dialogs {

enum class EscKey {
  Cancels,  // the dialog's cancel button (IDCANCEL)
  Ignored,  // a dialog without a cancel button: Esc does nothing anywhere in it
};

// The add-in's dialogs are modeless inside a host whose message loop does not
// know them: a message hook on the thread gives them the dialog keyboard
// (Tab, Enter, Esc, the & accelerators) while at least one is open.
void RouteDialogKeys(HWND dialog, EscKey esc);
void StopRoutingDialogKeys(HWND dialog);

}  // namespace parvel::dialogs
