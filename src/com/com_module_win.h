#pragma once

#include <windows.h>

#include <string>

namespace parvel::com {

// Live objects and server locks of the DLL: DllCanUnloadNow answers from it.
void ModuleAddRef() noexcept;
void ModuleRelease() noexcept;
long ModuleReferences() noexcept;

// Keeps the DLL loaded for as long as it lives: what holds host objects,
// windows or code the host may call into.
class ModuleReference {
 public:
  ModuleReference() noexcept { ModuleAddRef(); }
  ~ModuleReference() { ModuleRelease(); }
  ModuleReference(const ModuleReference&) = delete;
  ModuleReference& operator=(const ModuleReference&) = delete;
};

// The DLL's own module: resources and files beside the add-in come from here,
// never from the host's executable.
HINSTANCE ModuleInstance() noexcept;

// The DLL's full file name, however long; empty when Windows cannot give it
// (GetLastError says why).
std::wstring ModulePath();

}  // namespace parvel::com
