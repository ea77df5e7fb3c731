#pragma once

#include <windows.h>

#include <string>

namespace parvel::host {

// Live objects and server locks of the DLL: DllCanUnloadNow answers from it.
void ModuleAddRef() noexcept;
void ModuleRelease() noexcept;
long ModuleReferences() noexcept;

// The DLL's own module: resources and files beside the add-in come from here,
// never from the host's executable.
HINSTANCE ModuleInstance() noexcept;

// The DLL's full file name, however long; empty when Windows cannot give it
// (GetLastError says why).
std::wstring ModulePath();

}  // namespace parvel::host
