#include "host/com_module_win.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace parvel::host {
namespace {

volatile LONG g_references = 0;

}  // namespace

void ModuleAddRef() noexcept { InterlockedIncrement(&g_references); }

void ModuleRelease() noexcept { InterlockedDecrement(&g_references); }

long ModuleReferences() noexcept { return InterlockedCompareExchange(&g_references, 0, 0); }

HINSTANCE ModuleInstance() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace parvel::host
