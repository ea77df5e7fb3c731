#pragma once

#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>

namespace parvel::com {

// One event of a host object's connection point (a button's Click, the
// application's Quit) handed to a handler, through a sink the add-in advises.
class EventAdvice {
 public:
  EventAdvice() = default;
  // Lets go (LetGo): destroying an advice never calls the host.
  ~EventAdvice() { LetGo(); }
  EventAdvice(const EventAdvice&) = delete;
  EventAdvice& operator=(const EventAdvice&) = delete;

  // Advises a sink on source's connection point for the event interface; the
  // event dispid, whatever its arguments, calls handler. An advice made
  // before is undone first. Throws ComError.
  void Advise(IUnknown* source, REFIID events, DISPID dispid, std::function<void()> handler);
  // Stops the events (Unadvise, a call into the host); failures are passed over.
  void Unadvise() noexcept;
  // Drops the advice without a call into the host, which is exiting: the sink
  // does nothing from now on, and the host releases it as it goes.
  void LetGo() noexcept;

 private:
  Microsoft::WRL::ComPtr<IConnectionPoint> point_;
  Microsoft::WRL::ComPtr<IDispatch> sink_;
  std::shared_ptr<std::function<void()>> handler_;
  DWORD cookie_ = 0;
};

}  // namespace parvel::com
