#include "templates/addin_folder_win.h"

#include <string>

#include "com/com_module_win.h"

namespace parvel {

std::filesystem::path AddinModulePath() { return com::ModulePath(); }

}  // namespace parvel
