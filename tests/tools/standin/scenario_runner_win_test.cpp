// The scenario runner against real windows of the test process: a form
// with named controls records every notification the driver causes.

#include <windows.h>

#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <utility>

#include "standin_host/clipboard_win.h"
#include "standin_host/registry_win.h"
#include "standin_host/scenario_runner_win.h"
#include "standin_host/time_text.h"
#include "standin_host/window_query_win.h"
#include "test_files.h"

namespace parvel::standin {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr wchar_t kFormClass[] = L"ParvelRunnerTestForm";
constexpr wchar_t kTestKey[] = L"SOFTWARE\\ParvelStandinRunnerTest";

class FakeHost final : public ScenarioHost {
 public:
  HWND ToolbarButton(const std::wstring&) override { return nullptr; }
  std::optional<std::vector<std::wstring>> ShownBar(const std::wstring&) override {
    return std::nullopt;
  }
  std::optional<ButtonFacts> Button(const std::wstring& caption) override {
    if (caption != L"Send SMS") return std::nullopt;
    return ButtonFacts{.tag = L"Send SMS", .on_action = L"!<A.B>", .style = 3, .face = L"20x20/0"};
  }
  HWND RibbonButton(const std::wstring&, const std::wstring&) override { return nullptr; }
  std::optional<std::vector<std::wstring>> RibbonGroup(const std::wstring&,
                                                       const std::wstring&) override {
    return std::nullopt;
  }
  std::optional<RibbonButtonFacts> RibbonButtonState(const std::wstring& tab,
                                                     const std::wstring& label) override {
    if (tab != L"TabMail" || label != L"Send SMS") return std::nullopt;
    return RibbonButtonFacts{.enabled = true, .picture = L"32x32"};
  }
  std::optional<std::wstring> ChooseContextMenuEntry(const std::vector<ItemRef>& rows,
                                                     const std::wstring& label) override {
    if (label != L"Send SMS") return L"a menu with Other";
    chosen_rows = rows;
    return std::nullopt;
  }
  std::optional<std::wstring> OpenContextMenu(const std::vector<ItemRef>& rows) override {
    opened_rows = rows;
    return std::nullopt;
  }
  std::optional<std::wstring> ContextMenuLabels(const std::vector<ItemRef>& rows,
                                                std::vector<std::wstring>& labels) override {
    chosen_rows = rows;
    labels = {L"Send SMS"};
    return std::nullopt;
  }
  std::vector<MailFacts> Mails() override {
    return {{.to = L"sms@gw",
             .subject = L"SMS Message to 1",
             .body = L"b",
             .state = L"Delivered",
             .file = L"0001.eml"}};
  }
  std::wstring AddinState(const std::wstring&) override { return L"disconnected"; }
  std::optional<std::filesystem::path> AddinFolder() override { return addin_folder; }
  void LoadAddins() override {}
  void UnloadAddins() override {}
  void RestartHost() override {}
  void ArmUnload(const std::wstring&, int) override {}
  void MarkTime(const std::wstring&) override {}

