#pragma once

#include <exception>
#include <string>

#include "com/com_error.h"

namespace parvel::host {

// A failure reported by the host (Outlook, its command bars or Redemption):
// the HRESULT and the host's own message text. The ports' fakes raise it as
// the host's COM objects do.
using HostError = com::ComError;

// Ends a handler that let other events run (a pending-events turn, a message
// box) during which the host disconnected the add-in: the handler stops there,
// before it reaches for the host again. It is no std::exception, so that no
// handler reports it as a failure; the edges where handlers start end it
// quietly.
struct HostDisconnected {};

// What a caught exception says, for a person: the host's own message, or the
// exception's text read in the system's code page.
std::wstring FailureText(const std::exception& error);

}  // namespace parvel::host
