// The life of an add-in window as Windows drives it: when a close asked for
// by a handler happens, when a show asked for during the load happens, what
// keeps the object alive under a running handler, and who owns the handles
// the window shares among its controls.

#include "dialogs/dialog_window_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/account_controls.h"
#include "dialogs/contacts_controls.h"
#include "dialogs/window_ids.h"
#include "win/dialogs/dialog_driver_win.h"

namespace parvel::dialogs {
namespace {

using test::Click;

// A window whose handlers report to the test, and whose end it notes.
class ProbeWindow final : public DialogWindow {
 public:
  ProbeWindow(std::span<const ControlName> controls, std::vector<std::wstring>& log)
      : DialogWindow(L"Probe", controls), log_(log) {}
  ~ProbeWindow() override { log_.push_back(L"destroyed"); }

  // Runs on a click of the OK button.
  std::function<void()> on_ok;
  // Runs as the window loads.
  std::function<void()> on_init;
  using DialogWindow::SetUpRecipientList;

 private:
  void OnInit() override {
    if (on_init) on_init();
  }
  void OnCommand(int id, int code) override {
    log_.push_back(L"command " + std::to_wstring(id) + L"/" + std::to_wstring(code));
    if (id == IDOK && on_ok) on_ok();
  }
  void OnCloseRequest() override {
    log_.push_back(L"close request");
    Close();
  }

  std::vector<std::wstring>& log_;
};

// The log without what the focus changes of the window's boxes reported.
std::vector<std::wstring> WithoutFocusChanges(std::vector<std::wstring> log) {
  std::erase_if(log, [](const std::wstring& entry) {
    return entry.ends_with(L"/256") || entry.ends_with(L"/512");
  });
  return log;
}

TEST(DialogWindow, ACloseAskedForByAHandlerWaitsUntilTheHandlerEnds) {
  std::vector<std::wstring> log;
  ProbeWindow window(account_controls::kControls, log);
  ASSERT_TRUE(window.Create(IDD_OLACCOUNT));
  const HWND hwnd = window.hwnd();
  window.on_ok = [&] {
    window.Close();
    // The handler goes on with its window and object, as after a message
    // box that let the user's close through.
    log.push_back(window.IsOpen() && IsWindow(hwnd) ? L"still open" : L"gone");
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.Busy());
  };
  Click(hwnd, IDOK);
  EXPECT_FALSE(window.IsOpen());
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(window.Busy());
  const std::vector<std::wstring> expected = {L"command 1/0", L"still open", L"close request"};
  EXPECT_EQ(WithoutFocusChanges(log), expected);
}

TEST(DialogWindow, ItsOwnerLivesUntilTheRunningHandlerEnds) {
  std::vector<std::wstring> log;
  auto owner = std::make_shared<std::unique_ptr<ProbeWindow>>(
      std::make_unique<ProbeWindow>(account_controls::kControls, log));
  ProbeWindow& window = **owner;
  window.KeepAliveWhileBusy(owner);
  ASSERT_TRUE(window.Create(IDD_OLACCOUNT));
  const HWND hwnd = window.hwnd();
  window.on_ok = [&] {
    window.Close();
    owner.reset();
    log.push_back(L"handler ends");
  };
  Click(hwnd, IDOK);
  EXPECT_FALSE(IsWindow(hwnd));
  const std::vector<std::wstring> expected = {L"command 1/0", L"handler ends", L"destroyed"};
  EXPECT_EQ(WithoutFocusChanges(log), expected);
}

// A request during the load (its message boxes let one through) shows the
// window only once the load is over.
TEST(DialogWindow, BroughtForwardDuringItsLoadItShowsWhenTheLoadEnds) {
  std::vector<std::wstring> log;
  ProbeWindow window(account_controls::kControls, log);
  bool shown_while_loading = true;
  window.on_init = [&] {
    EXPECT_TRUE(window.Loading());
    window.BringForward();
    shown_while_loading = IsWindowVisible(window.hwnd()) != FALSE;
  };
  ASSERT_TRUE(window.Create(IDD_OLACCOUNT));
  EXPECT_FALSE(shown_while_loading);
  EXPECT_FALSE(window.Loading());
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
}

TEST(DialogWindow, TheListIconsBelongToTheWindowNotToItsListViews) {
  std::vector<std::wstring> log;
  ProbeWindow window(contacts_controls::kControls, log);
  ASSERT_TRUE(window.Create(IDD_OLCONTACTS));
  window.SetUpRecipientList(contacts_controls::kContactList, 100, 70);
  window.SetUpRecipientList(contacts_controls::kSelectedList, 100, 70);
  const HIMAGELIST icons =
      ListView_GetImageList(GetDlgItem(window.hwnd(), IDC_OLCONTACTS_LVW), LVSIL_SMALL);
  ASSERT_NE(icons, nullptr);
  EXPECT_EQ(ListView_GetImageList(GetDlgItem(window.hwnd(), IDC_OLCONTACTS_LVW2), LVSIL_SMALL),
            icons);

  // Both list views are gone with the window; the icons stay with the object
  // until it ends, which destroys them exactly once.
  window.Close();
  ASSERT_FALSE(window.IsOpen());
  EXPECT_EQ(ImageList_GetImageCount(icons), 2);
}

}  // namespace
}  // namespace parvel::dialogs
