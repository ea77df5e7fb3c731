#pragma once

namespace parvel {

// Lets the window events that are waiting run, so that the add-in's windows
// and the host stay responsive while a long walk of the address book goes on.
class PendingEvents {
 public:
  virtual ~PendingEvents() = default;
  virtual void Run() = 0;
};

}  // namespace parvel
