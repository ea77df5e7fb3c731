#pragma once

#include <windows.h>

#include "host/diagnostics.h"
#include "settings/registry_port.h"

namespace parvel::host {

// Reports go to the debugger output (DebugView shows them) and, when the
// administrator names a file in the text value "LogFile" under
// HKCU\SOFTWARE\Parvello, are appended there, one UTF-8 line each with the
// local time. The value is read at each report: reports are rare, and a
// change takes effect at once.
class SystemDiagnostics final : public Diagnostics {
 public:
  explicit SystemDiagnostics(RegistryPort& registry) : registry_(registry) {}

  void Report(std::wstring_view where, std::wstring_view what) noexcept override;

 private:
  RegistryPort& registry_;
};

// The HRESULT that a COM method or export returns for a failure it caught:
// out of memory, the host's own code, or E_UNEXPECTED. The failure is
// reported first, as where.
HRESULT FailureResult(Diagnostics& diagnostics, std::wstring_view where,
                      const std::exception_ptr& failure) noexcept;

}  // namespace parvel::host
