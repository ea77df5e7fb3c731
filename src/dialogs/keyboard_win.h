#pragma once

#include <windows.h>

#include "platform/handles_win.h"

namespace parvel::dialogs {

enum class EscKey {
  Cancels,  // the dialog's cancel button (IDCANCEL)
  Ignored,  // a dialog without a cancel button: Esc does nothing anywhere in it
};

// Marks a dialog as one of the add-in's, with what Esc does in it; the mark
// goes with ClearDialogKeys (at the latest when the window is destroyed).
void SetDialogKeys(HWND dialog, EscKey esc);
void ClearDialogKeys(HWND dialog) noexcept;

// The add-in's dialogs are modeless inside a host whose message loop does not
// know them: while a router lives and has started, a message hook on its
// thread gives every marked dialog the dialog keyboard (Tab, Enter, Esc, the &
// accelerators). The hook finds the dialog from the message's window, so it
// keeps no list of its own.
class DialogKeyRouter {
 public:
  // Sets the hook on the calling thread (the host's UI thread), once.
  void Start() noexcept;

 private:
  win::UniqueHook hook_;
};

}  // namespace parvel::dialogs
