#include "standin_host/scenario_runner_win.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "request/delayed_send.h"
#include "standin_host/clipboard_win.h"
#include "standin_host/registry_win.h"
#include "standin_host/scenario_files_win.h"
#include "standin_host/screenshot_win.h"
#include "standin_host/time_text.h"
#include "standin_host/virtual_monitors_win.h"
#include "standin_host/window_query_win.h"

namespace parvel::standin {
namespace {

using Clock = std::chrono::steady_clock;
using Rows = std::vector<std::vector<std::wstring>>;
constexpr auto kPollInterval = std::chrono::milliseconds(50);

struct StepFailure {
  std::wstring text;
};

LocalTime Now(long long minutes_back = 0) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return AddMinutes({.year = now.wYear,
                     .month = now.wMonth,
                     .day = now.wDay,
                     .hour = now.wHour,
                     .minute = now.wMinute},
                    -minutes_back);
}

// The text as the step means it now.
std::wstring Written(const std::wstring& text) { return ExpandTimes(text, Now()); }

// A time written in an expectation also matches the minute before: the
// window may have taken it just before the minute turned.
bool Matches(const std::wstring& actual, const std::wstring& expected) {
  return actual == ExpandTimes(expected, Now()) || actual == ExpandTimes(expected, Now(1));
}

std::wstring Quote(const std::wstring& text) {
  std::wstring quoted = L"\"";
  for (const wchar_t ch : text) {
    if (ch == L'\r') {
      quoted += L"\\r";
    } else if (ch == L'\n') {
      quoted += L"\\n";
    } else if (ch == L'\t') {
      quoted += L"\\t";
    } else if (ch == L'"' || ch == L'\\') {
      quoted += L'\\';
      quoted += ch;
    } else {
      quoted += ch;
    }
  }
  return quoted + L"\"";
}

std::wstring RowsText(const Rows& rows) {
  if (rows.empty()) return L"no rows";
  std::wstring text;
  for (const auto& row : rows) {
    std::wstring joined;
    for (std::size_t i = 0; i < row.size(); ++i) joined += (i > 0 ? L"|" : L"") + row[i];
    text += (text.empty() ? L"" : L" ") + Quote(joined);
  }
  return text;
}

std::wstring ListText(const std::vector<std::wstring>& items) {
  std::wstring text;
  for (const std::wstring& item : items) text += (text.empty() ? L"" : L" ") + Quote(item);
  return text.empty() ? L"nothing" : text;
}

std::wstring YesNo(bool value) { return value ? L"yes" : L"no"; }

void Notify(HWND control, UINT code, NMHDR& header) {
  header.hwndFrom = control;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  header.code = code;
  SendMessageW(GetParent(control), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void Command(HWND control, UINT code) {
  const int id = GetDlgCtrlID(control);
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, code),
               reinterpret_cast<LPARAM>(control));
}

// The row's centre in the list's client area, where a click would land.
POINT ItemCentre(HWND list, int item) {
  RECT rect{};
  rect.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ItemNotify(HWND list, UINT code, int item, UINT keys = 0) {
  NMITEMACTIVATE activate{};
  activate.iItem = item;
  activate.iSubItem = 0;
  activate.ptAction = ItemCentre(list, item);
  activate.uKeyFlags = keys;
  Notify(list, code, activate.hdr);
}

// Makes the windows show their present state on the screen, for a picture:
// a window of another thread first handles what was sent to it before (a
// round trip); each is then invalidated whole and painted at once, and the
// calling thread waits for no message but lets its windows' painting reach
// the screen (Wine copies a window's painting to the X server when its thread
// turns to waiting for messages).
void PaintForPicture(const std::vector<HWND>& windows) {
  for (HWND window : windows) {
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  GdiFlush();
  MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

class ScenarioRunner::Step {
 public:
  explicit Step(ScenarioRunner& runner)
      : ui_(runner.ui_), host_(runner.host_), settings_(runner.settings_) {}

  void operator()(const action::Press& press) {
    const std::wstring caption = Written(press.caption);
    HWND button = FindUntil(L"a shown, enabled toolbar button " + Quote(caption), [&]() -> Found {
      HWND window = host_.ToolbarButton(caption);
      if (window == nullptr) return {nullptr, L"none"};
      if (!IsWindowEnabled(window)) return {nullptr, L"a disabled button"};
      return {window, {}};
    });
    PostMessageW(button, BM_CLICK, 0, 0);
    Settle();
  }

  void operator()(const action::RibbonClick& click) {
    const std::wstring label = Written(click.label);
    HWND button = FindUntil(L"a shown, enabled ribbon button " + Quote(label) + L" on " + click.tab,
                            [&]() -> Found {
                              HWND window = host_.RibbonButton(click.tab, label);
                              if (window == nullptr) return {nullptr, L"none"};
                              if (!IsWindowEnabled(window)) return {nullptr, L"a disabled button"};
                              return {window, {}};
                            });
    PostMessageW(button, BM_CLICK, 0, 0);
    Settle();
  }

  void operator()(const action::ContextMenu& menu) {
    const std::wstring entry = Written(menu.entry);
    std::wstring rows;
    for (const ItemRef& row : menu.rows) rows += L" " + row.Text();
    // The choice is posted: an entry that shows a message box does not hold
    // up the driver.
    Expect(L"the context menu of" + rows + L" with " + Quote(entry),
           [&] { return host_.ChooseContextMenuEntry(menu.rows, entry); });
    Settle();
  }

  void operator()(const action::OpenContextMenu& menu) {
    std::wstring rows;
    for (const ItemRef& row : menu.rows) rows += L" " + row.Text();
    Expect(L"the context menu of" + rows + L" open",
           [&] { return host_.OpenContextMenu(menu.rows); });
    Settle();
  }

  void operator()(const action::Type& type) {
    HWND control = Usable(type.target);
    std::wstring text = Written(type.text);
    const std::wstring refused = OnUi([&]() -> std::wstring {
      if (ClassName(control) != L"Edit") return {};
      if ((GetWindowLongPtrW(control, GWL_STYLE) & ES_READONLY) != 0) return L"it read-only";
      // Typing stops at the box's limit; only WM_SETTEXT itself would pass it.
      const auto limit = static_cast<std::size_t>(SendMessageW(control, EM_GETLIMITTEXT, 0, 0));
      if (text.size() > limit) text.resize(limit);
      return {};
    });
    if (!refused.empty())
      throw StepFailure{L"expected " + type.target.Text() + L" to take typing, got " + refused};
    OnUi([&] {
      SetFocus(control);
      SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      // A single-line edit box reports the change itself; typing into a
      // multi-line one or a combo box's edit reports it as well.
      const std::wstring type_name = ClassName(control);
      if (type_name == DATETIMEPICK_CLASSW) {
        // A date-and-time picker takes its date, not a text: the text is read
        // as the delayed-send box shows it ("05 Dec 26 17:30").
        const LocalDateTime when = ParseDelayedSendText(text, EnglishLocale());
        SYSTEMTIME time{};
        time.wYear = static_cast<WORD>(when.year);
        time.wMonth = static_cast<WORD>(when.month);
        time.wDay = static_cast<WORD>(when.day);
        time.wHour = static_cast<WORD>(when.hour);
        time.wMinute = static_cast<WORD>(when.minute);
        SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
        NMDATETIMECHANGE change{};
        change.nmhdr.hwndFrom = control;
        change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
        change.nmhdr.code = DTN_DATETIMECHANGE;
        change.dwFlags = GDT_VALID;
        change.st = time;
        SendMessageW(GetParent(control), WM_NOTIFY, change.nmhdr.idFrom,
                     reinterpret_cast<LPARAM>(&change));
      } else if (type_name == L"Edit" &&
                 (GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE) != 0) {
        Command(control, EN_CHANGE);
      } else if (type_name == L"ComboBox") {
        Command(control, CBN_EDITCHANGE);
      }
      return true;
    });
    Settle();
  }

  void operator()(const action::Click& click) {
    PostMessageW(Usable(click.target), BM_CLICK, 0, 0);
    Settle();
  }

  void operator()(const action::SetCheck& check) {
    HWND box = Usable(check.target);
    const bool checked = OnUi([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; });
    if (checked != check.checked) PostMessageW(box, BM_CLICK, 0, 0);
    Settle();
  }

  void operator()(const action::Select& select) {
    HWND list = Usable(select.target);
    std::vector<int> rows;
    for (const ItemRef& row : select.rows) rows.push_back(Row(list, select.target, row));
    OnUi([&] {
      SelectRows(list, rows);
      return true;
    });
    Settle();
  }

  void operator()(const action::DoubleClick& click) {
    HWND list = Usable(click.target);
    const int row = Row(list, click.target, click.row);
    OnUi([&] {
      SelectRows(list, {row});
      if (ClassName(list) == WC_LISTVIEWW) {
        ItemNotify(list, NM_DBLCLK, row);
        ItemNotify(list, LVN_ITEMACTIVATE, row);
      } else {
        Command(list, LBN_DBLCLK);
      }
      return true;
    });
    Settle();
  }

  void operator()(const action::HeaderClick& click) {
    HWND list = Usable(click.target);
    const std::wstring what = L"column " + click.column.Text() + L" in " + click.target.Text();
    const int column = FoundUntil<int>(what, [&]() -> std::pair<std::optional<int>, std::wstring> {
      const std::vector<std::wstring> columns = ListColumns(list);
      if (click.column.position > 0) {
        if (static_cast<std::size_t>(click.column.position) <= columns.size())
          return {click.column.position - 1, {}};
      } else {
        for (std::size_t i = 0; i < columns.size(); ++i) {
          if (columns[i] == click.column.text) return {static_cast<int>(i), {}};
        }
      }
      return {std::nullopt, L"columns " + ListText(columns)};
    });
    OnUi([&] {
      NMLISTVIEW view{};
      view.iItem = -1;
      view.iSubItem = column;
      Notify(list, LVN_COLUMNCLICK, view.hdr);
      return true;
    });
    Settle();
  }

  void operator()(const action::Close& close) {
    HWND window = FindUntil(L"window " + close.window + L" open", [&]() -> Found {
      const std::vector<HWND> shown = ShownWindows(close.window);
      return shown.empty() ? Found{nullptr, L"none"} : Found{shown.front(), {}};
    });
    PostMessageW(window, WM_CLOSE, 0, 0);
    Settle();
  }

  void operator()(const action::LoadAddins&) {
    OnUi([&] {
      host_.LoadAddins();
      return true;
    });
    Settle();
  }

  void operator()(const action::UnloadAddins&) {
    OnUi([&] {
      host_.UnloadAddins();
      return true;
    });
    Settle();
  }

  void operator()(const action::Restart&) {
    OnUi([&] {
      host_.RestartHost();
      return true;
    });
    Settle();
  }

  void operator()(const action::Timer& timer) {
    OnUi([&] {
      host_.MarkTime(timer.label);
      return true;
    });
  }

  void operator()(const action::UnloadAfterCall& unload) {
    OnUi([&] {
      host_.ArmUnload(unload.call, unload.count);
      return true;
    });
  }

  void operator()(const action::SetAddinValue& set) {
    const UniqueKey key =
        OpenKey(HKEY_CURRENT_USER, settings_.addins_key + L"\\" + set.prog_id, KEY_SET_VALUE);
    const auto value = static_cast<DWORD>(set.value);
    if (!key ||
        RegSetValueExW(key.get(), set.name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof value) != ERROR_SUCCESS) {
      throw StepFailure{L"expected to set " + set.name + L" in the add-in key of " + set.prog_id +
                        L", got no such key"};
    }
  }

  void operator()(const action::SetRegistry& set) {
    const UniqueKey key = CreateKey(HKEY_CURRENT_USER, settings_.registry_key);
    if (!key || !SetText(key.get(), set.name.c_str(), Written(set.value))) {
      throw StepFailure{L"expected to set " + set.name + L", got a registry error"};
    }
  }

  void operator()(const action::DeleteRegistry& remove) {
    const UniqueKey key = OpenKey(HKEY_CURRENT_USER, settings_.registry_key, KEY_SET_VALUE);
    if (key) RegDeleteValueW(key.get(), remove.name.c_str());
  }

  void operator()(const action::Screenshot& shot) {
    std::vector<HWND> windows;
    if (shot.window == action::kMessageBoxShot) {
      windows.push_back(FindUntil(L"a message box", [&]() -> Found {
        const std::vector<ShownMessageBox> boxes = MessageBoxes();
        return boxes.empty() ? Found{nullptr, L"none"} : Found{boxes.front().window, {}};
      }));
    } else if (!shot.window.empty()) {
      windows.push_back(FindUntil(L"window " + shot.window + L" open", [&]() -> Found {
        const std::vector<HWND> shown = ShownWindows(shot.window);
        return shown.empty() ? Found{nullptr, L"none"} : Found{shown.front(), {}};
      }));
    }
    // Queued behind what the scenario posted, so the window thread has
    // handled it all; then every window shown is painted anew, frames and
    // controls included (the host's own window too when the picture takes the
    // whole process: under Wine a window another one opened over can be left
    // unpainted), and the painting reaches the screen before it is read.
    const std::wstring error = OnUi([&]() -> std::wstring {
      if (windows.empty()) windows = ProcessWindows();
      PaintForPicture(windows);
      try {
        SaveScreenshot(shot.file, windows);
        return {};
      } catch (const std::exception& failure) {
        return std::wstring(failure.what(), failure.what() + std::strlen(failure.what()));
      }
    });
    if (!error.empty())
      throw StepFailure{L"expected a screenshot in " + shot.file + L", got " + error};
  }

  void operator()(const expect::MsgBox& box) {
    std::wstring expected =
        L"message box " + Quote(Written(box.title)) + L" " + Quote(Written(box.text));
    if (!box.or_open.empty()) expected += L" or window " + box.or_open + L" open";
    // A window that opens with no such box before it ends the wait with
    // nothing to press: the box comes first whenever it comes at all.
    bool opened_instead = false;
    HWND window = FindUntil(expected, [&]() -> Found {
      const std::vector<ShownMessageBox> boxes = MessageBoxes();
      for (const ShownMessageBox& shown : boxes) {
        if (Matches(shown.title, box.title) && Matches(shown.text, box.text))
          return {shown.window, {}};
      }
      if (boxes.empty() && !box.or_open.empty() && !ShownWindows(box.or_open).empty()) {
        opened_instead = true;
        return {GetDesktopWindow(), {}};
      }
      if (boxes.empty()) return {nullptr, L"no message box"};
      return {nullptr,
              L"message box " + Quote(boxes.back().title) + L" " + Quote(boxes.back().text)};
    });
    if (box.button == 0 || opened_instead) return;  // left open, or the window came instead
    HWND button = OnUi([&] { return GetDlgItem(window, box.button); });
    if (button == nullptr)
      throw StepFailure{L"expected a button " + box.button_name + L" in the message box, got none"};
    PostMessageW(button, BM_CLICK, 0, 0);
    Settle();
  }

  void operator()(const expect::Text& text) {
    Expect(text.target.Text() + L" showing " + Quote(Written(text.text)),
           [&]() -> std::optional<std::wstring> {
             const auto [control, missing] = Locate(text.target);
             if (control == nullptr) return missing;
             const std::wstring actual = WindowText(control);
             if (Matches(actual, text.text)) return std::nullopt;
             return Quote(actual);
           });
  }

  void operator()(const expect::Rows& rows) {
    Rows expected;
    for (const auto& row : rows.rows) {
      auto& written = expected.emplace_back();
      for (const std::wstring& cell : row) written.push_back(Written(cell));
    }
    Expect(rows.target.Text() + L" with " + RowsText(expected),
           [&]() -> std::optional<std::wstring> {
             const auto [control, missing] = Locate(rows.target);
             if (control == nullptr) return missing;
             const Rows actual = ListRows(control);
             bool same = actual.size() == rows.rows.size();
             for (std::size_t r = 0; same && r < actual.size(); ++r) {
               same = actual[r].size() == rows.rows[r].size();
               for (std::size_t c = 0; same && c < actual[r].size(); ++c)
                 same = Matches(actual[r][c], rows.rows[r][c]);
             }
             if (same) return std::nullopt;
             return RowsText(actual);
           });
  }

  void operator()(const expect::RowCount& count) {
    Expect(count.target.Text() + L" with " + (count.at_least ? L"at least " : L"") +
               std::to_wstring(count.count) + L" rows",
           [&]() -> std::optional<std::wstring> {
             const auto [control, missing] = Locate(count.target);
             if (control == nullptr) return missing;
             const int rows = RowCount(control);
             if (rows == count.count || (count.at_least && rows > count.count)) return std::nullopt;
             return std::to_wstring(rows) + L" rows";
           });
  }

  void operator()(const expect::Focus& focus) {
    Expect(L"the focus on " + focus.target.Text(), [&]() -> std::optional<std::wstring> {
      const auto [control, missing] = Locate(focus.target);
      HWND focused = GetFocus();
      if (control != nullptr && focused == control) return std::nullopt;
      return L"the focus on " + Describe(focused);
    });
  }

  void operator()(const expect::Open& open) {
    Expect(L"window " + open.window + (open.open ? L" open" : L" closed"),
           [&]() -> std::optional<std::wstring> {
             const bool shown = !ShownWindows(open.window).empty();
             if (shown == open.open) return std::nullopt;
             return shown ? L"it open" : L"it closed";
           });
  }

  void operator()(const expect::WindowCount& count) {
    Expect(std::to_wstring(count.count) + L" windows " + count.window,
           [&]() -> std::optional<std::wstring> {
             const std::size_t shown = ShownWindows(count.window).size();
             if (shown == static_cast<std::size_t>(count.count)) return std::nullopt;
             return std::to_wstring(shown);
           });
  }

  void operator()(const expect::Outbox& outbox) {
    Expect(std::to_wstring(outbox.count) + L" mails in the outbox",
           [&]() -> std::optional<std::wstring> {
             const std::size_t mails = host_.Mails().size();
             if (mails == static_cast<std::size_t>(outbox.count)) return std::nullopt;
             return std::to_wstring(mails);
           });
  }

  void operator()(const expect::Mail& mail) {
    static const wchar_t* const kFields[] = {L"to", L"subject", L"body", L"state", L"file"};
    const std::wstring field = kFields[static_cast<int>(mail.field)];
    Expect(
        L"mail " + std::to_wstring(mail.number) + L" " + field + L" " + Quote(Written(mail.text)),
        [&]() -> std::optional<std::wstring> {
          const std::vector<MailFacts> mails = host_.Mails();
          if (static_cast<std::size_t>(mail.number) > mails.size()) {
            return std::to_wstring(mails.size()) + L" mails";
          }
          const MailFacts& facts = mails[static_cast<std::size_t>(mail.number - 1)];
          const std::wstring* actual[] = {&facts.to, &facts.subject, &facts.body, &facts.state,
                                          &facts.file};
          const std::wstring& value = *actual[static_cast<int>(mail.field)];
          if (Matches(value, mail.text)) return std::nullopt;
          return Quote(value);
        });
  }

  void operator()(const expect::Bar& bar) {
    std::vector<std::wstring> expected;
    for (const std::wstring& caption : bar.captions) expected.push_back(Written(caption));
    Expect(L"toolbar " + bar.name + L" with " + ListText(expected),
           [&]() -> std::optional<std::wstring> {
             const auto shown = host_.ShownBar(bar.name);
             if (!shown) return L"no shown toolbar " + bar.name;
             if (*shown == expected) return std::nullopt;
             return ListText(*shown);
           });
  }

  void operator()(const expect::Button& button) {
    static const wchar_t* const kProperties[] = {L"tag",     L"onaction", L"style",
                                                 L"enabled", L"visible",  L"face"};
    const std::wstring caption = Written(button.caption);
    const std::wstring value = Written(button.value);
    Expect(L"button " + Quote(caption) + L" " + kProperties[static_cast<int>(button.property)] +
               L" " + Quote(value),
           [&]() -> std::optional<std::wstring> {
             const std::optional<ButtonFacts> facts = host_.Button(caption);
             if (!facts) return L"no such button";
             std::wstring actual;
             switch (button.property) {
               case expect::ButtonProperty::Tag:
                 actual = facts->tag;
                 break;
               case expect::ButtonProperty::OnAction:
                 actual = facts->on_action;
                 break;
               case expect::ButtonProperty::Style:
                 actual = std::to_wstring(facts->style);
                 break;
               case expect::ButtonProperty::Enabled:
                 actual = YesNo(facts->enabled);
                 break;
               case expect::ButtonProperty::Visible:
                 actual = YesNo(facts->visible);
                 break;
               case expect::ButtonProperty::Face:
                 actual = facts->face.value_or(L"none");
                 // "20x20" asks for the size only.
                 if (value.find(L'/') == std::wstring::npos)
                   actual = actual.substr(0, actual.find(L'/'));
                 break;
             }
             if (actual == value) return std::nullopt;
             return Quote(actual);
           });
  }

  void operator()(const expect::RibbonGroup& group) {
    std::vector<std::wstring> expected;
    for (const std::wstring& label : group.labels) expected.push_back(Written(label));
    Expect(L"ribbon group " + Quote(group.group) + L" on " + group.tab + L" with " +
               ListText(expected),
           [&]() -> std::optional<std::wstring> {
             const auto shown = host_.RibbonGroup(group.tab, group.group);
             if (!shown)
               return expected.empty() ? std::nullopt
                                       : std::optional<std::wstring>(L"no such group");
             if (*shown == expected && !expected.empty()) return std::nullopt;
             return ListText(*shown);
           });
  }

  void operator()(const expect::RibbonButton& button) {
    const std::wstring label = Written(button.label);
    const std::wstring value = Written(button.value);
    const bool enabled = button.property == expect::RibbonProperty::Enabled;
    Expect(L"ribbon button " + Quote(label) + L" on " + button.tab +
               (enabled ? L" enabled " : L" picture ") + Quote(value),
           [&]() -> std::optional<std::wstring> {
             const std::optional<RibbonButtonFacts> facts =
                 host_.RibbonButtonState(button.tab, label);
             if (!facts) return L"no such button";
             const std::wstring actual =
                 enabled ? YesNo(facts->enabled) : facts->picture.value_or(L"none");
             if (actual == value) return std::nullopt;
             return Quote(actual);
           });
  }

  void operator()(const expect::State& state) {
    const wchar_t* names[] = {L" checked ", L" enabled ", L" visible "};
    Expect(state.target.Text() + names[static_cast<int>(state.state)] + YesNo(state.value),
           [&]() -> std::optional<std::wstring> {
             const auto [control, missing] = Locate(state.target);
             if (control == nullptr) return missing;
             bool actual = false;
             switch (state.state) {
               case expect::ControlState::Checked:
                 actual = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
                 break;
               case expect::ControlState::Enabled:
                 actual = IsWindowEnabled(control) != FALSE;
                 break;
               case expect::ControlState::Visible:
                 // The control's own flag: its window may be hidden as well.
                 actual = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
                 break;
             }
             if (actual == state.value) return std::nullopt;
             return YesNo(actual);
           });
  }

  void operator()(const expect::Registry& registry) {
    const std::wstring wanted = registry.value ? Quote(Written(*registry.value)) : L"absent";
    Expect(
        L"registry value " + registry.name + L" " + wanted,
        [&]() -> std::optional<std::wstring> {
          const UniqueKey key = OpenKey(HKEY_CURRENT_USER, settings_.registry_key);
          const std::optional<std::wstring> actual =
              key ? ReadText(key.get(), registry.name.c_str()) : std::nullopt;
          if (!registry.value && !actual) return std::nullopt;
          if (registry.value && actual && Matches(*actual, *registry.value)) return std::nullopt;
          return actual ? Quote(*actual) : L"absent";
        },
        false);
  }

  void operator()(const action::WriteFile& write) {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : write.lines) lines.push_back(Written(line));
    if (!WriteFileLines(FilePath(write.file), lines))
      throw StepFailure{L"expected to write " + write.file + L", got a write error"};
  }

  void operator()(const action::ReadOnlyFile& change) {
    if (!SetReadOnly(FilePath(change.file), change.read_only)) {
      throw StepFailure{L"expected to make " + change.file +
                        (change.read_only ? L" read-only" : L" writable") + L", got no such file"};
    }
  }

  // The key's permissions come back at the end of the run at the latest.
  void operator()(const action::ReadOnlyRegistry& change) {
    if (!change.read_only) {
      protected_key_.reset();
    } else if (!protected_key_) {
      protected_key_ =
          std::make_unique<WriteProtectedKey>(HKEY_CURRENT_USER, settings_.registry_key);
    }
  }

  void operator()(const expect::File& file) {
    std::optional<std::vector<std::wstring>> wanted;
    if (file.lines) {
      wanted.emplace();
      for (const std::wstring& line : *file.lines) wanted->push_back(Written(line));
    }
    const std::filesystem::path path = FilePath(file.file);
    Expect(
        L"file " + file.file + (wanted ? L" with " + ListText(*wanted) : L" absent"),
        [&]() -> std::optional<std::wstring> {
          const std::optional<FileLines> read = ReadFileLines(path);
          if (!read) return wanted ? std::optional<std::wstring>(L"no such file") : std::nullopt;
          if (!wanted) return L"the file with " + ListText(read->lines);
          if (read->lines == *wanted && read->last_line_ended) return std::nullopt;
          return ListText(read->lines) +
                 (read->last_line_ended ? L"" : L" (the last without CR LF)");
        },
        false);
  }

  // The right edge of the screen (the real monitors), or of every monitor
  // (those played with --monitor as well).
  static int RightEdge(bool real_only) {
    const int real = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    if (real_only) return real;
    LONG right = real;
    for (const PlayedMonitor& monitor : PlayedMonitors())
      right = std::max(right, monitor.monitor.right);
    return static_cast<int>(right);
  }

  void operator()(const action::Move& move) {
    HWND window = FindUntil(L"window " + move.window + L" open", [&]() -> Found {
      const std::vector<HWND> shown = ShownWindows(move.window);
      return shown.empty() ? Found{nullptr, L"none"} : Found{shown.front(), {}};
    });
    OnUi([&] {
      const int x = move.from_right ? RightEdge(move.beyond) + move.x : move.x;
      SetWindowPos(window, nullptr, x, move.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    });
    Settle();
  }

  void operator()(const expect::Placement& placed) {
    static const wchar_t* const kHow[] = {L" inside ", L" centred on ", L" beside ", L" right of ",
                                          L" left of "};
    const bool screen = placed.other == expect::kScreenArea;
    Expect(placed.window + kHow[static_cast<int>(placed.how)] +
               (screen ? L"the work area of its monitor" : placed.other),
           [&]() -> std::optional<std::wstring> {
             const std::vector<HWND> windows = ShownWindows(placed.window);
             if (windows.empty()) return L"no open window " + placed.window;
             RECT window{};
             GetWindowRect(windows.front(), &window);
             RECT other{};
             if (screen) {
               // As the add-in is told, monitors played with --monitor included.
               other = PlayedWorkAreaNear(window);
             } else {
               const std::vector<HWND> others = ShownWindows(placed.other);
               if (others.empty()) return L"no open window " + placed.other;
               GetWindowRect(others.front(), &other);
             }
             return CheckPlaced({window.left, window.top, window.right, window.bottom}, placed.how,
                                {other.left, other.top, other.right, other.bottom});
           });
  }

  void operator()(const expect::Clipboard& clipboard) {
    static const wchar_t* const kWhat[] = {L"clipboard text ", L"clipboard image ",
                                           L"clipboard touched "};
    const std::wstring value = Written(clipboard.value);
    Expect(
        kWhat[static_cast<int>(clipboard.property)] + Quote(value),
        [&]() -> std::optional<std::wstring> {
          if (clipboard.property == expect::ClipboardProperty::Touched) {
            const bool touched = ClipboardSequence() != settings_.clipboard_sequence;
            if (YesNo(touched) == value) return std::nullopt;
            return YesNo(touched);
          }
          const std::optional<ClipboardFacts> facts = ReadClipboard();
          if (!facts) return L"a clipboard held by another program";
          if (clipboard.property == expect::ClipboardProperty::Text) {
            if (facts->text == value) return std::nullopt;
            return facts->text ? Quote(*facts->text) : L"no text";
          }
          const std::wstring image =
              facts->copied_image ? L"copied" : facts->image.value_or(L"none");
          if (image == value || (value != L"copied" && facts->image == value)) return std::nullopt;
          return Quote(image);
        },
        false);
  }

  void operator()(const expect::ContextMenuEntries& menu) {
    std::wstring rows;
    for (const ItemRef& row : menu.rows) rows += L" " + row.Text();
    std::vector<std::wstring> expected;
    for (const std::wstring& label : menu.labels) expected.push_back(Written(label));
    Expect(L"the context menu of" + rows + L" with " + ListText(expected),
           [&]() -> std::optional<std::wstring> {
             std::vector<std::wstring> labels;
             if (std::optional<std::wstring> missing = host_.ContextMenuLabels(menu.rows, labels)) {
               return missing;
             }
             if (labels == expected) return std::nullopt;
             return ListText(labels);
           });
  }

  void operator()(const expect::Addin& addin) {
    Expect(L"add-in " + addin.prog_id + L" " + addin.state, [&]() -> std::optional<std::wstring> {
      const std::wstring state = host_.AddinState(addin.prog_id);
      if (state == addin.state) return std::nullopt;
      return state;
    });
  }

 private:
  struct Found {
    HWND window;
    std::wstring got;
  };

  // Runs work on the window thread and waits for its result.
  template <typename F>
  auto OnUi(F work) -> decltype(work()) {
    using T = decltype(work());
    struct Shared {
      std::mutex mutex;
      std::condition_variable done;
      std::optional<T> value;
      std::exception_ptr error;
      bool finished = false;
    };
    auto shared = std::make_shared<Shared>();
    const bool posted = ui_.Post([shared, work]() mutable {
      std::optional<T> value;
      std::exception_ptr error;
      try {
        value.emplace(work());
      } catch (...) {
        error = std::current_exception();
      }
      const std::lock_guard lock(shared->mutex);
      shared->value = std::move(value);
      shared->error = error;
      shared->finished = true;
      shared->done.notify_all();
    });
    std::unique_lock lock(shared->mutex);
    if (!posted || !shared->done.wait_for(lock, std::chrono::seconds(settings_.response_seconds),
                                          [&] { return shared->finished; })) {
      throw StepFailure{L"expected the host's window thread to respond, got no answer within " +
                        std::to_wstring(settings_.response_seconds) + L" s"};
    }
    if (shared->error) std::rethrow_exception(shared->error);
    return std::move(*shared->value);
  }

  // Waits until everything posted so far has been handled (or the window
  // thread waits in a modal loop, as it does under a message box).
  void Settle() {
    OnUi([] { return true; });
  }

  // Checks on the window thread until the check has no complaint; after the
  // timeout its last complaint fails the step.
  void Expect(const std::wstring& expected,
              const std::function<std::optional<std::wstring>()>& check, bool on_ui = true) {
    const auto deadline = Clock::now() + std::chrono::seconds(settings_.timeout_seconds);
    while (true) {
      const std::optional<std::wstring> complaint = on_ui ? OnUi(check) : check();
      if (!complaint) return;
      if (Clock::now() >= deadline)
        throw StepFailure{L"expected " + expected + L", got " + *complaint};
      std::this_thread::sleep_for(kPollInterval);
    }
  }

  template <typename T>
  T FoundUntil(const std::wstring& expected,
               const std::function<std::pair<std::optional<T>, std::wstring>()>& find) {
    std::optional<T> result;
    Expect(expected, [&]() -> std::optional<std::wstring> {
      auto [value, got] = find();
      if (!value) return got;
      result = value;
      return std::nullopt;
    });
    return *result;
  }

  HWND FindUntil(const std::wstring& expected, const std::function<Found()>& find) {
    return FoundUntil<HWND>(expected, [&]() -> std::pair<std::optional<HWND>, std::wstring> {
      const Found found = find();
      if (found.window == nullptr) return {std::nullopt, found.got};
      return {found.window, {}};
    });
  }

  // The control (or window) named, if its window is open.
  std::pair<HWND, std::wstring> Locate(const ControlRef& ref) {
    const std::vector<HWND> windows = ShownWindows(ref.window);
    if (windows.empty()) return {nullptr, L"no open window " + ref.window};
    if (ref.control.empty()) return {windows.front(), {}};
    for (HWND window : windows) {
      if (HWND control = FindControl(window, ref.control)) return {control, {}};
    }
    return {nullptr, L"no control " + ref.control + L" in " + ref.window};
  }

  // A control a user can act on: shown and enabled.
  HWND Usable(const ControlRef& ref) {
    return FindUntil(ref.Text() + L" shown and enabled", [&]() -> Found {
      const auto [control, missing] = Locate(ref);
      if (control == nullptr) return {nullptr, missing};
      if (!IsWindowVisible(control)) return {nullptr, L"it hidden"};
      if (!IsWindowEnabled(control)) return {nullptr, L"it disabled"};
      // A modal box owned by the window disables it: no click reaches it.
      if (!IsWindowEnabled(GetAncestor(control, GA_ROOT)))
        return {nullptr, L"its window disabled by a modal window"};
      return {control, {}};
    });
  }

  int Row(HWND list, const ControlRef& ref, const ItemRef& row) {
    return FoundUntil<int>(L"row " + row.Text() + L" in " + ref.Text(),
                           [&]() -> std::pair<std::optional<int>, std::wstring> {
                             const Rows rows = ListRows(list);
                             if (row.position > 0) {
                               if (static_cast<std::size_t>(row.position) <= rows.size())
                                 return {row.position - 1, {}};
                             } else {
                               for (std::size_t i = 0; i < rows.size(); ++i) {
                                 if (!rows[i].empty() && Matches(rows[i][0], row.text))
                                   return {static_cast<int>(i), {}};
                               }
                             }
                             return {std::nullopt, RowsText(rows)};
                           });
  }

  // As clicks select: the first row alone, each further row with Ctrl.
  static void SelectRows(HWND list, const std::vector<int>& rows) {
    SetFocus(list);
    const std::wstring type = ClassName(list);
    if (type == WC_LISTVIEWW) {
      LVITEMW clear{};
      clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&clear));
      bool first = true;
      for (const int row : rows) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        ItemNotify(list, NM_CLICK, row, first ? 0 : LVKF_CONTROL);
        first = false;
      }
      return;
    }
    if (type == L"ComboBox") {
      SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(rows.back()), 0);
      Command(list, CBN_SELCHANGE);
      Command(list, CBN_SELENDOK);
      return;
    }
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    if ((style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0) {
      SendMessageW(list, LB_SETSEL, FALSE, -1);
      for (const int row : rows) SendMessageW(list, LB_SETSEL, TRUE, row);
    } else {
      SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(rows.back()), 0);
    }
    Command(list, LBN_SELCHANGE);
  }