  std::vector<ItemRef> chosen_rows;
  std::vector<ItemRef> opened_rows;
  std::optional<std::filesystem::path> addin_folder;
};

// A form like the add-in's dialogs: named controls, every notification noted.
class Form {
 public:
  Form() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &Form::Procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = kFormClass;
    RegisterClassW(&window_class);
    window = CreateWindowExW(0, kFormClass, L"Test form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                             600, 400, nullptr, nullptr, window_class.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    NameWindow(window, L"TestForm");
    Add(L"Edit", L"Text1", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 22);
    Add(L"Edit", L"Text2", WS_BORDER | ES_MULTILINE, 10, 40, 200, 44);
    SendMessageW(Add(L"Edit", L"Text3", WS_BORDER, 10, 90, 60, 22), EM_LIMITTEXT, 5, 0);
    Add(L"Edit", L"Text4", WS_BORDER | ES_READONLY, 80, 90, 60, 22);
    Add(L"Button", L"Check1", BS_AUTOCHECKBOX, 220, 10, 100, 22);
    Add(L"Button", L"Command1", BS_PUSHBUTTON, 220, 40, 100, 22);
    Add(L"Button", L"Command2", BS_PUSHBUTTON | WS_DISABLED, 220, 70, 100, 22);
    Add(L"Button", L"Command3", BS_PUSHBUTTON, 220, 100, 100, 22);
    list_box = Add(L"ListBox", L"List1", WS_BORDER | LBS_NOTIFY, 330, 40, 150, 80);
    for (const wchar_t* item : {L"First", L"Second", L"Third"}) {
      SendMessageW(list_box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    list_view = Add(WC_LISTVIEWW, L"ListView1", LVS_REPORT | WS_BORDER, 10, 130, 400, 150);
    const wchar_t* columns[] = {L"Name", L"Mobile"};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH, 0, 150, const_cast<wchar_t*>(columns[i])};
      SendMessageW(list_view, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&column));
    }
    const wchar_t* rows[][2] = {
        {L"Bell, Anna", L"021"}, {L"Ngata, Ben", L"022"}, {L"Smith, Chloe", L"027"}};
    for (int row = 0; row < 3; ++row) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = const_cast<wchar_t*>(rows[row][0]);
      SendMessageW(list_view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      item.iSubItem = 1;
      item.pszText = const_cast<wchar_t*>(rows[row][1]);
      SendMessageW(list_view, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    }
    // Turns the form's own surface red, then blue, then red..., painted when
    // the form next paints.
    Add(L"Button", L"Command4", BS_PUSHBUTTON, 490, 10, 90, 22);
    events.clear();
  }
  ~Form() {
    if (IsWindow(window)) DestroyWindow(window);
  }

  HWND window = nullptr;
  HWND list_box = nullptr;
  HWND list_view = nullptr;
  COLORREF fill = RGB(255, 255, 255);
  std::vector<std::wstring> events;

