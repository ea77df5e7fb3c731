#include "templates/templates_location_win.h"

#include <windows.h>

#include <shlobj.h>

#include <optional>
#include <string>
#include <tuple>

#include "platform/handles_win.h"
#include "templates/addin_folder_win.h"

namespace parvel {
namespace {

// A text value of a key below root\Software\Classes, environment strings
// expanded; nothing when there is none.
std::optional<std::wstring> ClassesText(HKEY root, const std::wstring& key) {
  const std::wstring path = L"Software\\Classes\\" + key;
  // A REG_EXPAND_SZ value passes too, expanded.
  constexpr DWORD kFlags = RRF_RT_REG_SZ;
  DWORD size = 0;
  if (RegGetValueW(root, path.c_str(), nullptr, kFlags, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(root, path.c_str(), nullptr, kFlags, nullptr, text.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

// The volume and index that identify a file whatever its name's spelling
// (letter case, short names); nothing when it cannot be opened.
std::optional<std::tuple<DWORD, DWORD, DWORD>> FileIdentity(const std::filesystem::path& file) {
  const win::UniqueKernelHandle handle = win::OpenedFile(
      CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!handle || GetFileInformationByHandle(handle.get(), &information) == FALSE) {
    return std::nullopt;
  }
  return std::tuple{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                    information.nFileIndexLow};
}

std::filesystem::path RoamingAppDataFolder() {
  PWSTR folder = nullptr;
  std::filesystem::path path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder))) {
    path = folder;
  }
  // Freed whether the call succeeded or not, as the function asks.
  CoTaskMemFree(folder);
  return path;
}

// Whether the class that root's classes give prog_id is served by the file
// at module.
bool ServedBy(HKEY root, std::wstring_view prog_id, const std::filesystem::path& module) {
  const std::optional<std::wstring> clsid = ClassesText(root, std::wstring(prog_id) + L"\\CLSID");
  if (!clsid) return false;
  const std::optional<std::wstring> server =
      ClassesText(root, L"CLSID\\" + *clsid + L"\\InprocServer32");
  if (!server || server->empty()) return false;
  const auto registered = FileIdentity(*server);
  return registered && registered == FileIdentity(module);
}

}  // namespace

bool InstalledForMachine(std::wstring_view prog_id, const std::filesystem::path& module) {
  return ServedBy(HKEY_LOCAL_MACHINE, prog_id, module) &&
         !ServedBy(HKEY_CURRENT_USER, prog_id, module);
}

TemplatesLocation AddinTemplatesLocation(std::wstring_view prog_id) {
  const std::filesystem::path module = AddinModulePath();
  return ChooseTemplatesLocation(module.parent_path(), InstalledForMachine(prog_id, module),
                                 RoamingAppDataFolder());
}

}  // namespace parvel
