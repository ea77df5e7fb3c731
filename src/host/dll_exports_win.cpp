// The four entry points of the in-process server.

#include <windows.h>

#include <array>
#include <iterator>
#include <string>

#include "host/class_factory_win.h"
#include "host/com_module_win.h"
#include "host/ol_connector_win.h"
#include "host/registration_win.h"
#include "parvel_addin.h"

namespace {

const parvel::host::ClassEntry kClasses[] = {
    {&CLSID_OLConnector, &parvel::host::CreateOLConnector},
};

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(parvel::host::ModuleInstance(), path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return parvel::host::GetClassFactory(std::begin(kClasses), std::end(kClasses), clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return parvel::host::ModuleReferences() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  try {
    const std::wstring path = ModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    return parvel::host::RegisterAddin(path);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllUnregisterServer() { return parvel::host::UnregisterAddin(); }
