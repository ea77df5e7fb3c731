#pragma once

#include <filesystem>

namespace parvel {

// The folder that holds the add-in's DLL, where its templates file lives.
// Taken from the DLL's own module, never from the process's current folder,
// which the host may change at any time.
std::filesystem::path AddinFolder();

}  // namespace parvel
