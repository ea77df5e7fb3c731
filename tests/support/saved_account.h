#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "settings/reg_functions.h"
#include "settings/settings_key.h"

namespace parvel::fakes {

// The settings a user saved in the account window: a compose window loads
// them without a message box.
inline void StoreSavedAccount(RegistryPort& registry) {
  RegEnsureKey(registry, kHkeyCurrentUser, SettingsKeyPath);
  for (const auto& [name, value] :
       {std::pair{L"Account", L"acc1"}, std::pair{L"Password", L"Unknown"},
        std::pair{L"MailAddress", L"sms@gateway.zintara.example"},
        std::pair{L"DefaultContacts", L"Contacts"}, std::pair{L"NamePrefix", L"ZN"}}) {
    ASSERT_EQ(RegStoreValue(registry, kHkeyCurrentUser, SettingsKeyPath, name,
                            RegValue(std::wstring(value)), kRegSz),
              0);
  }
}

}  // namespace parvel::fakes
