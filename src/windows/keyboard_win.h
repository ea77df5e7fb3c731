#pragma once

#include <windows.h>

namespace parvel::windows {

// The add-in's dialogs are modeless inside a host whose message loop does not
// know them: a message hook on the thread gives them the dialog keyboard
// (Tab, Enter, Esc, the & accelerators) while at least one is open.
void RouteDialogKeys(HWND dialog);
void StopRoutingDialogKeys(HWND dialog);

}  // namespace parvel::windows
