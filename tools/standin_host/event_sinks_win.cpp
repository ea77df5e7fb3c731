#include "standin_host/event_sinks_win.h"

#include <olectl.h>

#include <algorithm>

#include "com/com_object_win.h"
#include "standin_host/host_context.h"

namespace parvel::standin {
namespace {

class ConnectionPoint final : public com::ComObject<ConnectionPoint, IConnectionPoint, false> {
 public:
  // The container keeps the sinks alive: the point holds it.
  ConnectionPoint(ComPtr<IConnectionPointContainer> container, EventSinks& sinks)
      : container_(std::move(container)), sinks_(sinks) {}

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (iid == nullptr) return E_POINTER;
    *iid = sinks_.events();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** container) override {
    if (container == nullptr) return E_POINTER;
    *container = ComPtr<IConnectionPointContainer>(container_).Detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    return sinks_.Advise(sink, cookie);
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return sinks_.Unadvise(cookie); }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override {
    if (connections != nullptr) *connections = nullptr;
    return E_NOTIMPL;
  }

 private:
  ComPtr<IConnectionPointContainer> container_;
  EventSinks& sinks_;
};

}  // namespace

HRESULT EventSinks::Find(IConnectionPointContainer* container, REFIID iid,
                         IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (iid != events_) return CONNECT_E_NOCONNECTION;
  *point = ConnectionPoint::Make(ComPtr<IConnectionPointContainer>(container), *this).Detach();
  return *point != nullptr ? S_OK : E_OUTOFMEMORY;
}

// Office asks the sink for the event interface itself.
HRESULT EventSinks::Advise(IUnknown* sink, DWORD* cookie) {
  context_.NoteCall(owner_, L"Advise");
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  *cookie = 0;
  ComPtr<IDispatch> events;
  if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(events.GetAddressOf())))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  try {
    sinks_.emplace_back(next_cookie_, std::move(events));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  *cookie = next_cookie_++;
  return S_OK;
}

HRESULT EventSinks::Unadvise(DWORD cookie) {
  context_.NoteCall(owner_, L"Unadvise");
  const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                  [cookie](const auto& sink) { return sink.first == cookie; });
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  sinks_.erase(found);
  return S_OK;
}

void EventSinks::Raise(DISPID dispid) {
  // A sink may unadvise while the event goes round.
  const auto sinks = sinks_;
  for (const auto& entry : sinks) {
    if (std::none_of(sinks_.begin(), sinks_.end(),
                     [&](const auto& advised) { return advised.first == entry.first; })) {
      continue;
    }
    const ComPtr<IDispatch>& sink = entry.second;
    DISPPARAMS none{};
    EXCEPINFO exception{};
    UINT argument_error = 0;
    sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, &exception,
                 &argument_error);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
}

}  // namespace parvel::standin
