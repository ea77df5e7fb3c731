#include "dialogs/ol_account.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/secret_text.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"
#include "support/memory_registry.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window_view.h"
#include "unit/settings/observed_registry.h"

namespace parvel {
namespace {

using fakes::ShownMessage;
using settings_test::ObservedRegistry;
using settings_test::RegistryCall;

// Passes everything on, except that writing one named value fails.
class RefusingRegistry final : public RegistryPort {
 public:
  explicit RefusingRegistry(RegistryPort& inner) : inner_(inner) {}
  std::wstring refused_value;
  std::int32_t code = kErrorAccessDenied;

  std::int32_t CreateKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                         RegKey& key) override {
    return inner_.CreateKey(parent, path, access, key);
  }
  std::int32_t OpenKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                       RegKey& key) override {
    return inner_.OpenKey(parent, path, access, key);
  }
  std::int32_t QueryValueInfo(RegKey key, std::wstring_view name, std::uint32_t& type,
                              std::uint32_t& size) override {
    return inner_.QueryValueInfo(key, name, type, size);
  }
  std::int32_t QueryValueData(RegKey key, std::wstring_view name, std::uint32_t& type,
                              std::span<char> buffer, std::uint32_t& size) override {
    return inner_.QueryValueData(key, name, type, buffer, size);
  }
  std::int32_t SetValue(RegKey key, std::wstring_view name, std::uint32_t type,
                        std::string_view data) override {
    if (name == refused_value) return code;
    return inner_.SetValue(key, name, type, data);
  }
  std::int32_t DeleteKey(RegKey parent, std::wstring_view path) override {
    return inner_.DeleteKey(parent, path);
  }
  std::int32_t CloseKey(RegKey key) override { return inner_.CloseKey(key); }
  const CodePage& TextCodePage() const override { return inner_.TextCodePage(); }

 private:
  RegistryPort& inner_;
};

const AccountSettings kHeld{.Account = L"acc1",
                            .Password = L"Unknown",
                            .MailAddress = L"sms@gw.example",
                            .DefaultContacts = L"Contacts",
                            .NamePrefix = L"ZN",
                            .MasterDom = L"master@gw.example"};

class OLAccountTest : public ::testing::Test {
 protected:
  OLAccountTest() { RegEnsureKey(memory, kHkeyCurrentUser, SettingsKeyPath); }

  void Type(std::wstring account, std::wstring password, std::wstring confirmation,
            std::wstring contacts, std::wstring prefix) {
    view.texts[L"Text1"] = std::move(account);
    view.texts[L"Text2"] = std::move(password);
    view.texts[L"Text3"] = std::move(confirmation);
    view.texts[L"Text4"] = std::move(contacts);
    view.texts[L"Text5"] = std::move(prefix);
  }
  // The value names written, in order.
  std::vector<std::wstring> Writes() const {
    std::vector<std::wstring> names;
    for (const RegistryCall& call : observed.calls) {
      if (call.op == RegistryCall::Op::Set) names.push_back(call.name);
    }
    return names;
  }
  RegValue Fetch(const wchar_t* name) {
    return RegFetchValue(memory, kHkeyCurrentUser, SettingsKeyPath, name);
  }
  // Fetched texts carry the registry's terminating zero.
  static RegValue Stored(const std::wstring& text) { return RegValue(text + L'\0'); }

  MemoryRegistry memory;
  RefusingRegistry refusing{memory};
  ObservedRegistry observed{refusing};
  AccountSettings settings = kHeld;
  fakes::RecordingWindowView view;
  fakes::RecordingMessageBoxes messages;
  Windows1252CodePage code_page;
  OLAccount window{{.settings = settings,
                    .view = view,
                    .message_boxes = messages,
                    .registry = observed,
                    .code_page = code_page}};
};

