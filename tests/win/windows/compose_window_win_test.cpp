#include "windows/compose_window_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "settings/memory_registry.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"
#include "unit/fakes/call_recorder.h"
#include "unit/fakes/fake_outlook.h"
#include "unit/fakes/fake_redemption.h"
#include "win/windows/keyboard_input_win.h"
#include "windows/window_ids.h"

namespace parvel::windows {
namespace {

using test::PressKey;
using test::RunQueuedMessages;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

class NoOtherWindows final : public AddinWindows {
 public:
  void ShowContactsPicker() override {}
  void ShowAccountWindow() override {}
  void ShowTemplatesWindow() override {}
  OLMain& ComposeWindow() override { throw std::logic_error("the compose window is the test's"); }
};

class ComposeWindowTest : public testing::Test {
 protected:
  ComposeWindowTest() {
    session.HostApplication = std::make_unique<fakes::FakeApplication>(recorder);
    // A saved account: the load shows no message box.
    RegEnsureKey(registry, kHkeyCurrentUser, SettingsKeyPath);
    for (const auto& [name, value] :
         {std::pair{L"Account", L"acc1"}, std::pair{L"Password", L"Unknown"},
          std::pair{L"MailAddress", L"sms@gateway.zintara.example"},
          std::pair{L"DefaultContacts", L"Contacts"}, std::pair{L"NamePrefix", L""}}) {
      RegStoreValue(registry, kHkeyCurrentUser, SettingsKeyPath, name,
                    RegValue(std::wstring(value)), kRegSz);
    }
  }

  void SetUp() override {
    ASSERT_TRUE(window.Create(IDD_OLMAIN));
    window.BringForward();
  }

  HWND Item(int id) const { return GetDlgItem(window.hwnd(), id); }

  fakes::CallRecorder recorder;
  Session session{std::make_unique<fakes::FakeRedemption>(recorder)};
  MemoryRegistry registry;
  NoOtherWindows windows;
  ComposeWindow window{session, registry, windows};
};

TEST_F(ComposeWindowTest, EscDiscardsNothingWhereverTheFocusIs) {
  SetWindowTextW(Item(IDC_OLMAIN_TEXT2), L"021 555 123");
  SendMessageW(Item(IDC_OLMAIN_COMMAND1), BM_CLICK, 0, 0);
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

TEST_F(ComposeWindowTest, TheCloseBoxAndCloseStillClose) {
  PostMessageW(window.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  RunQueuedMessages();
  EXPECT_FALSE(window.IsOpen()) << "the title bar's close box";

  ASSERT_TRUE(window.Create(IDD_OLMAIN));
  SendMessageW(Item(IDC_OLMAIN_COMMAND4), BM_CLICK, 0, 0);
  EXPECT_FALSE(window.IsOpen()) << "Clos&e";
}

}  // namespace
}  // namespace parvel::windows
