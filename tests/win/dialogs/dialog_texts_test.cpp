// Every caption and label the user reads in the four dialogs, the limits and
// tab order of their boxes, and the message boxes' icon and button: one
// table per dialog, read from the real windows.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/account_window_win.h"
#include "dialogs/compose_window_win.h"
#include "dialogs/contacts_window_win.h"
#include "dialogs/message_boxes_win.h"
#include "dialogs/templates_window_win.h"
#include "dialogs/window_ids.h"
#include "support/compose_only_windows.h"
#include "support/temp_folder.h"
#include "unit/dialogs/compose_fixture.h"
#include "win/dialogs/dialog_driver_win.h"

namespace parvel::dialogs {
namespace {

using test::TabOrder;
using test::WindowText;

struct Label {
  int id;
  const wchar_t* text;
};

std::vector<std::wstring> Columns(HWND list) {
  std::vector<std::wstring> columns;
  const HWND header = ListView_GetHeader(list);
  for (int column = 0; column < Header_GetItemCount(header); ++column) {
    wchar_t text[64] = L"";
    LVCOLUMNW info{.mask = LVCF_TEXT, .pszText = text, .cchTextMax = 64};
    ListView_GetColumn(list, column, &info);
    columns.emplace_back(text);
  }
  return columns;
}

void ExpectTexts(const DialogWindow& window, const wchar_t* caption,
                 std::initializer_list<Label> labels) {
  EXPECT_EQ(WindowText(window.hwnd()), caption);
  for (const Label& label : labels) {
    const HWND control = GetDlgItem(window.hwnd(), label.id);
    ASSERT_NE(control, nullptr) << label.id;
    EXPECT_EQ(WindowText(control), label.text) << label.id;
  }
}

// A connected session and a saved account: the compose window loads quietly.
class DialogTexts : public compose_test::ComposeFixture {
 protected:
  fakes::ComposeOnlyWindows others;
};

TEST_F(DialogTexts, ComposeWindow) {
  ComposeWindow window{session, registry, others};
  ASSERT_TRUE(window.Create(IDD_OLMAIN));
  ExpectTexts(
      window, L"Parvel                                            - 1.0.26",
      {
          {IDC_OLMAIN_LABEL6, L"1. Add mobile numbers or select them from your contacts..."},
          {IDC_OLMAIN_LABEL7, L"2. Enter a message to send..."},
          {IDC_OLMAIN_LABEL8, L"3. Click the send button to send the message..."},
          {IDC_OLMAIN_LABEL3, L"Mobile :"},
          {IDC_OLMAIN_TEXT2, L""},
          {IDC_OLMAIN_COMMAND1, L"&Add mobile"},
          {IDC_OLMAIN_COMMAND2, L"&Contacts"},
          {IDC_OLMAIN_LABEL4, L"Recipients"},
          {IDC_OLMAIN_COMMAND6, L"&Remove selected recipients from list"},
          {IDC_OLMAIN_LABEL1, L"Message (max. 160 chars)"},
          {IDC_OLMAIN_TEXT1, L""},
          {IDC_OLMAIN_LABEL5, L""},  // until the message first changes
          {IDC_OLMAIN_FRAME2, L"Delayed send"},
          {IDC_OLMAIN_CHECK1, L"Delay send until :"},
          {IDC_OLMAIN_LABEL9, L"(dd mmm yy hh:mm)"},
          {IDC_OLMAIN_COMMAND3, L"&Send message"},
          {IDC_OLMAIN_COMMAND5, L"Account info"},
          {IDC_OLMAIN_COMMAND7, L"&Templates"},
          {IDC_OLMAIN_COMMAND4, L"Clos&e"},
      });
  EXPECT_EQ(SendMessageW(GetDlgItem(window.hwnd(), IDC_OLMAIN_TEXT1), EM_GETLIMITTEXT, 0, 0), 480)
      << "the longest message typed";
  EXPECT_EQ(Columns(GetDlgItem(window.hwnd(), IDC_OLMAIN_LISTVIEW1)),
            (std::vector<std::wstring>{L"Name", L"Mobile"}));
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_OLMAIN_TEXT2) << "typing starts in the mobile box";
  EXPECT_EQ(TabOrder(window.hwnd(), IDC_OLMAIN_TEXT2, 2),
            (std::vector<int>{IDC_OLMAIN_TEXT2, IDC_OLMAIN_TEXT1}));
  window.Close();
}

TEST_F(DialogTexts, ContactsPicker) {
  session.account_settings.default_contacts = L"Contacts";
  ContactsWindow window{session, others};
  ASSERT_TRUE(window.Create(IDD_OLCONTACTS));
  ExpectTexts(window, L"Contacts",
              {
                  {IDC_OLCONTACTS_OPTION1, L"Contacts"},
                  {IDC_OLCONTACTS_OPTION2, L"Global Address List"},
                  {IDC_OLCONTACTS_LABEL1, L"Available folders"},
                  {IDC_OLCONTACTS_LABEL3, L"Contacts"},
                  {IDC_OLCONTACTS_LABEL4, L"(Click on Name column header to sort)"},
                  {IDC_OLCONTACTS_COMMAND1, L"Add  >>"},
                  {IDC_OLCONTACTS_COMMAND4, L"Remove <<"},
                  {IDC_OLCONTACTS_LABEL2, L"Currently selected"},
                  {IDC_OLCONTACTS_COMMAND2, L"&Select"},
                  {IDC_OLCONTACTS_COMMAND3, L"&Cancel"},
              });
  for (const int list : {IDC_OLCONTACTS_LVW, IDC_OLCONTACTS_LVW2}) {
    EXPECT_EQ(Columns(GetDlgItem(window.hwnd(), list)),
              (std::vector<std::wstring>{L"Name", L"Mobile"}));
  }
  window.Close();
}

TEST_F(DialogTexts, AccountWindow) {
  AccountSettings settings;
  AccountWindow window{settings, registry};
  ASSERT_TRUE(window.Create(IDD_OLACCOUNT));
  ExpectTexts(window, L"Account Information",
              {
                  {IDC_OLACCOUNT_LABEL1, L"Account :"},
                  {IDC_OLACCOUNT_LABEL2, L"Password :"},
                  {IDC_OLACCOUNT_LABEL3, L"Confirm :"},
                  {IDC_OLACCOUNT_LABEL4, L"Default contacts folder :"},
                  {IDC_OLACCOUNT_LABEL5, L"Name prefix :"},
                  {IDC_OLACCOUNT_COMMAND2, L"&Save"},
                  {IDC_OLACCOUNT_COMMAND1, L"&Close"},
              });
  window.Close();
}

TEST_F(DialogTexts, TemplatesWindow) {
  templates_test::TempFolder folder;
  TemplatesWindow window{others, {.folder = folder.path()}};
  ASSERT_TRUE(window.Create(IDD_ZNSMSTEMPLATES));
  ExpectTexts(window, L"Templates",
              {
                  {IDC_ZNSMSTEMPLATES_COMMAND1, L"&Select"},
                  {IDC_ZNSMSTEMPLATES_COMMAND2, L"&Close"},
                  {IDC_ZNSMSTEMPLATES_COMMAND4, L"Delete"},
                  {IDC_ZNSMSTEMPLATES_LABEL1, L"New template text"},
                  {IDC_ZNSMSTEMPLATES_LABEL2, L"New template name"},
                  {IDC_ZNSMSTEMPLATES_COMMAND3, L"Add"},
              });
  window.Close();
}

// The box a thread of this process shows with that title, once it is up.
HWND WaitForMessageBox(const wchar_t* title) {
  for (int attempt = 0; attempt < 400; ++attempt) {
    if (const HWND box = FindWindowW(L"#32770", title); box != nullptr && IsWindowVisible(box)) {
      return box;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return nullptr;
}

// The buttons of a message box, by their ids.
std::vector<int> Buttons(HWND box) {
  std::vector<int> ids;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t type[32] = L"";
    GetClassNameW(child, type, 32);
    if (std::wstring(type) == L"Button" && IsWindowVisible(child)) {
      ids.push_back(GetDlgCtrlID(child));
    }
  }
  return ids;
}

// The icon a message box shows: its icon control holds the shared system icon.
HICON Icon(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      return reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    }
  }
  return nullptr;
}

TEST(MessageBoxTexts, EachKindHasItsSystemIconAndOneOkButton) {
  struct Kind {
    MessageIcon icon;
    LPCWSTR system_icon;
  };
  const Kind kinds[] = {{MessageIcon::Exclamation, IDI_EXCLAMATION},
                        {MessageIcon::Error, IDI_ERROR},
                        {MessageIcon::Information, IDI_INFORMATION}};
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(static_cast<int>(kind.icon));
    OwnedMessageBoxes boxes;
    std::thread shower([&] { boxes.Show(L"Parvel box test", L"Some text...", kind.icon); });
    const HWND box = WaitForMessageBox(L"Parvel box test");
    if (box != nullptr) {
      EXPECT_EQ(Buttons(box), std::vector<int>{IDOK});
      EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"Some text...");
      EXPECT_EQ(Icon(box), LoadIconW(nullptr, kind.system_icon));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    shower.join();
    ASSERT_NE(box, nullptr) << "no message box came up";
  }
}

}  // namespace
}  // namespace parvel::dialogs
