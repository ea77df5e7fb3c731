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

// For the catch (...) at a COM method, an export or a host callback, where
// nothing may pass: reports the failure as where and returns the HRESULT for
// it (out of memory, the host's own code, or E_UNEXPECTED). A handler the
// host stopped (HostDisconnected) ends quietly, with S_OK.
HRESULT CaughtResult(Diagnostics& diagnostics, std::wstring_view where) noexcept;
// The same where no session's diagnostics are at hand (registration, before
// a connection): the report goes to the administrator's log.
HRESULT CaughtResult(std::wstring_view where) noexcept;

}  // namespace parvel::host
