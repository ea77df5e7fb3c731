#include "dialogs/ol_account.h"

#include <array>
#include <optional>
#include <string>

#include "codec/gateway_text.h"
#include "codec/secret_text.h"
#include "dialogs/ol_account_controls.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"

namespace parvel {
namespace {

using namespace ol_account_controls;

// The stored form of the password, or nothing when the gateway could not
// carry it: it travels in the request's section, where a character above the
// key's range is refused at some places, and one the code page lacks would
// become "?". A credential is never rewritten, so such a password is refused.
std::optional<std::wstring> StoredPassword(std::wstring_view password, const CodePage& code_page) {
  for (const std::wstring_view character : Characters(password)) {
    if (!AlwaysCarried(character, code_page)) return std::nullopt;
  }
  return EncodeSecretText(password, code_page);
}

}  // namespace

OLAccount::OLAccount(const OLAccountPorts& ports) : ports_(ports) {}

void OLAccount::Form_Load() {
  const AccountSettings& settings = ports_.settings;
  WindowView& view = ports_.view;
  view.SetCaption(kAccountCaption);
  view.SetText(kText1, settings.Account);
  view.SetText(kText2, settings.Password);
  view.SetText(kText3, settings.Password);
  view.SetText(kText4, settings.DefaultContacts);
  view.SetText(kText5, settings.NamePrefix);
}

void OLAccount::Refuse(std::wstring_view title, std::wstring_view text, std::wstring_view focus) {
  ports_.message_boxes.Show(title, text);
  ports_.view.Focus(focus);
}

void OLAccount::Command2_Click() {
  const WindowView& view = ports_.view;
  const std::wstring account = view.Text(kText1);
  const std::wstring password = view.Text(kText2);
  const std::wstring default_contacts = view.Text(kText4);
  if (account.empty()) {
    Refuse(kNoAccountTitle, kNoAccountText, kText1);
    return;
  }
  if (password.empty()) {
    Refuse(kNoPasswordTitle, kNoPasswordText, kText2);
    return;
  }
  if (default_contacts.empty()) {
    Refuse(kNoDefaultContactsTitle, kNoDefaultContactsText, kText4);
    return;
  }
  if (view.Text(kText3) != password) {
    Refuse(kBadPasswordTitle, kBadPasswordText, kText2);
    return;
  }
  // Checked before anything changes: memory and registry keep the old
  // account whole rather than a new one without its password.
  const std::optional<std::wstring> stored_password = StoredPassword(password, ports_.code_page);
  if (!stored_password) {
    Refuse(kUnstorablePasswordTitle, kUnstorablePasswordText, kText2);
    return;
  }

  AccountSettings& settings = ports_.settings;
  settings.Account = account;
  settings.Password = password;
  settings.DefaultContacts = default_contacts;
  settings.NamePrefix = view.Text(kText5);

  struct Write {
    std::wstring_view name;
    const std::wstring& value;
    std::wstring_view error_text;
  };
  const std::array<Write, 4> writes{{
      {L"Account", settings.Account, kAccountWriteError},
      {L"Password", *stored_password, kPasswordWriteError},
      {L"DefaultContacts", settings.DefaultContacts, kDefaultContactsWriteError},
      {L"NamePrefix", settings.NamePrefix, kNamePrefixWriteError},
  }};
  for (const Write& write : writes) {
    const std::int32_t status = RegStoreValue(ports_.registry, kHkeyCurrentUser, SettingsKeyPath,
                                              write.name, RegValue(write.value), kRegSz);
    if (status != kErrorSuccess) {
      ports_.message_boxes.Show(kRegistryErrorTitle,
                                std::wstring(write.error_text) + std::to_wstring(status),
                                MessageIcon::Error);
      return;
    }
  }
  ports_.view.Close();
}

void OLAccount::Command1_Click() { ports_.view.Close(); }

}  // namespace parvel
