#include "workflows/account_settings_load.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "codec/secret_text.h"
#include "parvel/default_gateway.h"
#include "settings/settings_key.h"
#include "support/memory_registry.h"
#include "support/recording_message_boxes.h"

namespace parvel {
namespace {

using fakes::ShownMessage;
using Snapshot = std::map<std::wstring, RegistryData>;

RegistryData Sz(std::wstring_view text) {
  return {.type = kRegSz, .bytes = Windows1252CodePage().ToBytes(text) + '\0'};
}

const ShownMessage kInitialisation{std::wstring(kInitialisationTitle),
                                   std::wstring(kInitialisationText), MessageIcon::Exclamation};
const ShownMessage kPasswordError{std::wstring(kPasswordErrorTitle),
                                  std::wstring(kPasswordErrorText), MessageIcon::Exclamation};
const std::wstring kDefaultAddress(kDefaultGatewayAddress);

// What a first run leaves in memory.
const AccountSettings kFirstRun{
    .password = L"Unknown", .mail_address = kDefaultAddress, .default_contacts = L"Contacts"};
// What PutSavedAccount and a MasterDom read back as.
const AccountSettings kSaved{.account = L"acc1",
                             .password = L"s3cret pw",
                             .mail_address = L"sms@gw.example",
                             .default_contacts = L"Team",
                             .name_prefix = L"Dr ",
                             .master_dom = L"master@gw.example"};

// Every field in order, so that a load's result is compared whole.
std::vector<std::wstring> Fields(const AccountSettings& s) {
  return {s.account, s.password, s.mail_address, s.default_contacts, s.name_prefix, s.master_dom};
}

class LoadAccountSettingsTest : public ::testing::Test {
 protected:
  MemoryRegistry registry;
  fakes::RecordingMessageBoxes messages;
  // Left from an earlier load: every load fills every field anew.
  AccountSettings settings{.account = L"old",
                           .password = L"old",
                           .mail_address = L"old",
                           .default_contacts = L"old",
                           .name_prefix = L"old",
                           .master_dom = L"old"};

