#pragma once

#include <string>

namespace parvel {

// The per-user gateway account, held in memory while the add-in is loaded.
// Password is always plain here; only its stored form is enciphered.
struct AccountSettings {
  std::wstring account;
  std::wstring password;
  std::wstring mail_address;  // the gateway mailbox
  std::wstring default_contacts;
  std::wstring name_prefix;
  std::wstring master_dom;
};

}  // namespace parvel