  // "{addin}" at the start stands for the loaded add-in's folder.
  std::filesystem::path FilePath(const std::wstring& written) {
    constexpr std::wstring_view kAddin = L"{addin}";
    if (!written.starts_with(kAddin)) return written;
    const std::optional<std::filesystem::path> folder = OnUi([&] { return host_.AddinFolder(); });
    if (!folder) throw StepFailure{L"expected a loaded add-in for " + written + L", got none"};
    std::wstring rest = written.substr(kAddin.size());
    while (!rest.empty() && (rest.front() == L'\\' || rest.front() == L'/')) rest.erase(0, 1);
    return *folder / rest;
  }

  UiDispatcher& ui_;
  ScenarioHost& host_;
  const RunnerSettings& settings_;
  std::unique_ptr<WriteProtectedKey> protected_key_;
};

ScenarioRunner::ScenarioRunner(UiDispatcher& ui, ScenarioHost& host, RunnerSettings settings)
    : ui_(ui), host_(host), settings_(std::move(settings)) {}

std::optional<std::wstring> ScenarioRunner::Run(const std::vector<ScenarioLine>& lines) {
  Step step(*this);
  for (const ScenarioLine& line : lines) {
    try {
      std::visit(step, line.step);
    } catch (const StepFailure& failure) {
      return settings_.file_name + L":" + std::to_wstring(line.line) + L": " + failure.text;
    } catch (const std::exception& error) {
      const std::string what = error.what();
      return settings_.file_name + L":" + std::to_wstring(line.line) + L": " +
             std::wstring(what.begin(), what.end());
    }
  }
  return std::nullopt;
}

}  // namespace parvel::standin