  void Put(std::wstring_view name, std::wstring_view text) {
    registry.Put(kHkeyCurrentUser, SettingsKeyPath, name, Sz(text));
  }
  // A user who saved an account in the account window.
  void PutSavedAccount() {
    Put(L"Account", L"acc1");
    Put(L"Password", EncodeSecretText(L"s3cret pw"));
    Put(L"MailAddress", L"sms@gw.example");
    Put(L"DefaultContacts", L"Team");
    Put(L"NamePrefix", L"Dr ");
  }
  Snapshot Stored() const {
    Snapshot values;
    for (const auto& name : registry.ValueNames(kHkeyCurrentUser, SettingsKeyPath)) {
      values.emplace(name, *registry.Find(kHkeyCurrentUser, SettingsKeyPath, name));
    }
    return values;
  }
  std::wstring Load() {
    messages.shown.clear();
    const std::wstring show_account = LoadAccountSettings(registry, messages, settings);
    EXPECT_EQ(registry.OpenHandleCount(), 0U) << "a key was left open";
    return show_account;
  }
};

TEST_F(LoadAccountSettingsTest, FirstRunStoresTheDefaultsAndSaysSoOnce) {
  EXPECT_EQ(Load(), L"1");
  EXPECT_TRUE(registry.KeyExists(kHkeyCurrentUser, L"Software\\Parvello"));
  EXPECT_EQ(Fields(settings), Fields(kFirstRun));
  EXPECT_EQ(Stored(), (Snapshot{{L"DefaultContacts", Sz(L"Contacts")},
                                {L"MailAddress", Sz(kDefaultAddress)},
                                {L"NamePrefix", {kRegSz, ""}},
                                {L"Password", Sz(L"Unknown")}}));
  EXPECT_EQ(messages.shown, std::vector{kInitialisation});
}

TEST_F(LoadAccountSettingsTest, ValuesComeBackExactlyAsStored) {
  PutSavedAccount();
  Put(L"MasterDom", L"master@gw.example");
  Put(L"ShowAccount", L"0");
  const Snapshot before = Stored();
  EXPECT_EQ(Load(), L"0");
  // The password deciphered; a stored address wins over MasterDom.
  EXPECT_EQ(Fields(settings), Fields(kSaved));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Stored(), before);
}

TEST_F(LoadAccountSettingsTest, WithoutAnAccountEveryLoadInitialisesAgain) {
  Load();
  Put(L"NamePrefix", L"Mr ");
  Put(L"Password", L"Unknown");
  Load();
  EXPECT_EQ(settings.name_prefix, L"Mr ") << "as read";
  EXPECT_EQ(Stored().at(L"NamePrefix").bytes, "") << "stored empty again";
  EXPECT_EQ(messages.shown, std::vector{kInitialisation});

  Put(L"Account", L"acc1");
  Load();
  EXPECT_TRUE(messages.shown.empty()) << "silent once an account is saved";
  EXPECT_EQ(settings.password, L"Unknown") << "the placeholder is not deciphered";
}

TEST_F(LoadAccountSettingsTest, EachMissingValueAloneIsInitialised) {
  struct Case {
    const wchar_t* name;
    std::map<std::wstring, RegistryData> writes;  // besides what was stored
  };
  const Case cases[] = {
      {L"Account", {{L"NamePrefix", {kRegSz, ""}}}},
      {L"Password", {{L"Password", Sz(L"Unknown")}}},
      {L"DefaultContacts", {{L"DefaultContacts", Sz(L"Contacts")}}},
      {L"MailAddress", {{L"MailAddress", Sz(kDefaultAddress)}}},
  };
  for (const auto& [missing, writes] : cases) {
    SCOPED_TRACE(testing::Message() << "without " << missing);
    PutSavedAccount();
    Put(missing, L"");
    Snapshot expected = Stored();
    for (const auto& [name, data] : writes) expected[name] = data;
    Load();
    EXPECT_EQ(messages.shown, std::vector{kInitialisation});
    EXPECT_EQ(Stored(), expected);
  }
}

TEST_F(LoadAccountSettingsTest, MasterDomStandsInForAMissingAddressForThisRunOnly) {
  PutSavedAccount();
  Put(L"MailAddress", L"");
  Put(L"MasterDom", L"master@gw.example");
  Load();
  EXPECT_EQ(settings.mail_address, L"master@gw.example");
  EXPECT_EQ(Stored().at(L"MailAddress"), Sz(kDefaultAddress));
  EXPECT_EQ(messages.shown, std::vector{kInitialisation});

  Load();
  EXPECT_EQ(settings.mail_address, kDefaultAddress) << "the stored default wins from now on";
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoadAccountSettingsTest, ShowAccountIsReturnedAsStoredAndDefaultsToOne) {
  PutSavedAccount();
  EXPECT_EQ(Load(), L"1") << "missing";
  Put(L"ShowAccount", L"");
  EXPECT_EQ(Load(), L"1") << "empty";
  Put(L"ShowAccount", L"no");
  EXPECT_EQ(Load(), L"no");
  Put(L"ShowAccount", L"0");
  EXPECT_EQ(Load(), L"0");
  registry.Put(kHkeyCurrentUser, SettingsKeyPath, L"ShowAccount",
               {.type = kRegDword, .bytes = std::string(4, '\0')});
  EXPECT_EQ(Load(), L"0") << "the number 0";
  registry.Put(kHkeyCurrentUser, SettingsKeyPath, L"ShowAccount",
               {.type = kRegDword, .bytes = std::string("\x0A\0\0\0", 4)});
  EXPECT_EQ(Load(), L"10") << "the number 10, whole";
  registry.Put(kHkeyCurrentUser, SettingsKeyPath, L"ShowAccount",
               {.type = kRegBinary, .bytes = "0"});
  EXPECT_EQ(Load(), L"1") << "unreadable";
}

TEST_F(LoadAccountSettingsTest, StoreFailuresAreIgnored) {
  registry.FailWrites(kHkeyCurrentUser, SettingsKeyPath);
  Load();
  EXPECT_EQ(Fields(settings), Fields(kFirstRun));
  EXPECT_TRUE(Stored().empty());
  EXPECT_EQ(messages.shown, std::vector{kInitialisation});
}

TEST_F(LoadAccountSettingsTest, AnUnreadablePasswordIsReportedAndKeptForTheUserToReplace) {
  for (const auto* stored : {L"ZZ", L"ABC", L"0", L"00", L"unknown"}) {
    SCOPED_TRACE(testing::Message() << "stored password " << stored);
    PutSavedAccount();
    Put(L"Password", stored);
    Put(L"MasterDom", L"master@gw.example");
    const Snapshot before = Stored();
    EXPECT_EQ(Load(), L"1");
    EXPECT_EQ(messages.shown, std::vector{kPasswordError});
    // The placeholder, as before any password was saved.
    AccountSettings expected = kSaved;
    expected.password = L"Unknown";
    EXPECT_EQ(Fields(settings), Fields(expected));
    EXPECT_EQ(Stored(), before) << "nothing stored over it";
  }
}

TEST_F(LoadAccountSettingsTest, AnUnreadablePasswordLeavesTheFirstRunStepsToTheRest) {
  Put(L"Password", L"not hex");
  Put(L"MasterDom", L"master@gw.example");
  Load();
  EXPECT_EQ(messages.shown, (std::vector{kPasswordError, kInitialisation}));
  AccountSettings expected = kFirstRun;
  expected.mail_address = L"master@gw.example";
  expected.master_dom = L"master@gw.example";
  EXPECT_EQ(Fields(settings), Fields(expected));
  EXPECT_EQ(Stored(), (Snapshot{{L"DefaultContacts", Sz(L"Contacts")},
                                {L"MailAddress", Sz(kDefaultAddress)},
                                {L"MasterDom", Sz(L"master@gw.example")},
                                {L"NamePrefix", {kRegSz, ""}},
                                {L"Password", Sz(L"not hex")}}));

  Put(L"Password", EncodeSecretText(L"new pw"));
  Load();
  EXPECT_EQ(settings.password, L"new pw") << "a password saved later reads again";
  EXPECT_EQ(messages.shown, std::vector{kInitialisation}) << "still no account";
}

}  // namespace
}  // namespace parvel
