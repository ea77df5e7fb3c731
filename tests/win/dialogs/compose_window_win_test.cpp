#include "dialogs/compose_window_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dialogs/window_ids.h"
#include "support/compose_only_windows.h"
#include "unit/dialogs/compose_fixture.h"
#include "win/dialogs/dialog_driver_win.h"
#include "workflows/unsent_work.h"

namespace parvel::dialogs {
namespace {

using test::PressKey;
using test::RunQueuedMessages;
using test::WindowText;

// A connected session and a saved account: the load shows no message box.
class ComposeWindowTest : public compose_test::ComposeFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Create(IDD_OLMAIN));
    window.BringForward();
  }

  HWND Item(int id) const { return GetDlgItem(window.hwnd(), id); }
  void AddMobile(const wchar_t* mobile) {
    SetWindowTextW(Item(IDC_OLMAIN_TEXT2), mobile);
    SendMessageW(Item(IDC_OLMAIN_COMMAND1), BM_CLICK, 0, 0);
  }

  fakes::ComposeOnlyWindows others;
  ComposeWindow window{session, registry, others};
};

TEST_F(ComposeWindowTest, EscDiscardsNothingWhereverTheFocusIs) {
  AddMobile(L"021 555 123");
  SetWindowTextW(Item(IDC_OLMAIN_TEXT1), L"half a message");
  for (const int id : {IDC_OLMAIN_TEXT2, IDC_OLMAIN_TEXT1, IDC_OLMAIN_LISTVIEW1,
                       IDC_OLMAIN_COMMAND3, IDC_OLMAIN_CHECK1}) {
    PressKey(Item(id), VK_ESCAPE);
    ASSERT_TRUE(window.IsOpen()) << "Esc in control " << id;
  }
  EXPECT_EQ(WindowText(Item(IDC_OLMAIN_TEXT1)), L"half a message");
  EXPECT_EQ(window.presenter().Recipients().Count(), 1U);
  EXPECT_EQ(ListView_GetItemCount(Item(IDC_OLMAIN_LISTVIEW1)), 1);
}

TEST_F(ComposeWindowTest, TheEndOfTheUsersWindowsSessionKeepsWhatIsTyped) {
  AddMobile(L"021 555 123");
  SetWindowTextW(Item(IDC_OLMAIN_TEXT1), L"half a message");
  SendMessageW(window.hwnd(), WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(ReadUnsentWork(registry)) << "a sign-out that was cancelled";
  SendMessageW(window.hwnd(), WM_ENDSESSION, TRUE, 0);
  const std::optional<UnsentWork> kept = ReadUnsentWork(registry);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->message, L"half a message");
  EXPECT_EQ(kept->rows, window.presenter().Recipients().Rows());
}

TEST_F(ComposeWindowTest, TheListKeepsTheUsersSelectionWhenItIsDrawnAgain) {
  const HWND list = Item(IDC_OLMAIN_LISTVIEW1);
  const auto selected_mobiles = [list] {
    std::vector<std::wstring> mobiles;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
      wchar_t text[32] = L"";
      ListView_GetItemText(list, row, 1, text, 32);
      mobiles.push_back(text);
    }
    return mobiles;
  };
  for (const wchar_t* mobile : {L"3", L"1", L"2"}) AddMobile(mobile);
  ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
  AddMobile(L"0");
  EXPECT_EQ(selected_mobiles(), (std::vector<std::wstring>{L"3", L"2"}));

  NMLISTVIEW header_click{};
  header_click.hdr = {list, IDC_OLMAIN_LISTVIEW1, LVN_COLUMNCLICK};
  header_click.iItem = -1;
  header_click.iSubItem = 1;
  SendMessageW(window.hwnd(), WM_NOTIFY, IDC_OLMAIN_LISTVIEW1,
               reinterpret_cast<LPARAM>(&header_click));
  EXPECT_EQ(selected_mobiles(), (std::vector<std::wstring>{L"2", L"3"})) << "sorted by mobile";
}

TEST_F(ComposeWindowTest, TheCloseBoxAndCloseStillClose) {
  PostMessageW(window.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  RunQueuedMessages();
  EXPECT_FALSE(window.IsOpen()) << "the title bar's close box";

  ASSERT_TRUE(window.Create(IDD_OLMAIN));
  SendMessageW(Item(IDC_OLMAIN_COMMAND4), BM_CLICK, 0, 0);
  EXPECT_FALSE(window.IsOpen()) << "Clos&e";
}

}  // namespace
}  // namespace parvel::dialogs
