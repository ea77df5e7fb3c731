#include "standin_host/window_query_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "dialogs/window_names_win.h"

namespace parvel::standin {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId())
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the enumeration passes the list in LPARAM.
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the enumeration passes the list in LPARAM.
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopWindows() {
  std::vector<HWND> windows;
  EnumWindows(&CollectProcessWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, &CollectWindow, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::wstring ItemText(HWND list, int item, int column) {
  std::wstring text(1024, L'\0');
  while (true) {
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText = text.data();
    request.cchTextMax = static_cast<int>(text.size());
    const auto length = static_cast<std::size_t>(SendMessageW(
        list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request)));
    if (length + 1 < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

}  // namespace

void NameWindow(HWND window, const std::wstring& name) {
  const ATOM atom = GlobalAddAtomW(name.c_str());
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a window property is a HANDLE-sized integer.
  SetPropW(window, kWindowNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void UnnameWindow(HWND window) {
  const auto atom =
      static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropW(window, kWindowNameProperty)));
  if (atom != 0) GlobalDeleteAtom(atom);
}

std::wstring WindowName(HWND window) {
  const auto atom =
      static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(window, kWindowNameProperty)));
  if (atom == 0) return {};
  std::array<wchar_t, 256> name{};
  const UINT length = GlobalGetAtomNameW(atom, name.data(), static_cast<int>(name.size()));
  return std::wstring(name.data(), length);
}

std::wstring WindowText(HWND window) {
  const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<std::size_t>(SendMessageW(
      window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(copied, length));
  return text;
}

std::wstring ClassName(HWND window) {
  std::array<wchar_t, 256> name{};
  const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return std::wstring(name.data(), static_cast<std::size_t>(std::max(length, 0)));
}

std::vector<HWND> ShownWindows(const std::wstring& name) {
  std::vector<HWND> shown;
  for (HWND window : TopWindows()) {
    if (IsWindowVisible(window) && WindowName(window) == name) shown.push_back(window);
  }
  return shown;
}

HWND FindControl(HWND window, const std::wstring& name) {
  for (HWND child : Descendants(window)) {
    if (WindowName(child) == name) return child;
  }
  return nullptr;
}

std::wstring Describe(HWND window) {
  if (window == nullptr) return L"nothing";
  const std::wstring name = WindowName(window);
  HWND top = GetAncestor(window, GA_ROOT);
  if (!name.empty()) {
    const std::wstring top_name = top != window ? WindowName(top) : L"";
    return top_name.empty() ? name : top_name + L"." + name;
  }
  return L"a " + ClassName(window) + L" \"" + WindowText(window) + L"\"";
}

std::vector<ShownMessageBox> MessageBoxes() {
  std::vector<ShownMessageBox> boxes;
  for (HWND window : TopWindows()) {
    if (!IsWindowVisible(window) || ClassName(window) != L"#32770") continue;
    HWND text = GetDlgItem(window, kMessageBoxTextId);
    if (text == nullptr) continue;
    boxes.push_back({window, WindowText(window), WindowText(text)});
  }
  return boxes;
}

std::vector<std::vector<std::wstring>> ListRows(HWND list) {
  std::vector<std::vector<std::wstring>> rows;
  const std::wstring type = ClassName(list);
  if (type == WC_LISTVIEWW) {
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const std::size_t columns = std::max<std::size_t>(ListColumns(list).size(), 1);
    for (int item = 0; item < count; ++item) {
      auto& row = rows.emplace_back();
      for (std::size_t column = 0; column < columns; ++column) {
        row.push_back(ItemText(list, item, static_cast<int>(column)));
      }
    }
    return rows;
  }
  const bool combo = type == L"ComboBox";
  const auto count = static_cast<int>(SendMessageW(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    const auto length =
        SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(item), 0);
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
    rows.push_back({text});
  }
  return rows;
}

int RowCount(HWND list) {
  const std::wstring type = ClassName(list);
  UINT message = LB_GETCOUNT;
  if (type == WC_LISTVIEWW) {
    message = LVM_GETITEMCOUNT;
  } else if (type == L"ComboBox") {
    message = CB_GETCOUNT;
  }
  return static_cast<int>(SendMessageW(list, message, 0, 0));
}

std::vector<std::wstring> ListColumns(HWND list) {
  std::vector<std::wstring> columns;
  // NOLINTNEXTLINE(performance-no-int-to-ptr): LVM_GETHEADER returns the window as LRESULT.
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int count =
      header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int column = 0; column < count; ++column) {
    std::array<wchar_t, 512> text{};
    LVCOLUMNW request{};
    request.mask = LVCF_TEXT;
    request.pszText = text.data();
    request.cchTextMax = static_cast<int>(text.size());
    SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&request));
    columns.emplace_back(text.data());
  }
  return columns;
}

std::vector<HWND> ProcessWindows() {
  std::vector<HWND> shown;
  for (HWND window : TopWindows()) {
    if (IsWindowVisible(window)) shown.push_back(window);
  }
  return shown;
}

}  // namespace parvel::standin