 private:
  HWND Add(const wchar_t* type, const wchar_t* name, DWORD style, int x, int y, int width,
           int height) {
    HWND control =
        CreateWindowExW(0, type, name, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(++next_id_)),
                        GetModuleHandleW(nullptr), nullptr);
    NameWindow(control, name);
    return control;
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_COMMAND && lparam != 0) {
      HWND control = reinterpret_cast<HWND>(lparam);
      const std::wstring name = WindowName(control);
      const UINT code = HIWORD(wparam);
      // Focus and update notes come with real typing too; the test watches these.
      if (code != EN_CHANGE && code != BN_CLICKED && code != LBN_SELCHANGE && code != LBN_DBLCLK)
        return 0;
      std::wstring event = name + L" " + std::to_wstring(code);
      if (code == LBN_SELCHANGE && name == L"List1") {
        event += L" " + std::to_wstring(SendMessageW(control, LB_GETCURSEL, 0, 0));
      }
      form->events.push_back(event);
      if (name == L"Command1" && code == BN_CLICKED) {
        MessageBoxW(window, L"Clicked", L"Title", MB_OK | MB_ICONEXCLAMATION);
        form->events.push_back(L"box closed");
      } else if (name == L"Command3" && code == BN_CLICKED) {
        const int answer = MessageBoxW(window, L"Sure?", L"Confirm", MB_YESNO);
        form->events.push_back(L"answer " + std::to_wstring(answer));
      } else if (name == L"Command4" && code == BN_CLICKED) {
        form->fill = form->fill == RGB(200, 30, 30) ? RGB(30, 30, 200) : RGB(200, 30, 30);
        InvalidateRect(window, nullptr, TRUE);
      }
      return 0;
    }
    if (message == WM_PAINT) {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      HBRUSH brush = CreateSolidBrush(form->fill);
      FillRect(dc, &paint.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(window, &paint);
      return 0;
    }
    if (message == WM_NOTIFY) {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      const std::wstring name = WindowName(header->hwndFrom);
      if (header->code == NM_CLICK || header->code == NM_DBLCLK ||
          header->code == LVN_ITEMACTIVATE) {
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(lparam);
        form->events.push_back(name +
                               (header->code == NM_CLICK    ? L" click "
                                : header->code == NM_DBLCLK ? L" dblclk "
                                                            : L" activate ") +
                               std::to_wstring(activate->iItem));
      } else if (header->code == LVN_COLUMNCLICK) {
        form->events.push_back(
            name + L" column " +
            std::to_wstring(reinterpret_cast<const NMLISTVIEW*>(lparam)->iSubItem));
      } else if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
        if ((change->uNewState & LVIS_SELECTED) != 0 && (change->uOldState & LVIS_SELECTED) == 0) {
          form->events.push_back(name + L" selected " + std::to_wstring(change->iItem));
        }
      }
      return 0;
    }
    if (message == WM_CLOSE) {
      DestroyWindow(window);
      return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  int next_id_ = 100;
};

class Runner : public ::testing::Test {
 protected:
  void SetUp() override {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

  // Runs the scenario from a driver thread while this thread pumps messages.
  std::optional<std::wstring> Run(const std::wstring& text) {
    const std::vector<ScenarioLine> lines = ParseScenario(text);
    std::optional<std::wstring> failure;
    std::thread driver([&] {
      ScenarioRunner runner(ui_, host_,
                            {.file_name = L"t.scn",
                             .timeout_seconds = 1,
                             .registry_key = kTestKey,
                             .addins_key = kTestKey,
                             .clipboard_sequence = clipboard_sequence_});
      failure = runner.Run(lines);
      ui_.Post([] { PostQuitMessage(0); });
    });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    driver.join();
    return failure;
  }

  UiDispatcher ui_;
  FakeHost host_;
  Form form_;
  DWORD clipboard_sequence_ = 0;
};

TEST_F(Runner, ActsOnControlsAsAUserWould) {
  const auto failure = Run(
      L"type TestForm.Text1 abc\n"
      L"type TestForm.Text2 \"line 1\\r\\nline 2\"\n"
      L"expect text TestForm.Text2 \"line 1\\r\\nline 2\"\n"
      L"tick TestForm.Check1\n"
      L"tick TestForm.Check1\n"
      L"expect checked TestForm.Check1 yes\n"
      L"untick TestForm.Check1\n"
      L"select TestForm.ListView1 \"Ngata, Ben\"\n"
      L"double-click TestForm.ListView1 #3\n"
      L"header-click TestForm.ListView1 Mobile\n"
      L"select TestForm.List1 Second\n"
      L"double-click TestForm.List1 #1\n"
      L"click TestForm.Command1\n"
      L"expect messagebox Title Clicked\n"
      L"click TestForm.Command3\n"
      L"expect messagebox Confirm Sure? no\n"
      L"type TestForm.Text1 abc\n"
      L"expect focus TestForm.Text1\n"
      L"type TestForm.Text3 \"1234567\"\n"
      L"expect text TestForm.Text3 12345\n"
      L"expect rows TestForm.ListView1 \"Bell, Anna|021\" \"Ngata, Ben|022\" \"Smith, Chloe|027\"\n"
      L"expect rows TestForm.List1 First Second Third\n"
      L"expect enabled TestForm.Command2 no\n"
      L"expect windows TestForm 1\n"
      L"close TestForm\n"
      L"expect closed TestForm\n");
  EXPECT_EQ(failure, std::nullopt);
  const std::wstring changed = std::to_wstring(EN_CHANGE);
  const std::wstring clicked = std::to_wstring(BN_CLICKED);
  EXPECT_THAT(form_.events,
              ElementsAre(L"Text1 " + changed, L"Text2 " + changed, L"Check1 " + clicked,
                          L"Check1 " + clicked, L"ListView1 selected 1", L"ListView1 click 1",
                          L"ListView1 selected 2", L"ListView1 click 2", L"ListView1 dblclk 2",
                          L"ListView1 activate 2", L"ListView1 column 1",
                          L"List1 " + std::to_wstring(LBN_SELCHANGE) + L" 1",
                          L"List1 " + std::to_wstring(LBN_SELCHANGE) + L" 0",
                          L"List1 " + std::to_wstring(LBN_DBLCLK), L"Command1 " + clicked,
                          L"box closed", L"Command3 " + clicked, L"answer " + std::to_wstring(IDNO),
                          L"Text1 " + changed, L"Text3 " + changed));
}

// Pressing, loading, restarting and the rest that only pass on to the host
// are the stand-in scenarios' to check, with the host's real toolbars.
TEST_F(Runner, ChecksTheHostsButtonsAndMenusAndNamesWhatItFound) {
  EXPECT_EQ(Run(L"expect button \"Send SMS\" face 20x20\n"), std::nullopt) << "the size alone";
  EXPECT_THAT(Run(L"context-menu #1 Other").value_or(L""),
              HasSubstr(L"expected the context menu of #1 with \"Other\", got a menu with Other"));
  EXPECT_THAT(Run(L"expect ribbon-button TabMail \"Send SMS\" picture 16x16").value_or(L""),
              HasSubstr(L"got \"32x32\""));
}

TEST_F(Runner, WritesTimesAndRegistryValues) {
  CreateKey(HKEY_CURRENT_USER, std::wstring(kTestKey) + L"\\A.B");
  const auto failure =
      Run(L"type TestForm.Text1 \"{now+12h}\"\n"
          L"expect text TestForm.Text1 {now+12h}\n"
          L"set-registry NewBar \"1\"\n"
          L"expect registry NewBar 1\n"
          L"delete-registry NewBar\n"
          L"expect no-registry NewBar\n"
          L"set-registry Account {now:yyyy}\n"
          L"set-addin-value A.B RequireShutdownNotification 1\n");
  EXPECT_EQ(failure, std::nullopt);
  const UniqueKey addin = OpenKey(HKEY_CURRENT_USER, std::wstring(kTestKey) + L"\\A.B");
  ASSERT_TRUE(addin);
  EXPECT_EQ(ReadDword(addin.get(), L"RequireShutdownNotification"), 1U);
  EXPECT_THAT(Run(L"set-addin-value Missing.Addin X 1").value_or(L""),
              HasSubstr(L"expected to set X in the add-in key of Missing.Addin, got no such key"));
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const UniqueKey key = OpenKey(HKEY_CURRENT_USER, kTestKey);
  ASSERT_TRUE(key);
  const auto year = ReadText(key.get(), L"Account");
  ASSERT_TRUE(year);
  EXPECT_EQ(std::stoi(*year), now.wYear);
  const std::wstring typed = WindowText(FindControl(form_.window, L"Text1"));
  EXPECT_EQ(typed.size(), std::wstring(L"05 Dec 26 17:30").size());
}

TEST_F(Runner, ArrangesAndChecksFilesBesideTheAddin) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "parvel_runner_addin";
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "T.txt";
  host_.addin_folder = folder;
  EXPECT_EQ(Run(L"expect no-file {addin}\\T.txt\n"
                L"write-file {addin}\\T.txt %LABEL%Caf\u00e9 \"two words\"\n"
                L"expect file {addin}/T.txt %LABEL%Caf\u00e9 \"two words\"\n"
                L"read-only {addin}\\T.txt yes\n"),
            std::nullopt);
  EXPECT_EQ(ReadBytes(file), "%LABEL%Caf\xE9\r\ntwo words\r\n")
      << "ANSI bytes, CR LF after each line";
  EXPECT_NE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

