#include "com/event_advice_win.h"

#include <utility>

#include "com/com_error.h"
#include "com/com_object_win.h"
#include "com/dispatch_win.h"

namespace parvel::com {
namespace {

// Receives one event of one event interface and hands it to the handler,
// which the advice empties when it lets go: the host may keep the sink
// longer. The arguments are not read: however the host packs them, the event
// gets through.
class EventSink final : public ComObject<EventSink, IDispatch> {
 public:
  EventSink(REFIID events, DISPID dispid, std::shared_ptr<std::function<void()>> handler)
      : events_(events), dispid_(dispid), handler_(std::move(handler)) {}

  bool Answers(REFIID iid) const noexcept { return iid == events_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (id != dispid_) return DISP_E_MEMBERNOTFOUND;
    try {
      // A copy: the handler may let go of the advice while it runs.
      const std::function<void()> handler = *handler_;
      if (handler) handler();
    } catch (...) {
      // An event has no failure path of its own; the host must not see one.
    }
    return S_OK;
  }

 private:
  IID events_;
  DISPID dispid_;
  std::shared_ptr<std::function<void()>> handler_;
};

}  // namespace

void EventAdvice::Advise(IUnknown* source, REFIID events, DISPID dispid,
                         std::function<void()> handler) {
  Unadvise();
  if (source == nullptr) throw ComError(E_POINTER, L"no object to advise");
  Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
  HRESULT hr = source->QueryInterface(IID_PPV_ARGS(&container));
  if (FAILED(hr)) ThrowComError(hr, L"the object's events");
  Microsoft::WRL::ComPtr<IConnectionPoint> point;
  hr = container->FindConnectionPoint(events, &point);
  if (FAILED(hr)) ThrowComError(hr, L"the object's events");
  auto shared = std::make_shared<std::function<void()>>(std::move(handler));
  const Microsoft::WRL::ComPtr<EventSink> sink = EventSink::Make(events, dispid, shared);
  if (!sink) throw ComError(E_OUTOFMEMORY, L"out of memory");
  DWORD cookie = 0;
  hr = point->Advise(sink.Get(), &cookie);
  if (FAILED(hr)) ThrowComError(hr, L"the object's events");
  point_ = std::move(point);
  sink_ = sink;
  handler_ = std::move(shared);
  cookie_ = cookie;
}

void EventAdvice::Unadvise() noexcept {
  if (point_) point_->Unadvise(cookie_);
  LetGo();
}

void EventAdvice::LetGo() noexcept {
  if (handler_) *handler_ = nullptr;
  handler_.reset();
  point_.Reset();
  sink_.Reset();
  cookie_ = 0;
}

}  // namespace parvel::com
