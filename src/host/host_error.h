#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace parvel::host {

// A failure reported by the host (Outlook, its command bars or Redemption):
// the HRESULT and the host's own message text.
class HostError : public std::runtime_error {
 public:
  HostError(std::int32_t hresult, std::wstring message);

  std::int32_t hresult() const noexcept { return hresult_; }
  const std::wstring& message() const noexcept { return message_; }

 private:
  std::int32_t hresult_;
  std::wstring message_;
};

}  // namespace parvel::host
