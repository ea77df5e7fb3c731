#pragma once

#include <windows.h>

namespace parvel::host {

// Live objects and server locks of the DLL: DllCanUnloadNow answers from it.
void ModuleAddRef() noexcept;
void ModuleRelease() noexcept;
long ModuleReferences() noexcept;

// The DLL's own module: resources and files beside the add-in come from here,
// never from the host's executable.
HINSTANCE ModuleInstance() noexcept;

}  // namespace parvel::host
