#pragma once

// The sinks advised on one event interface of a host object (the
// application's events), and the connection point that takes them.

#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "standin_host/dispatch_win.h"

namespace parvel::standin {

class EventSinks {
 public:
  // owner: the object's type name, by which the add-in's calls on the
  // connection point are noted.
  EventSinks(HostContext& context, IID events, std::wstring owner)
      : context_(context), events_(events), owner_(std::move(owner)) {}

  // FindConnectionPoint of container, whose object holds these sinks.
  HRESULT Find(IConnectionPointContainer* container, REFIID iid, IConnectionPoint** point);
  // Calls the event without arguments on every sink, in the order of advice.
  void Raise(DISPID dispid);
  // The host goes: every sink is released without a word.
  void DropAll() { sinks_.clear(); }
  std::size_t size() const { return sinks_.size(); }

  // What the connection point does for the add-in.
  HRESULT Advise(IUnknown* sink, DWORD* cookie);
  HRESULT Unadvise(DWORD cookie);
  REFIID events() const { return events_; }

 private:
  HostContext& context_;
  IID events_;
  std::wstring owner_;
  DWORD next_cookie_ = 1;
  std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
};

}  // namespace parvel::standin
