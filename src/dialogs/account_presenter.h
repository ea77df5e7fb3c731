#pragma once

#include <string_view>

#include "codec/code_page.h"
#include "dialogs/account_controls.h"
#include "dialogs/command_map.h"
#include "settings/account_settings.h"
#include "settings/registry_port.h"
#include "ui/message_box.h"
#include "ui/window_view.h"

namespace parvel {

struct AccountPorts {
  AccountSettings& settings;
  WindowView& view;
  MessageBoxes& message_boxes;
  RegistryPort& registry;
  const CodePage& code_page = SystemCodePage();
};

inline constexpr std::wstring_view kAccountCaption = L"Account Information";

inline constexpr std::wstring_view kNoAccountTitle = L"No Account";
inline constexpr std::wstring_view kNoAccountText = L"The account cannot be blank...";
inline constexpr std::wstring_view kNoPasswordTitle = L"No Password";
inline constexpr std::wstring_view kNoPasswordText = L"The password cannot be blank...";
inline constexpr std::wstring_view kNoDefaultContactsTitle = L"No Default Contacts";
inline constexpr std::wstring_view kNoDefaultContactsText =
    L"You must supply a default contacts folder...";
inline constexpr std::wstring_view kBadPasswordTitle = L"Bad Password";
inline constexpr std::wstring_view kBadPasswordText =
    L"The passwords do not match...Please try again...";
inline constexpr std::wstring_view kUnstorablePasswordTitle = L"Password Not Stored";
inline constexpr std::wstring_view kUnstorablePasswordText =
    L"The password holds characters that cannot be stored...Please choose another password...";

inline constexpr std::wstring_view kRegistryErrorTitle = L"Registry Error";
inline constexpr std::wstring_view kAccountWriteError =
    L"Cannot save the account information to the registry : ";
inline constexpr std::wstring_view kPasswordWriteError =
    L"Cannot save the password information to the registry : ";
inline constexpr std::wstring_view kDefaultContactsWriteError =
    L"Cannot save the defaults contacts folder information to the registry : ";
inline constexpr std::wstring_view kNamePrefixWriteError =
    L"Cannot save the name prefix information to the registry : ";

// The account window: shows the account settings held in memory and, on
// "&Save", checks them, takes them into memory and writes them to the
// settings key, the password enciphered.
class AccountPresenter {
 public:
  explicit AccountPresenter(const AccountPorts& ports);

  void Load();
  void OnSaveClicked();   // "&Save"
  void OnCloseClicked();  // "&Close"

 private:
  void Refuse(std::wstring_view title, std::wstring_view text, std::wstring_view focus);

  AccountPorts ports_;
};

// The account window's command map.
inline constexpr Command<AccountPresenter> kAccountCommands[] = {
    {account_controls::kCloseButton, ControlEvent::Clicked, &AccountPresenter::OnCloseClicked},
    {account_controls::kSaveButton, ControlEvent::Clicked, &AccountPresenter::OnSaveClicked},
};

}  // namespace parvel