  EXPECT_EQ(Run(L"read-only {addin}\\T.txt no\n"
                L"expect file {addin}\\T.txt one\n"),
            L"t.scn:2: expected file {addin}\\T.txt with \"one\", got \"%LABEL%Caf\u00e9\" "
            L"\"two words\"");
  EXPECT_EQ(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  std::ofstream(file, std::ios::binary) << "a\r\nb";
  EXPECT_EQ(Run(L"expect file {addin}\\T.txt a b\n"),
            L"t.scn:1: expected file {addin}\\T.txt with \"a\" \"b\", got \"a\" \"b\" (the last "
            L"without CR LF)");
  std::filesystem::remove_all(folder);

  host_.addin_folder.reset();
  EXPECT_EQ(Run(L"expect no-file {addin}\\T.txt\n"),
            L"t.scn:1: expected a loaded add-in for {addin}\\T.txt, got none");
}

TEST_F(Runner, MakesTheSettingsKeyRefuseWritesUntilTheRunEnds) {
  const auto writable = [] {
    HKEY key = nullptr;
    const LONG code = RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_SET_VALUE, &key);
    if (code == ERROR_SUCCESS) RegCloseKey(key);
    return code;
  };
  EXPECT_EQ(Run(L"set-registry Account a\n"
                L"read-only-registry yes\n"
                L"expect registry Account a\n"
                L"set-registry Account b\n"),
            L"t.scn:4: expected to set Account, got a registry error");
  EXPECT_EQ(writable(), ERROR_SUCCESS) << "permissions restored at the end of the run";
}

// Width and height of a BMP file; none when it is not one.
std::optional<std::pair<LONG, LONG>> BmpSize(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  BITMAPFILEHEADER file_header{};
  BITMAPINFOHEADER header{};
  in.read(reinterpret_cast<char*>(&file_header), sizeof file_header);
  in.read(reinterpret_cast<char*>(&header), sizeof header);
  if (!in || file_header.bfType != 0x4D42) return std::nullopt;
  return std::pair{header.biWidth, header.biHeight};
}

std::wstring Escaped(const std::filesystem::path& file) {
  std::wstring quoted;
  for (const wchar_t ch : file.wstring())
    quoted += ch == L'\\' ? std::wstring(L"\\\\") : std::wstring(1, ch);
  return L"\"" + quoted + L"\"";
}

TEST_F(Runner, TakesScreenshotsOfOneWindowAndOfTheMessageBox) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::filesystem::path form_shot = folder / "parvel_runner_form.bmp";
  const std::filesystem::path box_shot = folder / "parvel_runner_box.bmp";
  std::filesystem::remove(form_shot);
  std::filesystem::remove(box_shot);
  RECT form{};
  GetWindowRect(form_.window, &form);
  const auto failure = Run(L"screenshot " + Escaped(form_shot) +
                           L" TestForm\n"
                           L"click TestForm.Command1\n"
                           L"screenshot " +
                           Escaped(box_shot) +
                           L" messagebox\n"
                           L"expect messagebox Title Clicked\n");
  EXPECT_EQ(failure, std::nullopt);
  EXPECT_EQ(BmpSize(form_shot), (std::pair{form.right - form.left, form.bottom - form.top}));
  const auto box_size = BmpSize(box_shot);
  ASSERT_TRUE(box_size.has_value());
  EXPECT_LT(box_size->first, form.right - form.left) << "the box alone, not the form behind it";
  EXPECT_GT(box_size->first, 0);
  std::filesystem::remove(form_shot);
  std::filesystem::remove(box_shot);

