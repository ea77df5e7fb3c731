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
  settings.account = FetchSettingText(registry, L"Account");
  settings.password = LoadPassword(registry, messages);
  settings.mail_address = FetchSettingText(registry, L"MailAddress");
  settings.default_contacts = FetchSettingText(registry, L"DefaultContacts");
  settings.name_prefix = FetchSettingText(registry, L"NamePrefix");
  settings.master_dom = FetchSettingText(registry, L"MasterDom");
  std::wstring show_account = FetchSettingText(registry, L"ShowAccount");
  if (show_account.empty()) show_account = L"1";

  bool initialised = false;
  if (settings.account.empty()) {
    StoreSetting(registry, L"NamePrefix", L"");
    initialised = true;
  }
  if (settings.password.empty()) {
    settings.password = kPasswordPlaceholder;
    StoreSetting(registry, L"Password", kPasswordPlaceholder);
    initialised = true;
  }
  if (settings.default_contacts.empty()) {
    settings.default_contacts = kDefaultContactsFolder;
    StoreSetting(registry, L"DefaultContacts", kDefaultContactsFolder);
    initialised = true;
  }
  if (settings.mail_address.empty()) {
    settings.mail_address =
        settings.master_dom.empty() ? std::wstring(kDefaultGatewayAddress) : settings.master_dom;
    StoreSetting(registry, L"MailAddress", kDefaultGatewayAddress);
    initialised = true;
  }
  if (initialised) {
    messages.Show(kInitialisationTitle, kInitialisationText, MessageIcon::Exclamation);
  }
  return show_account;
}

}  // namespace parvel
