#pragma once

#include "codec/code_page.h"
#include "host/session.h"
#include "request/clock.h"
#include "request/locale.h"
#include "ui/compose_view.h"
#include "ui/message_box.h"

namespace parvel {

// What a click of "&Send message" works with.
struct SendWorkflowPorts {
  Session& session;
  ComposeView& view;
  MessageBoxes& message_boxes;
  const Clock& clock;
  const Locale& locale = UserLocale();
  const CodePage& code_page = SystemCodePage();
};

// The click of Command3 in the compose window: checks the window and the
// account, submits one gateway request through the connection's mail path, asks
// for delivery at once and empties the window. Every problem ends in a message
// box with the window left as it was; no host failure escapes. True when the
// message went.
bool RunSendWorkflow(const SendWorkflowPorts& ports);

}  // namespace parvel
