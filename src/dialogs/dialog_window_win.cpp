#include "dialogs/dialog_window_win.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

#include "com/com_module_win.h"
#include "dialogs/keyboard_win.h"
#include "dialogs/window_ids.h"
#include "dialogs/window_names_win.h"
#include "host/host_error.h"
#include "platform/scope_exit.h"
#include "request/system_time_win.h"

namespace parvel::dialogs {
namespace {

constexpr COLORREF kIconKeyColour = RGB(255, 0, 255);
// LVFI_SUBSTRING, the same as LVFI_PARTIAL since Windows Vista; mingw-w64's
// headers lack it.
constexpr UINT kFindSubstring = 0x0004;

// The event a WM_COMMAND notification code stands for; a control's map
// entry names the event, so a code shared by two kinds of control reaches
// only the handler of the kind the map says.
std::optional<ControlEvent> CommandEvent(int code) {
  switch (code) {
    case BN_CLICKED:
      return ControlEvent::Clicked;
    case EN_CHANGE:
      return ControlEvent::Changed;
    case LBN_SELCHANGE:
      return ControlEvent::SelectionChanged;
    default:
      return std::nullopt;
  }
}

using SetDpiContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// SetThreadDpiAwarenessContext where Windows offers it (Windows 10 1703 and
// later), else nullptr.
SetDpiContext DpiContextSetter() {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 == nullptr ? nullptr
                           : reinterpret_cast<SetDpiContext>(reinterpret_cast<void*>(
                                 GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
}

}  // namespace

// Counts the handlers on the stack; the last to end carries out a close that
// was asked for while they ran.
class DialogWindow::Handling {
 public:
  explicit Handling(DialogWindow& window) noexcept : window_(window) { ++window_.handlers_; }
  ~Handling() {
    if (--window_.handlers_ == 0 && window_.close_pending_) {
      window_.close_pending_ = false;
      window_.Close();
    }
  }
  Handling(const Handling&) = delete;
  Handling& operator=(const Handling&) = delete;

 private:
  DialogWindow& window_;
};

DialogWindow::DialogWindow(std::wstring_view window_name, std::span<const ControlName> controls,
                           EscKey esc)
    : window_name_(window_name), controls_(controls.begin(), controls.end()), esc_(esc) {}

DialogWindow::~DialogWindow() {
  if (hwnd_ == nullptr) return;
  // The derived window and its presenter are gone already: the window lets go
  // of this object first, so that what DestroyWindow sends (a focus change,
  // WM_DESTROY) reaches no handler of it.
  const HWND window = hwnd_;
  ForgetWindow();
  DestroyWindow(window);
}

bool DialogWindow::Create(int dialog_id, std::optional<Placement> placement) {
  placement_ = placement;
  static const bool common_controls = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                              ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  static_cast<void>(common_controls);
  // Per-monitor DPI awareness for the add-in's own windows: crisp at every
  // scaling. The host's thread gets its own back.
  const SetDpiContext set_dpi = DpiContextSetter();
  const DPI_AWARENESS_CONTEXT host_dpi =
      set_dpi == nullptr ? nullptr : set_dpi(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  const ScopeExit restore_dpi([set_dpi, host_dpi] {
    if (host_dpi != nullptr) set_dpi(host_dpi);
  });
  // An open window keeps the DLL loaded: the host may ask to unload it at any
  // time, and the window's procedure lives in it.
  module_reference_.emplace();
  loading_ = true;
  bring_forward_when_loaded_ = false;
  const bool created =
      CreateDialogParamW(com::ModuleInstance(), MAKEINTRESOURCEW(dialog_id), nullptr,
                         &DialogWindow::Procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
  loading_ = false;
  if (!created) {
    module_reference_.reset();
    return false;
  }
  if (bring_forward_when_loaded_) BringForward();
  return true;
}

void DialogWindow::BringForward() {
  // Shown during the load, the window would appear half filled under its
  // load's message box.
  if (loading_) {
    bring_forward_when_loaded_ = true;
    return;
  }
  if (hwnd_ == nullptr) return;
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_INITDIALOG passes this object in LPARAM.
    reinterpret_cast<DialogWindow*>(lparam)->hwnd_ = dialog;
  }
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the dialog's user slot holds this object.
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  // Declared first, so released last: whatever the handler lets go of, the
  // object lives until this call is over, and the host objects until the
  // window has closed.
  const std::shared_ptr<void> owner = self->owner_.lock();
  std::optional<Session::Handler> host_objects;
  if (self->session_ != nullptr) host_objects.emplace(*self->session_);
  const Handling handling(*self);
  try {
    return self->Handle(message, wparam, lparam);
  } catch (const host::HostDisconnected&) {
    // The host let go of the add-in while the handler let events run.
  } catch (const std::exception& error) {
    self->ReportUnexpected(host::FailureText(error));
  } catch (...) {
    self->ReportUnexpected(L"unknown failure");
  }
  return TRUE;
}

INT_PTR DialogWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      Name(hwnd_, window_name_);
      for (const ControlName& control : controls_)
        Name(GetDlgItem(hwnd_, control.id), control.name);
      SetDialogKeys(hwnd_, esc_);
      // Before the load, which may show the window or a message box over it.
      if (placement_) Place(hwnd_, *placement_);
      OnInit();
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      const std::optional<ControlEvent> event = CommandEvent(code);
      if (!event || !dispatch_ || !dispatch_(id, *event, 0)) OnCommand(id, code);
      return TRUE;
    }
    case WM_NOTIFY: {
      // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_NOTIFY passes the header in LPARAM.
      auto& header = *reinterpret_cast<NMHDR*>(lparam);
      if (header.code == LVN_GETDISPINFOW) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the header heads this notification.
        FillRow(*reinterpret_cast<NMLVDISPINFOW*>(lparam));
        return TRUE;
      }
      if (header.code == LVN_ODFINDITEMW) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT,
                          FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header)));
        return TRUE;
      }
      const auto id = static_cast<int>(header.idFrom);
      bool handled = false;
      if (dispatch_ && header.code == NM_DBLCLK) {
        handled = dispatch_(id, ControlEvent::DoubleClicked, 0);
      } else if (dispatch_ && header.code == LVN_COLUMNCLICK) {
        handled = dispatch_(id, ControlEvent::ColumnClicked,
                            reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      }
      if (!handled) OnNotify(header);
      return TRUE;
    }
    case WM_CLOSE:
      OnCloseRequest();
      return TRUE;
    case WM_ENDSESSION:
      if (wparam != FALSE) OnSessionEnd();
      return TRUE;
    case WM_SETCURSOR:
      if (!busy_) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DESTROY:
      // Nothing after this reaches the object.
      ForgetWindow();
      return TRUE;
    default:
      return FALSE;
  }
}

