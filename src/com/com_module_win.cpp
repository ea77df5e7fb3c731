#include "com/com_module_win.h"

// NOLINTNEXTLINE(bugprone-reserved-identifier): the linker's name for this module's image.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace parvel::com {
namespace {

volatile LONG g_references = 0;

}  // namespace

void ModuleAddRef() noexcept { InterlockedIncrement(&g_references); }

void ModuleRelease() noexcept { InterlockedDecrement(&g_references); }

long ModuleReferences() noexcept { return InterlockedCompareExchange(&g_references, 0, 0); }

HINSTANCE ModuleInstance() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(ModuleInstance(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace parvel::com