TEST_F(OLAccountTest, LoadShowsTheSettingsHeldInMemory) {
  window.Form_Load();
  EXPECT_EQ(view.caption, L"Account Information");
  EXPECT_EQ(view.texts, (std::map<std::wstring, std::wstring, std::less<>>{{L"Text1", L"acc1"},
                                                                           {L"Text2", L"Unknown"},
                                                                           {L"Text3", L"Unknown"},
                                                                           {L"Text4", L"Contacts"},
                                                                           {L"Text5", L"ZN"}}));
  EXPECT_TRUE(observed.calls.empty());
}

TEST_F(OLAccountTest, ChecksRunInOrderAndEachLeavesEverythingAsItWas) {
  struct Step {
    std::vector<std::wstring> typed;  // account, password, confirmation, contacts, prefix
    std::wstring_view title;
    std::wstring_view text;
    std::wstring focus;
  };
  const std::vector<Step> steps = {
      {{L"", L"", L"", L"", L""}, kNoAccountTitle, kNoAccountText, L"Text1"},
      {{L" ", L"", L"", L"", L""}, kNoPasswordTitle, kNoPasswordText, L"Text2"},
      {{L" ", L"pw", L"", L"", L""}, kNoDefaultContactsTitle, kNoDefaultContactsText, L"Text4"},
      {{L" ", L"pw", L"", L"Team", L""}, kBadPasswordTitle, kBadPasswordText, L"Text2"},
      {{L" ", L"pw", L"PW", L"Team", L""}, kBadPasswordTitle, kBadPasswordText, L"Text2"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::PrintToString(step.typed));
    messages.shown.clear();
    view.focus.clear();
    Type(step.typed[0], step.typed[1], step.typed[2], step.typed[3], step.typed[4]);
    window.Command2_Click();
    EXPECT_EQ(messages.shown,
              (std::vector<ShownMessage>{
                  {std::wstring(step.title), std::wstring(step.text), MessageIcon::Exclamation}}));
    EXPECT_EQ(view.focus, step.focus);
    EXPECT_EQ(view.texts[L"Text2"], step.typed[1]) << "what was typed stays";
  }
  EXPECT_EQ(settings.Account, kHeld.Account);
  EXPECT_EQ(settings.Password, kHeld.Password);
  EXPECT_TRUE(Writes().empty());
  EXPECT_FALSE(view.closed);
}

TEST_F(OLAccountTest, SaveTakesTheValuesWritesThemInOrderPasswordEncipheredAndCloses) {
  Type(L"acc2", L"s3cret", L"s3cret", L"Team A", L"");
  window.Command2_Click();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Writes(), (std::vector<std::wstring>{L"Account", L"Password", L"DefaultContacts",
                                                 L"NamePrefix"}));
  EXPECT_EQ(Fetch(L"Account"), Stored(L"acc2"));
  EXPECT_EQ(Fetch(L"Password"), Stored(EncodeSecretText(L"s3cret")));
  EXPECT_EQ(Fetch(L"DefaultContacts"), Stored(L"Team A"));
  const auto prefix = memory.Find(kHkeyCurrentUser, SettingsKeyPath, L"NamePrefix");
  ASSERT_TRUE(prefix.has_value());
  EXPECT_EQ(prefix->type, kRegSz) << "an empty prefix is stored as an empty text";
  EXPECT_EQ(FetchSettingText(memory, L"NamePrefix"), L"");
  EXPECT_EQ(settings.Account, L"acc2");
  EXPECT_EQ(settings.Password, L"s3cret") << "plain in memory";
  EXPECT_EQ(settings.DefaultContacts, L"Team A");
  EXPECT_EQ(settings.NamePrefix, L"");
  EXPECT_EQ(settings.MailAddress, kHeld.MailAddress);
  EXPECT_TRUE(view.closed);
}

