#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace parvel::com {

// A COM call that failed: its HRESULT and the object's own message text
// (the EXCEPINFO a late-bound call fills). Every COM object the add-in calls
// is its host's, so the text says "host error".
class ComError : public std::runtime_error {
 public:
  ComError(std::int32_t hresult, std::wstring message);

  std::int32_t hresult() const noexcept { return hresult_; }
  const std::wstring& message() const noexcept { return message_; }

 private:
  std::int32_t hresult_;
  std::wstring message_;
};

}  // namespace parvel::com
