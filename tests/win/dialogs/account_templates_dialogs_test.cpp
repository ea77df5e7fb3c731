#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/account_window_win.h"
#include "dialogs/templates_window_win.h"
#include "dialogs/window_ids.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"
#include "support/compose_only_windows.h"
#include "support/memory_registry.h"
#include "support/temp_folder.h"
#include "win/dialogs/dialog_driver_win.h"

namespace parvel::dialogs {
namespace {

using test::Click;
using test::TabOrder;
using test::Type;
using test::WindowText;

using templates_test::ReadBytes;
using templates_test::TempFolder;
using templates_test::WriteBytes;

class AccountDialogTest : public ::testing::Test {
 protected:
  AccountDialogTest() { RegEnsureKey(registry, kHkeyCurrentUser, SettingsKeyPath); }
  HWND Item(int id) const { return GetDlgItem(window.hwnd(), id); }

  MemoryRegistry registry;
  AccountSettings settings{.account = std::wstring(25, L'a'),
                           .password = L"Unknown",
                           .default_contacts = L"Contacts",
                           .name_prefix = L"ZN"};
  AccountWindow window{settings, registry};
};

TEST_F(AccountDialogTest, ShowsTheSettingsMaskedLimitsTypingAndClosesOnEscWithoutSaving) {
  ASSERT_TRUE(window.Create(IDD_OLACCOUNT));
  EXPECT_EQ(WindowText(Item(IDC_OLACCOUNT_TEXT1)), std::wstring(25, L'a'))
      << "what the window puts in is not cut";
  for (const int id : {IDC_OLACCOUNT_TEXT2, IDC_OLACCOUNT_TEXT3}) {
    EXPECT_EQ(SendMessageW(Item(id), EM_GETPASSWORDCHAR, 0, 0), L'*') << id;
    EXPECT_EQ(WindowText(Item(id)), L"Unknown");
  }
  EXPECT_EQ(SendMessageW(Item(IDC_OLACCOUNT_TEXT1), EM_GETPASSWORDCHAR, 0, 0), 0);

  const std::wstring typed(40, L'x');
  for (const auto& [id, limit] :
       {std::pair{IDC_OLACCOUNT_TEXT1, 20U}, std::pair{IDC_OLACCOUNT_TEXT2, 10U},
        std::pair{IDC_OLACCOUNT_TEXT3, 40U}, std::pair{IDC_OLACCOUNT_TEXT4, 40U},
        std::pair{IDC_OLACCOUNT_TEXT5, 30U}}) {
    SetWindowTextW(Item(id), L"");
    Type(Item(id), typed);
    EXPECT_EQ(WindowText(Item(id)).size(), limit) << id;
  }

  EXPECT_EQ(TabOrder(window.hwnd(), IDC_OLACCOUNT_TEXT1, 8),
            (std::vector<int>{IDC_OLACCOUNT_TEXT1, IDC_OLACCOUNT_TEXT2, IDC_OLACCOUNT_TEXT3,
                              IDC_OLACCOUNT_TEXT4, IDC_OLACCOUNT_TEXT5, IDC_OLACCOUNT_COMMAND2,
                              IDC_OLACCOUNT_COMMAND1, IDC_OLACCOUNT_TEXT1}));
  const LRESULT default_id = SendMessageW(window.hwnd(), DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(default_id), DC_HASDEFID);
  EXPECT_EQ(LOWORD(default_id), IDC_OLACCOUNT_COMMAND2);

  // Esc closes without saving what was typed.
  test::PressKey(Item(IDC_OLACCOUNT_TEXT1), VK_ESCAPE);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_EQ(settings.account, std::wstring(25, L'a'));
  EXPECT_FALSE(registry.Find(kHkeyCurrentUser, SettingsKeyPath, L"Account"));
}

class TemplatesDialogTest : public ::testing::Test {
 protected:
  HWND Item(int id) const { return GetDlgItem(window.hwnd(), id); }
  std::vector<std::wstring> ListRows() const {
    std::vector<std::wstring> rows;
    const HWND list = Item(IDC_ZNSMSTEMPLATES_LIST1);
    const auto count = static_cast<WPARAM>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (WPARAM row = 0; row < count; ++row) {
      std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1,
                        L'\0');
      text.resize(static_cast<std::size_t>(
          SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
      rows.push_back(text);
    }
    return rows;
  }

  TempFolder folder;
  fakes::ComposeOnlyWindows others;
  TemplatesWindow window{others, {.folder = folder.path()}};
};

TEST_F(TemplatesDialogTest, ListsTheFileAndAddsAndDeletesThroughTheButtons) {
  const auto file = folder.path() / "ZNSMSTemplates.txt";
  WriteBytes(file, "%LABEL%Zulu\r\nz\r\n%LABEL%Alpha\r\na\r\n");
  ASSERT_TRUE(window.Create(IDD_ZNSMSTEMPLATES));
  EXPECT_EQ(ListRows(), (std::vector<std::wstring>{L"Zulu", L"Alpha"})) << "not sorted";
  // No default button: Enter gives the dialog's plain IDOK, which does nothing.
  EXPECT_EQ(LOWORD(SendMessageW(window.hwnd(), DM_GETDEFID, 0, 0)), IDOK);
  Click(window.hwnd(), IDOK);
  ASSERT_TRUE(window.IsOpen());

  Type(Item(IDC_ZNSMSTEMPLATES_TEXT1), std::wstring(200, L't'));
  EXPECT_EQ(WindowText(Item(IDC_ZNSMSTEMPLATES_TEXT1)).size(), 160U);
  test::PressKey(Item(IDC_ZNSMSTEMPLATES_TEXT1), VK_ESCAPE);
  ASSERT_TRUE(window.IsOpen()) << "Esc in the multi-line text box";
  // The text wraps, but Enter does not break it: the file keeps it on one line.
  EXPECT_EQ(GetWindowLongW(Item(IDC_ZNSMSTEMPLATES_TEXT1), GWL_STYLE) & ES_WANTRETURN, 0);
  SetWindowTextW(Item(IDC_ZNSMSTEMPLATES_TEXT1), L"one line");
  SetWindowTextW(Item(IDC_ZNSMSTEMPLATES_TEXT2), L"New");
  Click(window.hwnd(), IDC_ZNSMSTEMPLATES_COMMAND3);
  EXPECT_EQ(ListRows(), (std::vector<std::wstring>{L"Zulu", L"Alpha", L"New"}));
  EXPECT_EQ(WindowText(Item(IDC_ZNSMSTEMPLATES_TEXT1)), L"");
  EXPECT_EQ(ReadBytes(file), "%LABEL%Zulu\r\nz\r\n%LABEL%Alpha\r\na\r\n%LABEL%New\r\none line\r\n");

  SendMessageW(Item(IDC_ZNSMSTEMPLATES_LIST1), LB_SETCURSEL, 0, 0);
  Click(window.hwnd(), IDC_ZNSMSTEMPLATES_COMMAND4);
  EXPECT_EQ(ListRows(), (std::vector<std::wstring>{L"Alpha", L"New"}));
  EXPECT_EQ(SendMessageW(Item(IDC_ZNSMSTEMPLATES_LIST1), LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(ReadBytes(file), "%LABEL%Alpha\r\na\r\n%LABEL%New\r\none line\r\n");

  EXPECT_EQ(TabOrder(window.hwnd(), IDC_ZNSMSTEMPLATES_LIST1, 7),
            (std::vector<int>{IDC_ZNSMSTEMPLATES_LIST1, IDC_ZNSMSTEMPLATES_COMMAND1,
                              IDC_ZNSMSTEMPLATES_COMMAND2, IDC_ZNSMSTEMPLATES_COMMAND4,
                              IDC_ZNSMSTEMPLATES_TEXT1, IDC_ZNSMSTEMPLATES_TEXT2,
                              IDC_ZNSMSTEMPLATES_COMMAND3}));
  Click(window.hwnd(), IDC_ZNSMSTEMPLATES_COMMAND2);
  EXPECT_FALSE(window.IsOpen());
}

}  // namespace
}  // namespace parvel::dialogs
