#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_error.h"

namespace parvel::fakes {

inline constexpr auto kEFail = static_cast<std::int32_t>(0x80004005U);

// The log that the fake host objects share: every call made on them, in
// order, as text such as "Application.CreateItem(0)" or
// "SafeMailItem.To=sms@gateway.example". Any call can be made to fail with a
// HostError: FailOn(L"SafeMailItem.Save") fails every call of that name (the
// text before "(" or "="), FailOn(L"CreateObject(Redemption.MAPIUtils)") only
// that exact call. A failing call is logged before it fails.
class CallRecorder {
 public:
  void Record(std::wstring call);
  void FailOn(std::wstring call, std::wstring message, std::int32_t hresult = kEFail);
  // Every call succeeds again, as when the host has come back.
  void ClearFailures() { failures_.clear(); }

  const std::vector<std::wstring>& calls() const { return calls_; }
  std::size_t CountStartingWith(std::wstring_view prefix) const;
  void ClearCalls() { calls_.clear(); }

  // Objects that calls handed out and that have not been released yet.
  int live_objects() const { return live_objects_; }

  // Held by each object a call hands out, to count it while it lives.
  class Lifetime {
   public:
    explicit Lifetime(CallRecorder& recorder) : recorder_(recorder) { ++recorder_.live_objects_; }
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;
    ~Lifetime() { --recorder_.live_objects_; }

   private:
    CallRecorder& recorder_;
  };

 private:
  struct Failure {
    std::wstring call;
    std::wstring message;
    std::int32_t hresult;
  };
  std::vector<std::wstring> calls_;
  std::vector<Failure> failures_;
  int live_objects_ = 0;
};

}  // namespace parvel::fakes
