#include "dialogs/contacts_window_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "dialogs/compose_presenter.h"
#include "dialogs/window_ids.h"
#include "request/clock.h"
#include "support/call_recorder.h"
#include "support/compose_only_windows.h"
#include "support/fake_address_book.h"
#include "support/fake_redemption.h"
#include "support/memory_registry.h"
#include "support/recorded_session.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window_view.h"
#include "win/dialogs/keyboard_input_win.h"

namespace parvel::dialogs {
namespace {

using fakes::Contact;
using fakes::ContactFolder;
using fakes::MailFolder;
using fakes::MailUser;

class ContactsWindowTest : public testing::Test, protected fakes::RecordedSession {
 protected:
  ContactsWindowTest() {
    session.HoldNamespace(std::make_unique<fakes::FakeStoreNamespace>(
        recorder,
        std::vector{
            MailFolder(L"Mailbox",
                       {ContactFolder(L"Contacts", {Contact(L"0C01", L"Ann", L"021 100"),
                                                    Contact(L"0C02", L"Bob", L"021 200")})}),
            MailFolder(L"Archive",
                       {ContactFolder(L"Contacts", {Contact(L"0C03", L"Cy", L"021 300")})})}));
    session.account_settings.default_contacts = L"Contacts";
    redemption->make_address_lists = fakes::FakeAddressListsMaker(
        recorder, {{L"Global Address List",
                    {MailUser(L"Dee", L"G1", L"021 400"), MailUser(L"Eve", L"G2", L"021 500")}}});
  }

  void SetUp() override { ASSERT_TRUE(window.Create(IDD_OLCONTACTS)); }

  HWND Item(int id) const { return GetDlgItem(window.hwnd(), id); }
  void Command(int id, int code) {
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(Item(id)));
  }

  fakes::RecordingWindowView compose_view;
  fakes::RecordingMessageBoxes compose_messages;
  MemoryRegistry registry;
  fakes::ComposeOnlyWindows windows{compose};
  ComposePresenter compose{{.session = session,
                            .view = compose_view,
                            .message_boxes = compose_messages,
                            .registry = registry,
                            .clock = SystemClock(),
                            .windows = windows}};
  ContactsWindow window{session, windows};
};

TEST_F(ContactsWindowTest, OpensWithTheDefaultFolderHighlighted) {
  EXPECT_EQ(SendMessageW(Item(IDC_OLCONTACTS_LIST1), LB_GETCURSEL, 0, 0), 0);
}

TEST_F(ContactsWindowTest, EscLeavesThePickerAndItsSelectionAlone) {
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

TEST_F(ContactsWindowTest, AClosingDuringAListingWaitsForTheListingToStop) {
  PostMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  CheckRadioButton(window.hwnd(), IDC_OLCONTACTS_OPTION1, IDC_OLCONTACTS_OPTION2,
                   IDC_OLCONTACTS_OPTION2);
  Command(IDC_OLCONTACTS_OPTION2, BN_CLICKED);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_FALSE(window.Busy());
  EXPECT_EQ(window.presenter().Contacts().Count(), 0U);
  EXPECT_EQ(std::count(recorder.calls().begin(), recorder.calls().end(),
                       L"AddressEntries(Global Address List).GetNext"),
            0);
  EXPECT_EQ(compose.Recipients().Count(), 0U);
}

}  // namespace
}  // namespace parvel::dialogs
