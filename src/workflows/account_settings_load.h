#pragma once

#include <string>
#include <string_view>

#include "settings/account_settings.h"
#include "settings/registry_port.h"
#include "ui/message_box.h"

namespace parvel {

inline constexpr std::wstring_view kInitialisationTitle = L"Initialisation";
inline constexpr std::wstring_view kInitialisationText =
    L"The application has been initialised for the current Windows user account...\r\n"
    L"Please access the account information and ensure it is correct...";
inline constexpr std::wstring_view kPasswordErrorTitle = L"Password Error";
inline constexpr std::wstring_view kPasswordErrorText =
    L"The stored password cannot be read. Please enter it again in the account window...";

// Stored in plain while no password has been saved.
inline constexpr std::wstring_view kPasswordPlaceholder = L"Unknown";
inline constexpr std::wstring_view kDefaultContactsFolder = L"Contacts";

// Fills every field of settings from the settings key, stores the defaults of
// whatever is missing and then shows the "Initialisation" message once. A
// stored password that cannot be deciphered is reported in a message of its
// own and left in the registry for the account window to replace; the record
// then holds an empty password. Returns the "ShowAccount" text ("1" when
// missing); "0" asks for the "Account info" button to be hidden.
std::wstring LoadAccountSettings(RegistryPort& registry, MessageBoxes& messages,
                                 AccountSettings& settings);

}  // namespace parvel
