#include "dialogs/account_presenter.h"

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

using namespace account_controls;

using fakes::ShownMessage;
using settings_test::ObservedRegistry;
using settings_test::RegistryCall;

const AccountSettings kHeld{.account = L"acc1",
                            .password = L"Unknown",
                            .mail_address = L"sms@gw.example",
                            .default_contacts = L"Contacts",
                            .name_prefix = L"ZN",
                            .master_dom = L"master@gw.example"};

class AccountPresenterTest : public ::testing::Test {
 protected:
  AccountPresenterTest() { RegEnsureKey(memory, kHkeyCurrentUser, SettingsKeyPath); }

  void Type(std::wstring account, std::wstring password, std::wstring confirmation,
            std::wstring contacts, std::wstring prefix) {
    view.texts[kAccountBox] = std::move(account);
    view.texts[kPasswordBox] = std::move(password);
    view.texts[kConfirmBox] = std::move(confirmation);
    view.texts[kDefaultFolderBox] = std::move(contacts);
    view.texts[kNamePrefixBox] = std::move(prefix);
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
  ObservedRegistry observed{memory};
  AccountSettings settings = kHeld;
  fakes::RecordingWindowView view;
  fakes::RecordingMessageBoxes messages;
  Windows1252CodePage code_page;
  AccountPresenter window{{.settings = settings,
                           .view = view,
                           .message_boxes = messages,
                           .registry = observed,
                           .code_page = code_page}};
};

TEST_F(AccountPresenterTest, LoadShowsTheSettingsHeldAndSavingThemStoresThePlaceholderEnciphered) {
  window.Load();
  EXPECT_EQ(view.caption, L"Account Information");
  EXPECT_EQ(view.texts,
            (std::map<std::wstring, std::wstring, std::less<>>{{kAccountBox, L"acc1"},
                                                               {kPasswordBox, L"Unknown"},
                                                               {kConfirmBox, L"Unknown"},
                                                               {kDefaultFolderBox, L"Contacts"},
                                                               {kNamePrefixBox, L"ZN"}}));
  EXPECT_TRUE(observed.calls.empty());

  window.OnSaveClicked();
  EXPECT_EQ(Writes().size(), 4U);
  EXPECT_EQ(Fetch(L"Password"), Stored(EncodeSecretText(L"Unknown")));
  EXPECT_NE(Fetch(L"Password"), Stored(L"Unknown"));
  EXPECT_TRUE(view.closed);
}

TEST_F(AccountPresenterTest, ChecksRunInOrderAndEachLeavesEverythingAsItWas) {
  struct Step {
    std::vector<std::wstring> typed;  // account, password, confirmation, contacts, prefix
    std::wstring_view title;
    std::wstring_view text;
    std::wstring focus;
  };
  const std::vector<Step> steps = {
      {{L"", L"", L"", L"", L""}, kNoAccountTitle, kNoAccountText, kAccountBox},
      {{L" ", L"", L"", L"", L""}, kNoPasswordTitle, kNoPasswordText, kPasswordBox},
      {{L" ", L"pw", L"", L"", L""},
       kNoDefaultContactsTitle,
       kNoDefaultContactsText,
       kDefaultFolderBox},
      {{L" ", L"pw", L"", L"Team", L""}, kBadPasswordTitle, kBadPasswordText, kPasswordBox},
      {{L" ", L"pw", L"PW", L"Team", L""}, kBadPasswordTitle, kBadPasswordText, kPasswordBox},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::PrintToString(step.typed));
    messages.shown.clear();
    view.focus.clear();
    Type(step.typed[0], step.typed[1], step.typed[2], step.typed[3], step.typed[4]);
    window.OnSaveClicked();
    EXPECT_EQ(messages.shown,
              (std::vector<ShownMessage>{
                  {std::wstring(step.title), std::wstring(step.text), MessageIcon::Exclamation}}));
    EXPECT_EQ(view.focus, step.focus);
    EXPECT_EQ(view.texts[kPasswordBox], step.typed[1]) << "what was typed stays";
  }
  EXPECT_EQ(settings.account, kHeld.account);
  EXPECT_EQ(settings.password, kHeld.password);
  EXPECT_TRUE(Writes().empty());
  EXPECT_FALSE(view.closed);
}

