#pragma once

#include "recipients/pending_events.h"

namespace parvel {

// Dispatches the messages queued for the calling thread. An event that runs
// from here and itself asks for pending events gets none: the walk it started
// finishes first, so walks never nest more than one deep.
class ThreadMessagePump final : public PendingEvents {
 public:
  void Run() override;
};

}  // namespace parvel
