#include "settings/registry_win.h"

#include <windows.h>

#include <limits>
#include <string>

#include "codec/code_page.h"

namespace parvel {
namespace {

// RegKey keeps a root key widened with its sign, exactly as the Windows
// headers define HKEY_CURRENT_USER and its siblings.
// NOLINTNEXTLINE(performance-no-int-to-ptr): the predefined keys are integer constants.
HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(key)); }

RegKey FromHkey(HKEY key) { return RegKey{reinterpret_cast<std::intptr_t>(key)}; }

DWORD ByteCount(std::size_t size) {
  return size > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                  : static_cast<DWORD>(size);
}

}  // namespace

std::int32_t WindowsRegistry::CreateKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                                        RegKey& key) {
  HKEY created = nullptr;
  const LONG code = RegCreateKeyExA(ToHkey(parent), code_page_.ToBytes(path).c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr);
  key = code == ERROR_SUCCESS ? FromHkey(created) : kNoRegKey;
  return code;
}

std::int32_t WindowsRegistry::OpenKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                                      RegKey& key) {
  HKEY opened = nullptr;
  const LONG code =
      RegOpenKeyExA(ToHkey(parent), code_page_.ToBytes(path).c_str(), 0, access, &opened);
  key = code == ERROR_SUCCESS ? FromHkey(opened) : kNoRegKey;
  return code;
}

std::int32_t WindowsRegistry::QueryValueInfo(RegKey key, std::wstring_view name,
                                             std::uint32_t& type, std::uint32_t& size) {
  DWORD value_type = 0;
  DWORD value_size = 0;
  const LONG code = RegQueryValueExA(ToHkey(key), code_page_.ToBytes(name).c_str(), nullptr,
                                     &value_type, nullptr, &value_size);
  type = value_type;
  size = value_size;
  return code;
}

std::int32_t WindowsRegistry::QueryValueData(RegKey key, std::wstring_view name,
                                             std::uint32_t& type, std::span<char> buffer,
                                             std::uint32_t& size) {
  // Without a data pointer the call would only report the size; an empty
  // buffer must still fail on data that do not fit.
  char none = 0;
  auto* data = reinterpret_cast<BYTE*>(buffer.empty() ? &none : buffer.data());
  DWORD value_type = 0;
  DWORD value_size = ByteCount(buffer.size());
  const LONG code = RegQueryValueExA(ToHkey(key), code_page_.ToBytes(name).c_str(), nullptr,
                                     &value_type, data, &value_size);
  type = value_type;
  size = value_size;
  return code;
}

std::int32_t WindowsRegistry::SetValue(RegKey key, std::wstring_view name, std::uint32_t type,
                                       std::string_view data) {
  // The copy keeps a zero byte right after the data: that is where the
  // registry looks for the terminating zero a text's size leaves out.
  const std::string bytes(data);
  return RegSetValueExA(ToHkey(key), code_page_.ToBytes(name).c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(bytes.c_str()), ByteCount(bytes.size()));
}

std::int32_t WindowsRegistry::DeleteKey(RegKey parent, std::wstring_view path) {
  return RegDeleteKeyA(ToHkey(parent), code_page_.ToBytes(path).c_str());
}

std::int32_t WindowsRegistry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

}  // namespace parvel
