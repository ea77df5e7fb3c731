#include "templates/addin_folder_win.h"

#include <windows.h>

#include <string>

#include "host/com_module_win.h"

namespace parvel {

std::filesystem::path AddinModulePath() {
  // Paths may be longer than MAX_PATH; grow until the whole name fits.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(host::ModuleInstance(), name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

std::filesystem::path AddinFolder() { return AddinModulePath().parent_path(); }

}  // namespace parvel
