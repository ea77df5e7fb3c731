#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "codec/code_page.h"

namespace parvel {

// A registry key handle as the registry functions see it: a root key or a
// handle that an open or create handed out. Root keys are 32-bit numbers
// widened with their sign, as the Windows headers widen them.
enum class RegKey : std::intptr_t {};

inline constexpr RegKey kNoRegKey{0};
// HKEY_CURRENT_USER (the Windows headers keep that name for a macro).
inline constexpr RegKey kHkeyCurrentUser{static_cast<std::int32_t>(0x80000001U)};

// Value types.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access rights (KEY_QUERY_VALUE, KEY_SET_VALUE, ...).
inline constexpr std::uint32_t kKeyQueryValue = 0x01;
inline constexpr std::uint32_t kKeySetValue = 0x02;

// Win32 result codes.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorInvalidParameter = 87;
inline constexpr std::int32_t kErrorBadPathname = 161;
inline constexpr std::int32_t kErrorMoreData = 234;

// The registry calls the add-in makes, in the shape of the advapi32 ANSI
// functions: every call returns the Win32 result code. Names are texts in
// memory form; value data are the stored bytes (texts in the ANSI code page).
class RegistryPort {
 public:
  virtual ~RegistryPort() = default;

  // Opens the key, creating it and any missing parent first (RegCreateKeyExA,
  // no class text, non-volatile, no security attributes).
  virtual std::int32_t CreateKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                                 RegKey& key) = 0;
  // RegOpenKeyExA; key is kNoRegKey after a failure.
  virtual std::int32_t OpenKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                               RegKey& key) = 0;
  // RegQueryValueExA without a buffer: the type and the data size in bytes.
  virtual std::int32_t QueryValueInfo(RegKey key, std::wstring_view name, std::uint32_t& type,
                                      std::uint32_t& size) = 0;
  // RegQueryValueExA into buffer. size receives the data size; when the data
  // do not fit, the result is kErrorMoreData and the buffer's content is
  // unspecified.
  virtual std::int32_t QueryValueData(RegKey key, std::wstring_view name, std::uint32_t& type,
                                      std::span<char> buffer, std::uint32_t& size) = 0;
  // RegSetValueExA. For the text types the registry stores one zero byte after
  // data that do not end with one.
  virtual std::int32_t SetValue(RegKey key, std::wstring_view name, std::uint32_t type,
                                std::string_view data) = 0;
  // RegDeleteKeyA: removes the key with its values; a key that has subkeys
  // stays (kErrorAccessDenied).
  virtual std::int32_t DeleteKey(RegKey parent, std::wstring_view path) = 0;
  // RegCloseKey.
  virtual std::int32_t CloseKey(RegKey key) = 0;
  // The code page of names and text data: the system's ANSI code page.
  virtual const CodePage& TextCodePage() const = 0;
};

}  // namespace parvel
