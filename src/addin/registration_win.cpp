#include "addin/registration_win.h"

#include <array>
#include <string>
#include <vector>

#include "parvel_addin.h"
#include "platform/handles_win.h"

namespace parvel::addin {
namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";
// The automation marshaler, for the dual default interface.
constexpr wchar_t kOleAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";

std::wstring GuidText(REFGUID guid) {
  std::array<wchar_t, 40> text{};
  StringFromGUID2(guid, text.data(), static_cast<int>(text.size()));
  return text.data();
}

struct Entry {
  std::wstring key;   // below HKEY_CURRENT_USER
  std::wstring name;  // empty for the key's default value
  std::wstring text;
  bool is_number = false;
  DWORD number = 0;
};

// With its trailing separator, as Windows Installer writes a folder: the
// packages' registration is the same as this one, value for value.
std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::vector<Entry> Entries(const std::wstring& module_path) {
  const std::wstring clsid = GuidText(CLSID_OLConnector);
  const std::wstring libid = GuidText(LIBID_ZintaraOutlook);
  const std::wstring iid = GuidText(IID__OLConnector);
  const std::wstring classes = kClasses;
  const std::wstring class_key = classes + L"CLSID\\" + clsid;
  const std::wstring lib_key = classes + L"TypeLib\\" + libid + L"\\1.0";
  const std::wstring interface_key = classes + L"Interface\\" + iid;
  const std::wstring addin_key = std::wstring(kAddinsKey) + L"\\" + kProgId;
  const wchar_t* platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  return {
      {class_key, L"", kProgId},
      {class_key + L"\\InprocServer32", L"", module_path},
      {class_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {class_key + L"\\ProgID", L"", kProgId},
      {class_key + L"\\TypeLib", L"", libid},
      {class_key + L"\\VERSION", L"", L"1.0"},
      {classes + kProgId, L"", kProgId},
      {classes + kProgId + L"\\CLSID", L"", clsid},
      {lib_key, L"", L"ZintaraOutlook"},
      {lib_key + L"\\0\\" + platform, L"", module_path},
      {lib_key + L"\\FLAGS", L"", L"0"},
      {lib_key + L"\\HELPDIR", L"", FolderOf(module_path)},
      {interface_key, L"", L"_OLConnector"},
      {interface_key + L"\\ProxyStubClsid32", L"", kOleAutomationProxy},
      {interface_key + L"\\TypeLib", L"", libid},
      {interface_key + L"\\TypeLib", L"Version", L"1.0"},
      {addin_key, L"FriendlyName", kFriendlyName},
      {addin_key, L"Description", kDescription},
      {addin_key, L"LoadBehavior", L"", true, 3},
      {addin_key, L"CommandLineSafe", L"", true, 0},
  };
}

// The keys RegisterAddin creates, each removed with everything below it.
std::vector<std::wstring> OwnedKeys() {
  const std::wstring classes = kClasses;
  return {
      classes + L"CLSID\\" + GuidText(CLSID_OLConnector),
      classes + kProgId,
      classes + L"TypeLib\\" + GuidText(LIBID_ZintaraOutlook),
      classes + L"Interface\\" + GuidText(IID__OLConnector),
      std::wstring(kAddinsKey) + L"\\" + kProgId,
  };
}

LSTATUS Write(const Entry& entry) {
  win::UniqueHkey key;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, entry.key.c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  const wchar_t* name = entry.name.empty() ? nullptr : entry.name.c_str();
  if (entry.is_number) {
    return RegSetValueExW(key.get(), name, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&entry.number), sizeof(entry.number));
  }
  return RegSetValueExW(key.get(), name, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(entry.text.c_str()),
                        static_cast<DWORD>((entry.text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

HRESULT RegisterAddin(const std::wstring& module_path) noexcept {
  try {
    for (const Entry& entry : Entries(module_path)) {
      const LSTATUS status = Write(entry);
      if (status != ERROR_SUCCESS) {
        UnregisterAddin();
        return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
      }
    }
    return S_OK;
  } catch (...) {
    UnregisterAddin();
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterAddin() noexcept {
  try {
    HRESULT result = S_OK;
    for (const std::wstring& key : OwnedKeys()) {
      const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        result = HRESULT_FROM_WIN32(static_cast<DWORD>(status));
      }
    }
    return result;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace parvel::addin
