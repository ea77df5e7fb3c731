#include "dialogs/contacts_window_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "dialogs/window_ids.h"
#include "unit/dialogs/contacts_fixture.h"
#include "win/dialogs/dialog_driver_win.h"

namespace parvel::dialogs {
namespace {

using testing::Contains;
using testing::Not;

class ContactsWindowTest : public contacts_test::ContactsFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(window.Create(IDD_OLCONTACTS)); }

  HWND Item(int id) const { return GetDlgItem(window.hwnd(), id); }

  ContactsWindow window{session, windows};
};

TEST_F(ContactsWindowTest, OpensOnTheDefaultFolderAndEscLeavesThePickerAndItsSelectionAlone) {
  EXPECT_EQ(SendMessageW(Item(IDC_OLCONTACTS_LIST1), LB_GETCURSEL, 0, 0), 0);
  ListView_SetItemState(Item(IDC_OLCONTACTS_LVW), 0, LVIS_SELECTED, LVIS_SELECTED);
  SendMessageW(Item(IDC_OLCONTACTS_COMMAND1), BM_CLICK, 0, 0);
  for (const int id : {IDC_OLCONTACTS_LVW, IDC_OLCONTACTS_LVW2, IDC_OLCONTACTS_LIST1,
                       IDC_OLCONTACTS_OPTION1, IDC_OLCONTACTS_COMMAND2}) {
    test::PressKey(Item(id), VK_ESCAPE);
    ASSERT_TRUE(window.IsOpen()) << "Esc in control " << id;
  }
  EXPECT_EQ(ListView_GetItemCount(Item(IDC_OLCONTACTS_LVW2)), 1);
  SendMessageW(Item(IDC_OLCONTACTS_COMMAND3), BM_CLICK, 0, 0);
  EXPECT_FALSE(window.IsOpen()) << "&Cancel";
  EXPECT_EQ(compose.Recipients().Count(), 0U);
}

TEST_F(ContactsWindowTest, TypingInAListGoesToTheNameThatStartsWithTheLetters) {
  const HWND list = Item(IDC_OLCONTACTS_LVW);  // Ann, Bob, Sales
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SetFocus(list);
  SendMessageW(list, WM_CHAR, L's', 1);
  EXPECT_EQ(ListView_GetSelectedCount(list), 1U);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
  LVFINDINFOW whole{.flags = LVFI_STRING, .psz = L"bob"};
  EXPECT_EQ(ListView_FindItem(list, -1, &whole), 1);
  whole.psz = L"Bo";
  EXPECT_EQ(ListView_FindItem(list, -1, &whole), -1);
}

TEST_F(ContactsWindowTest, AClosingDuringAListingWaitsForTheListingToStop) {
  PostMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  CheckRadioButton(window.hwnd(), IDC_OLCONTACTS_OPTION1, IDC_OLCONTACTS_OPTION2,
                   IDC_OLCONTACTS_OPTION2);
  test::Click(window.hwnd(), IDC_OLCONTACTS_OPTION2);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_FALSE(window.Busy());
  EXPECT_EQ(window.presenter().Contacts().Count(), 0U);
  EXPECT_THAT(recorder.calls(), Not(Contains(L"AddressEntries(Global Address List).GetNext")));
  EXPECT_EQ(compose.Recipients().Count(), 0U);
}

}  // namespace
}  // namespace parvel::dialogs
