#include "templates/addin_folder_win.h"

#include <string>

#include "host/com_module_win.h"

namespace parvel {

std::filesystem::path AddinModulePath() { return host::ModulePath(); }

std::filesystem::path AddinFolder() { return AddinModulePath().parent_path(); }

}  // namespace parvel
