#include "host/host_error.h"

#include "codec/code_page.h"

namespace parvel::host {

std::wstring FailureText(const std::exception& error) {
  if (const auto* host_error = dynamic_cast<const HostError*>(&error)) return host_error->message();
  return SystemCodePage().FromBytes(error.what());
}

}  // namespace parvel::host
