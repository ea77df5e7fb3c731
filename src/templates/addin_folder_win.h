#pragma once

#include <filesystem>

namespace parvel {

// The add-in's DLL, taken from its own module, never from the process's
// current folder, which the host may change at any time. Empty when Windows
// cannot tell.
std::filesystem::path AddinModulePath();

}  // namespace parvel