  EXPECT_EQ(Run(L"screenshot x.bmp messagebox"), L"t.scn:1: expected a message box, got none");
  EXPECT_EQ(Run(L"screenshot x.bmp OLAccount"),
            L"t.scn:1: expected window OLAccount open, got none");
}

// The colour of a BMP file's pixel, counted from the top left; none when the
// file is not a 24-bit BMP or the pixel is outside.
std::optional<COLORREF> BmpPixel(const std::filesystem::path& file, LONG x, LONG y) {
  std::ifstream in(file, std::ios::binary);
  BITMAPFILEHEADER file_header{};
  BITMAPINFOHEADER header{};
  in.read(reinterpret_cast<char*>(&file_header), sizeof file_header);
  in.read(reinterpret_cast<char*>(&header), sizeof header);
  if (!in || file_header.bfType != 0x4D42 || header.biBitCount != 24) return std::nullopt;
  if (x < 0 || y < 0 || x >= header.biWidth || y >= header.biHeight) return std::nullopt;
  const LONG stride = (header.biWidth * 3 + 3) / 4 * 4;
  in.seekg(static_cast<std::streamoff>(file_header.bfOffBits) + (header.biHeight - 1 - y) * stride +
           x * 3);
  unsigned char bgr[3] = {};
  in.read(reinterpret_cast<char*>(bgr), 3);
  if (!in) return std::nullopt;
  return RGB(bgr[2], bgr[1], bgr[0]);
}

