#include "settings/account_settings_load.h"

#include "codec/secret_text.h"
#include "parvel/default_gateway.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"

namespace parvel {
namespace {

void StoreSetting(RegistryPort& registry, std::wstring_view name, std::wstring_view text) {
  RegStoreValue(registry, kHkeyCurrentUser, SettingsKeyPath, name, std::wstring(text), kRegSz);
}

// False when the stored password does not decipher: the user has been told,
// and password is empty.
bool LoadPassword(RegistryPort& registry, MessageBoxes& messages, std::wstring& password) {
  password = FetchSettingText(registry, L"Password");
  if (password.empty() || password == kPasswordPlaceholder) return true;
  try {
    password = DecodeSecretText(password);
    return true;
  } catch (const SecretTextError&) {
    password.clear();
    messages.Show(kPasswordErrorTitle, kPasswordErrorText, MessageIcon::Exclamation);
    return false;
  }
}

}  // namespace

std::wstring LoadAccountSettings(RegistryPort& registry, MessageBoxes& messages,
                                 AccountSettings& settings) {
  RegEnsureKey(registry, kHkeyCurrentUser, SettingsKeyPath);
  settings.Account = FetchSettingText(registry, L"Account");
  const bool password_readable = LoadPassword(registry, messages, settings.Password);
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
  // An unreadable password stays stored until the user saves a new one.
  if (settings.Password.empty() && password_readable) {
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
