#include "standin_host/virtual_monitors_win.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>

namespace parvel::standin {
namespace {

// A handle no real monitor has: the added monitor with this index.
constexpr std::uintptr_t kFirstPlayedHandle = 0x5EC0DE00;

struct Played {
  std::mutex mutex;
  std::vector<RECT> added;
};

Played& State() {
  static Played state;
  return state;
}

HMONITOR HandleOf(std::size_t added) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a played monitor's handle is a made-up value.
  return reinterpret_cast<HMONITOR>(kFirstPlayedHandle + added);
}

std::optional<std::size_t> AddedIndex(HMONITOR monitor) {
  const auto value = reinterpret_cast<std::uintptr_t>(monitor);
  const std::lock_guard lock(State().mutex);
  if (value < kFirstPlayedHandle || value - kFirstPlayedHandle >= State().added.size()) {
    return std::nullopt;
  }
  return value - kFirstPlayedHandle;
}

RECT WorkAreaOfAdded(const RECT& monitor) {
  RECT work = monitor;
  work.bottom -= kVirtualTaskbarHeight;
  return work;
}

BOOL CALLBACK CollectReal(HMONITOR monitor, HDC, LPRECT, LPARAM into) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the enumeration passes the list in LPARAM.
  reinterpret_cast<std::vector<HMONITOR>*>(into)->push_back(monitor);
  return TRUE;
}

struct Candidate {
  HMONITOR handle;
  RECT monitor;
};

std::vector<Candidate> Candidates() {
  std::vector<HMONITOR> real;
  EnumDisplayMonitors(nullptr, nullptr, &CollectReal, reinterpret_cast<LPARAM>(&real));
  std::vector<Candidate> all;
  for (HMONITOR handle : real) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(handle, &info)) all.push_back({handle, info.rcMonitor});
  }
  const std::lock_guard lock(State().mutex);
  for (std::size_t i = 0; i < State().added.size(); ++i) {
    all.push_back({HandleOf(i), State().added[i]});
  }
  return all;
}

long long Overlap(const RECT& a, const RECT& b) {
  const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

long long Distance(const RECT& rect, const RECT& monitor) {
  const long long dx = rect.right <= monitor.left   ? monitor.left - rect.right
                       : monitor.right <= rect.left ? rect.left - monitor.right
                                                    : 0;
  const long long dy = rect.bottom <= monitor.top   ? monitor.top - rect.bottom
                       : monitor.bottom <= rect.top ? rect.top - monitor.bottom
                                                    : 0;
  return dx * dx + dy * dy;
}

// As Windows chooses: the monitor with the largest part of the rectangle;
// for a rectangle on none, the nearest (or none, or the primary, as asked).
HMONITOR Choose(const RECT& rect, DWORD flags) {
  const std::vector<Candidate> all = Candidates();
  const Candidate* best = nullptr;
  long long best_overlap = 0;
  for (const Candidate& candidate : all) {
    const long long overlap = Overlap(rect, candidate.monitor);
    if (overlap > best_overlap) {
      best = &candidate;
      best_overlap = overlap;
    }
  }
  if (best != nullptr) return best->handle;
  if (flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (flags == MONITOR_DEFAULTTOPRIMARY) return MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  long long best_distance = LLONG_MAX;
  for (const Candidate& candidate : all) {
    const long long distance = Distance(rect, candidate.monitor);
    if (distance < best_distance) {
      best = &candidate;
      best_distance = distance;
    }
  }
  return best != nullptr ? best->handle : nullptr;
}

HMONITOR WINAPI PlayedMonitorFromRect(LPCRECT rect, DWORD flags) {
  return rect == nullptr ? nullptr : Choose(*rect, flags);
}

HMONITOR WINAPI PlayedMonitorFromPoint(POINT point, DWORD flags) {
  return Choose({point.x, point.y, point.x + 1, point.y + 1}, flags);
}

HMONITOR WINAPI PlayedMonitorFromWindow(HWND window, DWORD flags) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  RECT rect{};
  if (IsIconic(window) && GetWindowPlacement(window, &placement)) {
    rect = placement.rcNormalPosition;
  } else if (!GetWindowRect(window, &rect)) {
    return flags == MONITOR_DEFAULTTONULL ? nullptr
                                          : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  }
  return Choose(rect, flags);
}

BOOL WINAPI PlayedGetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info) {
  const std::optional<std::size_t> added = AddedIndex(monitor);
  if (!added) return GetMonitorInfoW(monitor, info);
  if (info == nullptr || info->cbSize < sizeof(MONITORINFO)) return FALSE;
  const std::lock_guard lock(State().mutex);
  info->rcMonitor = State().added[*added];
  info->rcWork = WorkAreaOfAdded(info->rcMonitor);
  info->dwFlags = 0;
  if (info->cbSize >= sizeof(MONITORINFOEXW)) {
    auto* named = reinterpret_cast<MONITORINFOEXW*>(info);
    wsprintfW(named->szDevice, L"\\\\.\\DISPLAY%u", static_cast<unsigned>(*added + 101));
  }
  return TRUE;
}

// Replaces every import-address-table entry of the module that holds one of
// the real functions by the host's.
void PatchImports(HMODULE module, const std::vector<std::pair<void*, void*>>& replacements) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
         slot->u1.Function != 0; ++slot) {
      for (const auto& [real, played] : replacements) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the import table holds addresses as integers.
        if (reinterpret_cast<void*>(slot->u1.Function) != real) continue;
        DWORD protection = 0;
        if (!VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE,
                            &protection)) {
          continue;
        }
        slot->u1.Function = reinterpret_cast<ULONG_PTR>(played);
        VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection, &protection);
      }
    }
  }
}

void* RealFunction(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(user32, name));
}

}  // namespace

void AddVirtualMonitor(int width, int height) {
  LONG left = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const std::lock_guard lock(State().mutex);
  for (const RECT& added : State().added) left = std::max(left, added.right);
  State().added.push_back({left, 0, left + width, height});
}

std::vector<PlayedMonitor> PlayedMonitors() {
  std::vector<PlayedMonitor> monitors;
  for (const Candidate& candidate : Candidates()) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    PlayedGetMonitorInfoW(candidate.handle, &info);
    monitors.push_back({info.rcMonitor, info.rcWork});
  }
  return monitors;
}

void ServeVirtualMonitors(HMODULE module) {
  if (module == nullptr) return;
  {
    const std::lock_guard lock(State().mutex);
    if (State().added.empty()) return;
  }
  PatchImports(
      module,
      {{RealFunction("MonitorFromWindow"), reinterpret_cast<void*>(&PlayedMonitorFromWindow)},
       {RealFunction("MonitorFromPoint"), reinterpret_cast<void*>(&PlayedMonitorFromPoint)},
       {RealFunction("MonitorFromRect"), reinterpret_cast<void*>(&PlayedMonitorFromRect)},
       {RealFunction("GetMonitorInfoW"), reinterpret_cast<void*>(&PlayedGetMonitorInfoW)}});
}

RECT PlayedWorkAreaNear(const RECT& rect) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  PlayedGetMonitorInfoW(Choose(rect, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

}  // namespace parvel::standin
