#include "templates/addin_folder_win.h"

#include <string>

#include "host/com_module_win.h"

namespace parvel {

std::filesystem::path AddinFolder() {
  const std::wstring path = host::ModulePath();
  if (path.empty()) return {};
  return std::filesystem::path(path).parent_path();
}

}  // namespace parvel