TEST_F(AccountPresenterTest, SaveTakesTheValuesWritesThemInOrderPasswordEncipheredAndCloses) {
  Type(L"acc2", L"s3cret", L"s3cret", L"Team A", L"");
  window.OnSaveClicked();
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
  EXPECT_EQ(settings.account, L"acc2");
  EXPECT_EQ(settings.password, L"s3cret") << "plain in memory";
  EXPECT_EQ(settings.default_contacts, L"Team A");
  EXPECT_EQ(settings.name_prefix, L"");
  EXPECT_EQ(settings.mail_address, kHeld.mail_address);
  EXPECT_TRUE(view.closed);
}

TEST_F(AccountPresenterTest, AFailedWriteIsReportedWithItsCodeAndStopsTheLaterWrites) {
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
    memory.FailWritesOf(c.value, 1018);
    Type(L"acc2", L"pw", L"pw", L"Team", L"P");
    window.OnSaveClicked();
    EXPECT_EQ(Writes(), c.attempted);
    EXPECT_EQ(messages.shown,
              (std::vector<ShownMessage>{
                  {L"Registry Error", std::wstring(c.error_text) + L"1018", MessageIcon::Error}}));
    EXPECT_EQ(settings.account, L"acc2") << "memory takes the values before the first write";
    EXPECT_EQ(settings.name_prefix, L"P");
    EXPECT_FALSE(view.closed);
  }
}

TEST_F(AccountPresenterTest, APasswordThatCannotBeStoredChangesNothing) {
  // U+00E9 exceeds the codec's range at every position; U+00A1 (161) fits
  // at position 8 of the stored form but not at every place of the request's
  // section, where the password travels too; U+0101 has no byte in the code
  // page and would come back as "?".
  for (const std::wstring password : {L"caf\u00e9", L"abcdefgh\u00a1", L"\u0101bc"}) {
    SCOPED_TRACE(testing::PrintToString(password));
    messages.shown.clear();
    Type(L"acc2", password, password, L"Team", L"P");
    window.OnSaveClicked();
    EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{{std::wstring(kUnstorablePasswordTitle),
                                                          std::wstring(kUnstorablePasswordText),
                                                          MessageIcon::Exclamation}}));
    EXPECT_EQ(view.focus, std::wstring(kPasswordBox));
    EXPECT_EQ(view.texts[kPasswordBox], password);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(settings.account, kHeld.account);
    EXPECT_EQ(settings.password, kHeld.password);
    EXPECT_EQ(settings.name_prefix, kHeld.name_prefix);
    EXPECT_FALSE(view.closed);
  }
}

TEST_F(AccountPresenterTest, ATextTheCodePageCannotHoldIsNamedAndChangesNothing) {
  struct Case {
    const wchar_t* account;
    const wchar_t* folder;
    const wchar_t* prefix;
    std::wstring_view box;
    std::wstring text;
  };
  const std::wstring closing = L"...Please write it without them...";
  for (const Case& c : {
           Case{L"\u0101cc", L"Team", L"P", kAccountBox,
                L"The account holds characters that cannot be stored: \u0101" + closing},
           Case{L"acc2", L"Kontakty \u0141\u00f3d\u017a", L"P", kDefaultFolderBox,
                L"The default contacts folder holds characters that cannot be stored: \u0141 "
                L"\u017a" +
                    closing},
           Case{L"acc2", L"Team", L"\u0141ukasz \u0141", kNamePrefixBox,
                L"The name prefix holds characters that cannot be stored: \u0141" + closing},
       }) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    messages.shown.clear();
    Type(c.account, L"pw", L"pw", c.folder, c.prefix);
    window.OnSaveClicked();
    EXPECT_EQ(
        messages.shown,
        (std::vector<ShownMessage>{{L"Characters Not Stored", c.text, MessageIcon::Exclamation}}));
    EXPECT_EQ(view.focus, std::wstring(c.box));
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(settings.account, kHeld.account);
    EXPECT_FALSE(view.closed);
  }
}

TEST_F(AccountPresenterTest, ANonAsciiPasswordTheGatewayCarriesIsStoredAndReadsBack) {
  // The euro sign (byte 128) fits beside every key character.
  const std::wstring password = L"abc\u20ac";
  Type(L"acc2", password, password, L"Team", L"");
  window.OnSaveClicked();
  EXPECT_TRUE(messages.shown.empty());
  const RegValue stored = Fetch(L"Password");
  ASSERT_TRUE(std::holds_alternative<std::wstring>(stored));
  std::wstring hex = std::get<std::wstring>(stored);
  hex.pop_back();
  EXPECT_EQ(DecodeSecretText(hex, Windows1252CodePage()), password);
  EXPECT_TRUE(view.closed);
}

}  // namespace
}  // namespace parvel
