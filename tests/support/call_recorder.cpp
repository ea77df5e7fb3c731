#include "support/call_recorder.h"

#include <algorithm>
#include <utility>

namespace parvel::fakes {
namespace {

std::wstring NameOf(const std::wstring& call) { return call.substr(0, call.find_first_of(L"(=")); }

}  // namespace

void CallRecorder::Record(std::wstring call) {
  calls_.push_back(std::move(call));
  const std::wstring& logged = calls_.back();
  for (const Failure& failure : failures_) {
    if (failure.call == logged || failure.call == NameOf(logged)) {
      throw host::HostError(failure.hresult, failure.message);
    }
  }
}

std::size_t CallRecorder::CountStartingWith(std::wstring_view prefix) const {
  return static_cast<std::size_t>(
      std::count_if(calls_.begin(), calls_.end(),
                    [prefix](const std::wstring& call) { return call.starts_with(prefix); }));
}

void CallRecorder::FailOn(std::wstring call, std::wstring message, std::int32_t hresult) {
  failures_.push_back({std::move(call), std::move(message), hresult});
}

}  // namespace parvel::fakes