// A picture shows the windows as they are once the window thread has handled
// what the scenario posted, painted and on the screen: the click turns the
// form red, painted only when the form next paints.
TEST_F(Runner, TakesThePictureOnceTheWindowsHavePainted) {
  const std::filesystem::path shot =
      std::filesystem::temp_directory_path() / "parvel_runner_painted.bmp";
  std::vector<COLORREF> seen;
  for (int round = 0; round < 3; ++round) {
    std::filesystem::remove(shot);
    EXPECT_EQ(Run(L"click TestForm.Command4\nscreenshot " + Escaped(shot) + L"\n"), std::nullopt);
    // Below the controls, in the form's client area (the whole process is
    // taken: the form alone, at 40, 40).
    seen.push_back(BmpPixel(shot, 300, 360).value_or(0));
  }
  EXPECT_THAT(seen, ElementsAre(RGB(200, 30, 30), RGB(30, 30, 200), RGB(200, 30, 30)));
  std::filesystem::remove(shot);
}

TEST_F(Runner, NamesTheFirstExpectationThatFailsAndWhatItFound) {
  EXPECT_EQ(Run(L"# first line\ntype TestForm.Text1 abc\nexpect text TestForm.Text1 "
                L"\"x\\r\\n\"\nexpect outbox 9\n"),
            L"t.scn:3: expected TestForm.Text1 showing \"x\\r\\n\", got \"abc\"");
  EXPECT_EQ(Run(L"click TestForm.Command2"),
            L"t.scn:1: expected TestForm.Command2 shown and enabled, got it disabled");
  EXPECT_EQ(Run(L"type TestForm.Text4 x"),
            L"t.scn:1: expected TestForm.Text4 to take typing, got it read-only");
  EXPECT_EQ(Run(L"click TestForm.Command9"),
            L"t.scn:1: expected TestForm.Command9 shown and enabled, got no control Command9 in "
            L"TestForm");
  EXPECT_EQ(Run(L"expect text Other.Text1 x"),
            L"t.scn:1: expected Other.Text1 showing \"x\", got no open window Other");
  EXPECT_EQ(Run(L"expect messagebox A B"),
            L"t.scn:1: expected message box \"A\" \"B\", got no message box");
  EXPECT_EQ(Run(L"expect rows TestForm.List1 First"),
            L"t.scn:1: expected TestForm.List1 with \"First\", got \"First\" \"Second\" \"Third\"");
  EXPECT_EQ(Run(L"select TestForm.ListView1 Nobody"),
            L"t.scn:1: expected row \"Nobody\" in TestForm.ListView1, got \"Bell, Anna|021\" "
            L"\"Ngata, Ben|022\" "
            L"\"Smith, Chloe|027\"");
  EXPECT_EQ(Run(L"type TestForm.Text1 a\nexpect focus TestForm.Text2"),
            L"t.scn:2: expected the focus on TestForm.Text2, got the focus on TestForm.Text1");
  EXPECT_EQ(Run(L"expect closed TestForm"),
            L"t.scn:1: expected window TestForm closed, got it open");
  EXPECT_EQ(Run(L"expect bar Advanced"),
            L"t.scn:1: expected toolbar Advanced with nothing, got no shown toolbar Advanced");
  EXPECT_EQ(Run(L"expect mail 2 to x"), L"t.scn:1: expected mail 2 to \"x\", got 1 mails");
  EXPECT_EQ(
      Run(L"click TestForm.Command1\nexpect messagebox Title Other"),
      L"t.scn:2: expected message box \"Title\" \"Other\", got message box \"Title\" \"Clicked\"");
}

