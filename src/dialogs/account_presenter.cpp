#include "dialogs/account_presenter.h"

#include <array>
#include <optional>
#include <string>

#include "codec/gateway_text.h"
#include "codec/secret_text.h"
#include "dialogs/account_controls.h"
#include "dialogs/stored_text.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"

namespace parvel {
namespace {

using namespace account_controls;

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

AccountPresenter::AccountPresenter(const AccountPorts& ports) : ports_(ports) {}

void AccountPresenter::Load() {
  const AccountSettings& settings = ports_.settings;
  WindowView& view = ports_.view;
  view.SetCaption(kAccountCaption);
  view.SetText(kAccountBox, settings.account);
  view.SetText(kPasswordBox, settings.password);
  view.SetText(kConfirmBox, settings.password);
  view.SetText(kDefaultFolderBox, settings.default_contacts);
  view.SetText(kNamePrefixBox, settings.name_prefix);
}

void AccountPresenter::Refuse(std::wstring_view title, std::wstring_view text,
                              std::wstring_view focus) {
  ports_.message_boxes.Show(title, text);
  ports_.view.Focus(focus);
}

void AccountPresenter::OnSaveClicked() {
  const WindowView& view = ports_.view;
  const std::wstring account = view.Text(kAccountBox);
  const std::wstring password = view.Text(kPasswordBox);
  const std::wstring default_contacts = view.Text(kDefaultFolderBox);
  if (account.empty()) {
    Refuse(kNoAccountTitle, kNoAccountText, kAccountBox);
    return;
  }
  if (password.empty()) {
    Refuse(kNoPasswordTitle, kNoPasswordText, kPasswordBox);
    return;
  }
  if (default_contacts.empty()) {
    Refuse(kNoDefaultContactsTitle, kNoDefaultContactsText, kDefaultFolderBox);
    return;
  }
  if (view.Text(kConfirmBox) != password) {
    Refuse(kBadPasswordTitle, kBadPasswordText, kPasswordBox);
    return;
  }
  // Checked before anything changes: memory and registry keep the old
  // account whole rather than a new one without its password.
  const std::optional<std::wstring> stored_password = StoredPassword(password, ports_.code_page);
  if (!stored_password) {
    Refuse(kUnstorablePasswordTitle, kUnstorablePasswordText, kPasswordBox);
    return;
  }
  struct StoredBox {
    std::wstring_view control;
    std::wstring_view name;
  };
  for (const StoredBox box : {StoredBox{kAccountBox, L"The account"},
                              StoredBox{kDefaultFolderBox, L"The default contacts folder"},
                              StoredBox{kNamePrefixBox, L"The name prefix"}}) {
    if (const auto refusal =
            UnstorableTextMessage(box.name, view.Text(box.control), ports_.code_page)) {
      Refuse(kCharactersNotStoredTitle, *refusal, box.control);
      return;
    }
  }

  AccountSettings& settings = ports_.settings;
  settings.account = account;
  settings.password = password;
  settings.default_contacts = default_contacts;
  settings.name_prefix = view.Text(kNamePrefixBox);

  struct Write {
    std::wstring_view name;
    const std::wstring& value;
    std::wstring_view error_text;
  };
  const std::array<Write, 4> writes{{
      {L"Account", settings.account, kAccountWriteError},
      {L"Password", *stored_password, kPasswordWriteError},
      {L"DefaultContacts", settings.default_contacts, kDefaultContactsWriteError},
      {L"NamePrefix", settings.name_prefix, kNamePrefixWriteError},
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

void AccountPresenter::OnCloseClicked() { ports_.view.Close(); }

}  // namespace parvel
