#pragma once

// RegFunctions: the only code that reads or writes registry values. Two
// functions work on a key that is already open, three open and close the key
// named by a root key and a path around their work, and one removes such a
// key. Text values travel in the system ANSI code page, so a text that went
// through the registry comes back with every character the code page cannot
// represent turned into "?".

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "settings/registry_port.h"

namespace parvel {

// Empty, text or a 32-bit number.
using RegValue = std::variant<std::monostate, std::wstring, std::int32_t>;

// Access rights of every open and create: query value, set value, create
// subkey, enumerate subkeys, notify, create link.
inline constexpr std::uint32_t kRegAccess = 63;

// Result of RegReadValue for a value type it does not read.
inline constexpr std::int32_t kRegUnhandledType = -1;

// Type 1 writes the value as text (ANSI bytes, size without a terminating
// zero: the registry adds it); type 4 as a 32-bit number, and a text that is
// no decimal number then gives kErrorInvalidParameter; any other type writes
// nothing and gives 0.
std::int32_t RegWriteValue(RegistryPort& registry, RegKey key, std::wstring_view name,
                           std::uint32_t type, const RegValue& value);

// Reads a text value as its text followed by its terminating zero character,
// or a REG_DWORD value as a number. On a failed first query, or a type other
// than REG_SZ and REG_DWORD (kRegUnhandledType), value is left as it was; a
// failed read of a text leaves it empty.
std::int32_t RegReadValue(RegistryPort& registry, RegKey key, std::wstring_view name,
                          RegValue& value);

// Creates the key when it is missing. Reports nothing.
void RegEnsureKey(RegistryPort& registry, RegKey root, std::wstring_view path);

// Writes one value into an existing key; a missing key is not created, and
// the write then fails. Returns 0 on success, else the code of the open that
// failed or of the write.
std::int32_t RegStoreValue(RegistryPort& registry, RegKey root, std::wstring_view path,
                           std::wstring_view name, const RegValue& value, std::uint32_t type);

// The value, or empty on any failure.
RegValue RegFetchValue(RegistryPort& registry, RegKey root, std::wstring_view path,
                       std::wstring_view name);

// Removes the key with its values (a key with subkeys stays). Returns 0 on
// success, a key that is already missing included, else the delete's code.
std::int32_t RegRemoveKey(RegistryPort& registry, RegKey root, std::wstring_view path);

}  // namespace parvel