// A first-run message that a used prefix does not show: the box is answered
// when it comes, and the window opening without it ends the wait as well.
TEST_F(Runner, AnswersAMessageBoxThatMayNotCome) {
  EXPECT_EQ(Run(L"click TestForm.Command1\n"
                L"expect messagebox Title Clicked or open TestForm\n"
                L"expect messagebox Title Clicked or open TestForm\n"
                L"click TestForm.Command3\n"
                L"expect messagebox Confirm Sure? no or open TestForm\n"),
            std::nullopt);
  EXPECT_THAT(form_.events, ElementsAre(L"Command1 " + std::to_wstring(BN_CLICKED), L"box closed",
                                        L"Command3 " + std::to_wstring(BN_CLICKED),
                                        L"answer " + std::to_wstring(IDNO)));
  EXPECT_EQ(Run(L"expect messagebox A B or open Other"),
            L"t.scn:1: expected message box \"A\" \"B\" or window Other open, got no message box");
  EXPECT_EQ(Run(L"click TestForm.Command1\nexpect messagebox Title Other or open TestForm"),
            L"t.scn:2: expected message box \"Title\" \"Other\" or window TestForm open, got "
            L"message box \"Title\" \"Clicked\"");
}

TEST_F(Runner, DoesNotReachAWindowThatAModalBoxDisables) {
  EXPECT_EQ(Run(L"click TestForm.Command1\nclick TestForm.Command3"),
            L"t.scn:2: expected TestForm.Command3 shown and enabled, got its window disabled by a "
            L"modal window");
}

// Centred, inside the screen, right of and left of: the placement scenario
// checks these on the add-in's windows.
TEST_F(Runner, MovesWindowsAndChecksWhereTheyAre) {
  // A second window, inside the form (40,40 600 x 400).
  const HWND inner = CreateWindowExW(0, L"STATIC", L"Inner", WS_POPUP | WS_VISIBLE, 240, 190, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
  NameWindow(inner, L"Inner");
  EXPECT_EQ(Run(L"expect placed Inner inside TestForm\n"
                L"move Inner -160 40\n"
                L"expect placed Inner beside TestForm\n"),
            std::nullopt);
  EXPECT_THAT(Run(L"expect placed Inner right-of TestForm").value_or(L""),
              HasSubstr(L"expected Inner right of TestForm, got (-160,40)-(40,140) against "));
  EXPECT_THAT(Run(L"move Inner beyond 40\nexpect placed Inner inside screen").value_or(L""),
              HasSubstr(L"expected Inner inside the work area of its monitor, got "));
  UnnameWindow(inner);
  DestroyWindow(inner);
}

TEST_F(Runner, ChecksTheClipboardAndTheEntriesOfAContextMenu) {
  ASSERT_TRUE(CopyToClipboard(L"copied", true));
  clipboard_sequence_ = GetClipboardSequenceNumber();
  // A clipboard that holds the text and image copied, untouched, the clipboard
  // scenario checks; here, what the runner says when it does not.
  EXPECT_EQ(Run(L"expect clipboard image 16x16\n"
                L"expect context-menu \"Bell, Anna\" #2 : \"Send SMS\"\n"
                L"open-context-menu #1 \"Smith, Chloe\"\n"),
            std::nullopt);
  EXPECT_EQ(host_.chosen_rows, (std::vector<ItemRef>{{.text = L"Bell, Anna"}, {.position = 2}}));
  EXPECT_EQ(host_.opened_rows, (std::vector<ItemRef>{{.position = 1}, {.text = L"Smith, Chloe"}}));
  ASSERT_TRUE(CopyToClipboard(L"other", false));
  EXPECT_THAT(Run(L"expect clipboard touched no").value_or(L""), HasSubstr(L"got yes"));
  EXPECT_THAT(Run(L"expect clipboard image copied").value_or(L""), HasSubstr(L"got \"none\""));
  EXPECT_THAT(Run(L"expect clipboard text copied").value_or(L""), HasSubstr(L"got \"other\""));
  EXPECT_THAT(Run(L"expect context-menu #1 :").value_or(L""), HasSubstr(L"got \"Send SMS\""));
}

}  // namespace
}  // namespace parvel::standin
