#include "host/diagnostics_win.h"

#include <windows.h>

#include <new>
#include <string>

#include "host/host_error.h"
#include "parvel/version.h"
#include "platform/handles_win.h"
#include "settings/registry_win.h"
#include "settings/settings_key.h"

namespace parvel::host {
namespace {

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  }
  return bytes;
}

std::wstring TwoDigits(WORD value) {
  return {static_cast<wchar_t>(L'0' + value / 10 % 10), static_cast<wchar_t>(L'0' + value % 10)};
}

// "2026-12-06 18:31:09"
std::wstring LocalTimeText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return std::to_wstring(now.wYear) + L"-" + TwoDigits(now.wMonth) + L"-" + TwoDigits(now.wDay) +
         L" " + TwoDigits(now.wHour) + L":" + TwoDigits(now.wMinute) + L":" +
         TwoDigits(now.wSecond);
}

void Append(const std::wstring& path, const std::string& line) {
  // Appends of other Outlook processes interleave whole lines.
  const HANDLE raw = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return;
  const win::UniqueKernelHandle file(raw);
  DWORD written = 0;
  WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

void SystemDiagnostics::Report(std::wstring_view where, std::wstring_view what) noexcept {
  try {
    const std::wstring text = L"Parvel " + std::wstring(kVersionText) + L" " + std::wstring(where) +
                              L": " + std::wstring(what);
    OutputDebugStringW((text + L"\n").c_str());
    const std::wstring path = FetchSettingText(registry_, L"LogFile");
    if (!path.empty()) Append(path, Utf8(LocalTimeText() + L" " + text + L"\r\n"));
  } catch (...) {
    // A report must never become a failure of its own.
  }
}

HRESULT CaughtResult(Diagnostics& diagnostics, std::wstring_view where) noexcept {
  try {
    throw;
  } catch (const HostDisconnected&) {
    return S_OK;
  } catch (...) {
    const std::exception_ptr failure = std::current_exception();
    diagnostics.Report(where, DescribeFailure(failure));
    try {
      std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (const HostError& error) {
      return FAILED(error.hresult()) ? static_cast<HRESULT>(error.hresult()) : E_FAIL;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
}

HRESULT CaughtResult(std::wstring_view where) noexcept {
  try {
    WindowsRegistry registry;
    SystemDiagnostics diagnostics(registry);
    return CaughtResult(diagnostics, where);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace parvel::host
