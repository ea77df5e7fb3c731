#include "workflows/account_settings_load.h"

#include "codec/secret_text.h"
#include "parvel/default_gateway.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"

namespace parvel {
namespace {

void StoreSetting(RegistryPort& registry, std::wstring_view name, std::wstring_view text) {
  RegStoreValue(registry, kHkeyCurrentUser, SettingsKeyPath, name, std::wstring(text), kRegSz);
}

// The stored password, deciphered; empty when none is stored. One that does
// not decipher is reported and replaced in memory by the placeholder, as
// before any password was saved, so that no request goes out without one;
// the stored text stays until the user saves a new password.
std::wstring LoadPassword(RegistryPort& registry, MessageBoxes& messages) {
  std::wstring stored = FetchSettingText(registry, L"Password");
  if (stored.empty() || stored == kPasswordPlaceholder) return stored;
  try {
    return DecodeSecretText(stored);
  } catch (const SecretTextError&) {
    messages.Show(kPasswordErrorTitle, kPasswordErrorText, MessageIcon::Exclamation);
    return std::wstring(kPasswordPlaceholder);
  }
}

}  // namespace

std::wstring LoadAccountSettings(RegistryPort& registry, MessageBoxes& messages,
                                 AccountSettings& settings) {
  RegEnsureKey(registry, kHkeyCurrentUser, SettingsKeyPath);
  settings.Account = FetchSettingText(registry, L"Account");
  settings.Password = LoadPassword(registry, messages);
  settings.MailAddress = FetchSettingText(registry, L"MailAddress");
  settings.DefaultContacts = FetchSettingText(registry, L"DefaultContacts");
  settings.NamePrefix = FetchSettingText(registry, L"NamePrefix");
  settings.MasterDom = FetchSettingText(registry, L"MasterDom");
  std::wstring show_account = FetchSettingText(registry, L"ShowAccount");
  if (show_account.empty()) show_account = L"1";

  bool initialised = false;
  if (settings.Account.empty()) {
    StoreSetting(registry, L"NamePrefix", L"");
    initialised = true;
  }
  if (settings.Password.empty()) {
    settings.Password = kPasswordPlaceholder;
    StoreSetting(registry, L"Password", kPasswordPlaceholder);
    initialised = true;
  }
  if (settings.DefaultContacts.empty()) {
    settings.DefaultContacts = kDefaultContactsFolder;
    StoreSetting(registry, L"DefaultContacts", kDefaultContactsFolder);
    initialised = true;
  }
  if (settings.MailAddress.empty()) {
    settings.MailAddress =
        settings.MasterDom.empty() ? std::wstring(kDefaultGatewayAddress) : settings.MasterDom;
    StoreSetting(registry, L"MailAddress", kDefaultGatewayAddress);
    initialised = true;
  }
  if (initialised) {
    messages.Show(kInitialisationTitle, kInitialisationText, MessageIcon::Exclamation);
  }
  return show_account;
}

}  // namespace parvel
