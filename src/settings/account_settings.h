#pragma once

#include <string>

namespace parvel {

// The per-user gateway account, held in memory while the add-in is loaded.
// Password is always plain here; only its stored form is enciphered.
struct AccountSettings {
  std::wstring Account;
  std::wstring Password;
  std::wstring MailAddress;  // the gateway mailbox
  std::wstring DefaultContacts;
  std::wstring NamePrefix;
  std::wstring MasterDom;
};

}  // namespace parvel
