#pragma once

// The per-user settings key and the reading of its values as texts.

#include <string>
#include <string_view>

#include "settings/registry_port.h"

namespace parvel {

// Under HKEY_CURRENT_USER.
inline constexpr std::wstring_view SettingsKeyPath = L"SOFTWARE\\Parvello";

// A value of the settings key as text: a stored text without the terminating
// zero that the registry returns with it, a number in decimal, and empty when
// the value is missing, empty or unreadable.
std::wstring FetchSettingText(RegistryPort& registry, std::wstring_view name);

// Whether "NewBar" asks for the button on a toolbar of its own: exactly "1".
bool ReadNewBar(RegistryPort& registry);

}  // namespace parvel
