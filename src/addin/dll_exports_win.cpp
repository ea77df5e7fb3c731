// The four entry points of the in-process server.

#include <windows.h>

#include <array>
#include <iterator>
#include <string>

#include "addin/class_factory_win.h"
#include "addin/ol_connector_win.h"
#include "addin/registration_win.h"
#include "com/com_module_win.h"
#include "host/diagnostics_win.h"
#include "parvel_addin.h"
#include "settings/registry_win.h"

namespace {

const parvel::addin::ClassEntry kClasses[] = {
    {&CLSID_OLConnector, &parvel::addin::CreateOLConnector},
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return parvel::addin::GetClassFactory(std::begin(kClasses), std::end(kClasses), clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return parvel::com::ModuleReferences() == 0 ? S_OK : S_FALSE; }

// Registration failures are reported too: regsvr32 /s and setup programs
// show no message of their own.
STDAPI DllRegisterServer() {
  parvel::WindowsRegistry registry;
  parvel::host::SystemDiagnostics diagnostics(registry);
  try {
    const std::wstring path = parvel::com::ModulePath();
    const HRESULT result =
        path.empty() ? HRESULT_FROM_WIN32(GetLastError()) : parvel::addin::RegisterAddin(path);
    if (FAILED(result)) {
      diagnostics.Report(L"Registration", L"failed with " + parvel::host::HresultText(result));
    }
    return result;
  } catch (...) {
    return parvel::host::CaughtResult(diagnostics, L"Registration");
  }
}

STDAPI DllUnregisterServer() {
  const HRESULT result = parvel::addin::UnregisterAddin();
  if (FAILED(result)) {
    parvel::WindowsRegistry registry;
    parvel::host::SystemDiagnostics(registry).Report(
        L"Unregistration", L"failed with " + parvel::host::HresultText(result));
  }
  return result;
}