void DialogWindow::ForgetWindow() noexcept {
  if (hwnd_ == nullptr) return;
  SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
  ClearDialogKeys(hwnd_);
  for (const ControlName& control : controls_) {
    RemovePropW(GetDlgItem(hwnd_, control.id), kWindowNameProperty);
  }
  RemovePropW(hwnd_, kWindowNameProperty);
  for (const ATOM atom : atoms_) GlobalDeleteAtom(atom);
  atoms_.clear();
  hwnd_ = nullptr;
  module_reference_.reset();
}

void DialogWindow::Name(HWND window, std::wstring_view name) {
  if (window == nullptr) return;
  const std::wstring text(name);
  const ATOM atom = GlobalAddAtomW(text.c_str());
  if (atom == 0) return;
  atoms_.push_back(atom);
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a window property is a HANDLE-sized integer.
  SetPropW(window, kWindowNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

void DialogWindow::ReportUnexpected(const std::wstring& what) {
  MessageBoxW(hwnd_, what.c_str(), L"Parvel", MB_OK | MB_ICONERROR);
}

int DialogWindow::IdOf(std::wstring_view control) const {
  const auto it = std::find_if(controls_.begin(), controls_.end(),
                               [control](const ControlName& c) { return control == c.name; });
  if (it == controls_.end()) throw std::out_of_range("no such control");
  return it->id;
}

HWND DialogWindow::Control(std::wstring_view control) const {
  return GetDlgItem(hwnd_, IdOf(control));
}

void DialogWindow::SetCaption(std::wstring_view caption) {
  SetWindowTextW(hwnd_, std::wstring(caption).c_str());
}

std::wstring DialogWindow::Text(std::wstring_view control) const {
  const HWND window = Control(control);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

void DialogWindow::SetText(std::wstring_view control, std::wstring_view text) {
  SetWindowTextW(Control(control), std::wstring(text).c_str());
}

std::optional<LocalDateTime> DialogWindow::DateTime(std::wstring_view control) const {
  SYSTEMTIME time{};
  if (SendMessageW(Control(control), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) !=
      GDT_VALID) {
    return std::nullopt;
  }
  return FromSystemTime(time);
}

void DialogWindow::SetDateTime(std::wstring_view control, const LocalDateTime& when) {
  SYSTEMTIME time = ToSystemTime(when);
  SendMessageW(Control(control), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

bool DialogWindow::Checked(std::wstring_view control) const {
  return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogWindow::SetChecked(std::wstring_view control, bool checked) {
  SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DialogWindow::SetEnabled(std::wstring_view control, bool enabled) {
  EnableWindow(Control(control), enabled ? TRUE : FALSE);
}

void DialogWindow::SetVisible(std::wstring_view control, bool visible) {
  ShowWindow(Control(control), visible ? SW_SHOW : SW_HIDE);
}

bool DialogWindow::Visible(std::wstring_view control) const {
  return (GetWindowLongW(Control(control), GWL_STYLE) & WS_VISIBLE) != 0;
}

void DialogWindow::Focus(std::wstring_view control) {
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(control)), TRUE);
}

void DialogWindow::SetUpRecipientList(std::wstring_view control, int name_width, int mobile_width) {
  const HWND list = Control(control);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  RECT units{0, 0, name_width, mobile_width};
  MapDialogRect(hwnd_, &units);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  wchar_t name[] = L"Name";
  wchar_t mobile[] = L"Mobile";
  column.pszText = name;
  column.cx = units.right;
  ListView_InsertColumn(list, 0, &column);
  column.pszText = mobile;
  column.cx = units.bottom;
  column.iSubItem = 1;
  ListView_InsertColumn(list, 1, &column);
  // The window owns the icons and shows them in more than one list view; a
  // list view without this style would destroy them with itself.
  SetWindowLongPtrW(list, GWL_STYLE, GetWindowLongPtrW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  if (!images_) {
    images_.reset(ImageList_LoadImageW(com::ModuleInstance(), MAKEINTRESOURCEW(IDB_LIST_ICONS), 16,
                                       0, kIconKeyColour, IMAGE_BITMAP, LR_CREATEDIBSECTION));
  }
  if (images_) ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
}

void DialogWindow::MakeBold(std::initializer_list<std::wstring_view> controls) {
  if (!bold_font_) {
    LOGFONTW font{};
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETFONT returns the font as LRESULT.
    const auto dialog_font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    if (dialog_font == nullptr || GetObjectW(dialog_font, sizeof(font), &font) == 0) return;
    font.lfWeight = FW_BOLD;
    bold_font_.reset(CreateFontIndirectW(&font));
  }
  for (const std::wstring_view control : controls) {
    SendMessageW(Control(control), WM_SETFONT, reinterpret_cast<WPARAM>(bold_font_.get()), TRUE);
  }
}

void DialogWindow::ShowRows(std::wstring_view control, const RecipientList& list) {
  const int id = IdOf(control);
  lists_[id] = &list;
  const HWND view = GetDlgItem(hwnd_, id);
  ListView_SetItemCountEx(view, static_cast<int>(list.Count()), 0);
  // The rows may have moved: the selection follows them, as the list holds it.
  ListView_SetItemState(view, -1, 0, LVIS_SELECTED);
  for (const std::size_t row : list.SelectedIndices()) {
    ListView_SetItemState(view, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
  }
  InvalidateRect(view, nullptr, TRUE);
}

void DialogWindow::ShowAppendedRows(std::wstring_view control, const RecipientList& list) {
  const int id = IdOf(control);
  lists_[id] = &list;
  // Only new rows that come into view are drawn; the selection stays.
  ListView_SetItemCountEx(GetDlgItem(hwnd_, id), static_cast<int>(list.Count()),
                          LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void DialogWindow::SetBusy(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void DialogWindow::ClearList(std::wstring_view control) {
  SendMessageW(Control(control), LB_RESETCONTENT, 0, 0);
}

void DialogWindow::AddListItem(std::wstring_view control, std::wstring_view text, int data) {
  const HWND list = Control(control);
  const std::wstring item(text);
  const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (index < 0) throw std::runtime_error("the list box refused an entry");
  SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::size_t DialogWindow::ListCount(std::wstring_view control) const {
  const LRESULT count = SendMessageW(Control(control), LB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<std::size_t>(count);
}

ListItem DialogWindow::ListItemAt(std::wstring_view control, std::size_t index) const {
  const HWND list = Control(control);
  const auto at = static_cast<WPARAM>(index);
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, at, 0);
  if (length < 0) throw std::out_of_range("no such list entry");
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(list, LB_GETTEXT, at, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
  return {.text = std::move(text),
          .data = static_cast<int>(SendMessageW(list, LB_GETITEMDATA, at, 0))};
}

std::optional<std::size_t> DialogWindow::ListIndex(std::wstring_view control) const {
  const LRESULT index = SendMessageW(Control(control), LB_GETCURSEL, 0, 0);
  if (index < 0) return std::nullopt;
  return static_cast<std::size_t>(index);
}

void DialogWindow::SetListIndex(std::wstring_view control, std::size_t index) {
  SendMessageW(Control(control), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::vector<std::size_t> DialogWindow::SelectedRows(std::wstring_view control) const {
  const HWND view = Control(control);
  std::vector<std::size_t> rows;
  for (int index = ListView_GetNextItem(view, -1, LVNI_SELECTED); index >= 0;
       index = ListView_GetNextItem(view, index, LVNI_SELECTED)) {
    rows.push_back(static_cast<std::size_t>(index));
  }
  return rows;
}

void DialogWindow::FillRow(NMLVDISPINFOW& info) const {
  const auto list = lists_.find(static_cast<int>(info.hdr.idFrom));
  if (list == lists_.end() || info.item.iItem < 0) return;
  const auto& rows = list->second->Rows();
  const auto index = static_cast<std::size_t>(info.item.iItem);
  if (index >= rows.size()) return;
  const RecipientEntry& row = rows[index];
  if ((info.item.mask & LVIF_TEXT) != 0 && info.item.pszText != nullptr &&
      info.item.cchTextMax > 0) {
    const std::wstring& text = info.item.iSubItem == 0 ? row.name : row.mobile;
    const std::size_t length =
        std::min(text.size(), static_cast<std::size_t>(info.item.cchTextMax - 1));
    std::copy_n(text.begin(), length, info.item.pszText);
    info.item.pszText[length] = L'\0';
  }
  if ((info.item.mask & LVIF_IMAGE) != 0) {
    info.item.iImage = row.kind == RecipientEntry::Kind::Distribution ? 1 : 0;
  }
}

// Typing in an owner-data list view: the window holds the rows, so it says
// which row the typed letters lead to, -1 for none (0 is the first row).
LONG_PTR DialogWindow::FindRow(const NMLVFINDITEMW& find) const {
  constexpr UINT kByText = LVFI_STRING | LVFI_PARTIAL | kFindSubstring | LVFI_WRAP;
  const UINT flags = find.lvfi.flags;
  const auto list = lists_.find(static_cast<int>(find.hdr.idFrom));
  if (list == lists_.end() || find.lvfi.psz == nullptr || (flags & kByText) == 0 ||
      (flags & (LVFI_PARAM | LVFI_NEARESTXY)) != 0) {
    return -1;
  }
  const std::optional<std::size_t> row =
      list->second->FindName({.text = find.lvfi.psz,
                              .start = static_cast<std::size_t>(std::max(find.iStart, 0)),
                              .whole = (flags & (LVFI_PARTIAL | kFindSubstring)) == 0,
                              .wrap = (flags & LVFI_WRAP) != 0});
  return row ? static_cast<LONG_PTR>(*row) : -1;
}

void DialogWindow::Close() {
  if (hwnd_ == nullptr) return;
  if (handlers_ > 0) {
    close_pending_ = true;
    return;
  }
  DestroyWindow(hwnd_);
}

}  // namespace parvel::dialogs