TEST_F(OLAccountTest, SavingTheLoadedValuesStoresThePlaceholderEnciphered) {
  window.Form_Load();
  window.Command2_Click();
  EXPECT_EQ(Writes().size(), 4U);
  EXPECT_EQ(Fetch(L"Password"), Stored(EncodeSecretText(L"Unknown")));
  EXPECT_NE(Fetch(L"Password"), Stored(L"Unknown"));
  EXPECT_TRUE(view.closed);
}

TEST_F(OLAccountTest, AFailedWriteIsReportedWithItsCodeAndStopsTheLaterWrites) {
  struct Case {
    std::wstring value;
    std::wstring_view error_text;
    std::vector<std::wstring> attempted;
  };
  const std::vector<Case> cases = {
      {L"Account", kAccountWriteError, {L"Account"}},
      {L"Password", kPasswordWriteError, {L"Account", L"Password"}},
      {L"DefaultContacts",
       kDefaultContactsWriteError,
       {L"Account", L"Password", L"DefaultContacts"}},
      {L"NamePrefix",
       kNamePrefixWriteError,
       {L"Account", L"Password", L"DefaultContacts", L"NamePrefix"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    observed.calls.clear();
    messages.shown.clear();
    settings = kHeld;
    refusing.refused_value = c.value;
    refusing.code = 1018;
    Type(L"acc2", L"pw", L"pw", L"Team", L"P");
    window.Command2_Click();
    EXPECT_EQ(Writes(), c.attempted);
    EXPECT_EQ(messages.shown,
              (std::vector<ShownMessage>{
                  {L"Registry Error", std::wstring(c.error_text) + L"1018", MessageIcon::Error}}));
    EXPECT_EQ(settings.Account, L"acc2") << "memory takes the values before the first write";
    EXPECT_EQ(settings.NamePrefix, L"P");
    EXPECT_FALSE(view.closed);
  }
}

TEST_F(OLAccountTest, APasswordThatCannotBeStoredChangesNothing) {
  // U+00E9 exceeds the codec's range at every position; U+00A1 (161) fits
  // at position 8 of the stored form but not at every place of the request's
  // section, where the password travels too; U+0101 has no byte in the code
  // page and would come back as "?".
  for (const std::wstring password : {L"caf\u00e9", L"abcdefgh\u00a1", L"\u0101bc"}) {
    SCOPED_TRACE(testing::PrintToString(password));
    messages.shown.clear();
    Type(L"acc2", password, password, L"Team", L"P");
    window.Command2_Click();
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{{std::wstring(kUnstorablePasswordTitle),
                                                          std::wstring(kUnstorablePasswordText),
                                                          MessageIcon::Exclamation}}));
    EXPECT_EQ(view.focus, L"Text2");
    EXPECT_EQ(view.texts[L"Text2"], password);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(settings.Account, kHeld.Account);
    EXPECT_EQ(settings.Password, kHeld.Password);
    EXPECT_EQ(settings.NamePrefix, kHeld.NamePrefix);
    EXPECT_FALSE(view.closed);
  }
}

TEST_F(OLAccountTest, ANonAsciiPasswordTheGatewayCarriesIsStoredAndReadsBack) {
  // The euro sign (byte 128) fits beside every key character.
  const std::wstring password = L"abc\u20ac";
  Type(L"acc2", password, password, L"Team", L"");
  window.Command2_Click();
  EXPECT_TRUE(messages.shown.empty());
  const RegValue stored = Fetch(L"Password");
  ASSERT_TRUE(std::holds_alternative<std::wstring>(stored));
  std::wstring hex = std::get<std::wstring>(stored);
  hex.pop_back();
  EXPECT_EQ(DecodeSecretText(hex, Windows1252CodePage()), password);
  EXPECT_TRUE(view.closed);
}

TEST_F(OLAccountTest, CloseDropsWhatWasTyped) {
  Type(L"acc2", L"pw", L"pw", L"Team", L"");
  window.Command1_Click();
  EXPECT_TRUE(view.closed);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(settings.Account, kHeld.Account);
}

}  // namespace
}  // namespace parvel
