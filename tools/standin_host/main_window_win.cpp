#include "standin_host/main_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/handles_win.h"
#include "standin_host/host_context.h"
#include "standin_host/registry_win.h"
#include "standin_host/stopwatch_win.h"
#include "standin_host/window_query_win.h"

namespace parvel::standin {
namespace {

constexpr wchar_t kClassName[] = L"ParvelStandinOutlook";
constexpr wchar_t kCaption[] = L"Parvel stand-in Outlook";
constexpr UINT kLayoutMessage = WM_APP + 10;
constexpr UINT kOutboxMessage = WM_APP + 11;
constexpr UINT kContextMenuMessage = WM_APP + 12;
constexpr UINT kOpenContextMenuMessage = WM_APP + 13;
constexpr UINT kUnloadMessage = WM_APP + 14;
constexpr int kRibbonRowHeight = 92;
constexpr int kLargeButtonWidth = 72;
constexpr int kLargeButtonHeight = 64;
constexpr int kTabLabelWidth = 110;
constexpr int kContactsWidth = 300;
constexpr UINT_PTR kMenuUnload = 40001;
constexpr UINT_PTR kMenuLoad = 40002;
constexpr UINT_PTR kMenuExit = 40003;
constexpr int kPadding = 6;
constexpr int kGap = 4;
constexpr int kMinHeight = 26;

bool ShowsFace(const CommandBarButtonObject& button) {
  return button.style == 1 || button.style >= 3 || (button.style == 0 && button.face.has_value());
}

bool ShowsCaption(const CommandBarButtonObject& button) {
  return button.style == 2 || button.style >= 3 || (button.style == 0 && !button.face.has_value());
}

void DrawFace(HDC dc, const FaceImage& face, int left, int top, COLORREF background) {
  std::vector<std::uint32_t> pixels(face.pixels.size());
  const std::uint32_t back = static_cast<std::uint32_t>(GetRValue(background)) << 16 |
                             static_cast<std::uint32_t>(GetGValue(background)) << 8 |
                             GetBValue(background);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t pixel = face.pixels[i];
    pixels[i] = (pixel >> 24) == 0 ? back : (pixel & 0xFFFFFF);
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = face.width;
  info.bmiHeader.biHeight = -face.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(face.width), static_cast<DWORD>(face.height),
                    0, 0, 0, static_cast<UINT>(face.height), pixels.data(), &info, DIB_RGB_COLORS);
}

// The picture's pixels with straight alpha laid over the background colour.
std::vector<std::uint32_t> Blended(const FaceImage& picture, COLORREF background) {
  std::vector<std::uint32_t> pixels(picture.pixels.size());
  const std::uint32_t back[] = {GetBValue(background), GetGValue(background),
                                GetRValue(background)};
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t pixel = picture.pixels[i];
    const std::uint32_t alpha = pixel >> 24;
    std::uint32_t blended = 0;
    for (int channel = 0; channel < 3; ++channel) {
      const std::uint32_t colour = (pixel >> (8 * channel)) & 0xFF;
      blended |= ((colour * alpha + back[channel] * (255 - alpha)) / 255) << (8 * channel);
    }
    pixels[i] = blended;
  }
  return pixels;
}

BITMAPINFO TopDownInfo(const FaceImage& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

void DrawPicture(HDC dc, const FaceImage& picture, int left, int top, COLORREF background) {
  const std::vector<std::uint32_t> pixels = Blended(picture, background);
  const BITMAPINFO info = TopDownInfo(picture);
  SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(picture.width),
                    static_cast<DWORD>(picture.height), 0, 0, 0, static_cast<UINT>(picture.height),
                    pixels.data(), &info, DIB_RGB_COLORS);
}

// A menu entry's picture, on the menu's colour.
win::UniqueBitmap MenuPicture(const FaceImage& picture) {
  const BITMAPINFO info = TopDownInfo(picture);
  void* bits = nullptr;
  win::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return {};
  const std::vector<std::uint32_t> pixels = Blended(picture, GetSysColor(COLOR_MENU));
  std::memcpy(bits, pixels.data(), pixels.size() * sizeof(std::uint32_t));
  return bitmap;
}

// What the ribbon's tab strip calls Outlook's built-in tabs.
std::wstring TabTitle(const std::wstring& tab) {
  if (tab == L"TabMail") return L"Home (Mail)";
  if (tab == L"TabContacts") return L"Home (Contacts)";
  return tab;
}

// The contacts view shows the contact folder nearest to the top of the
// profile, as the contacts module opens on the mailbox's "Contacts".
const Folder* FirstContactFolder(const std::vector<Folder>& stores) {
  std::vector<const Folder*> level;
  level.reserve(stores.size());
  for (const Folder& store : stores) level.push_back(&store);
  while (!level.empty()) {
    std::vector<const Folder*> below;
    for (const Folder* folder : level) {
      for (const Folder& child : folder->folders) {
        if (child.default_item_type == kItemTypeContact) return &child;
        below.push_back(&child);
      }
    }
    level = std::move(below);
  }
  return nullptr;
}

std::wstring ItemName(const OutlookItem& item) {
  switch (item.kind) {
    case OutlookItem::Kind::Contact:
      return item.file_as;
    case OutlookItem::Kind::DistList:
      return item.dl_name;
    case OutlookItem::Kind::Mail:
      break;
  }
  return item.subject;
}

}  // namespace

MainWindow::MainWindow(std::shared_ptr<HostContext> context, const HostOptions& options)
    : context_(std::move(context)) {
  bars_ = MakeCom<CommandBarsObject>(context_, options.bars);
  application_ = MakeCom<ApplicationObject>(context_, bars_);
  addins_ = std::make_unique<AddinManager>(context_, application_, options.addins);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &MainWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a class brush may be a system colour + 1.
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = kClassName;
  RegisterClassW(&window_class);

  HMENU addins_menu = CreatePopupMenu();
  AppendMenuW(addins_menu, MF_STRING, kMenuUnload, L"&Unload add-ins");
  AppendMenuW(addins_menu, MF_STRING, kMenuLoad, L"&Load add-ins");
  HMENU file_menu = CreatePopupMenu();
  AppendMenuW(file_menu, MF_STRING, kMenuExit, L"E&xit");
  HMENU menu = CreateMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file_menu), L"&File");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(addins_menu), L"&Add-ins");

  window_ = CreateWindowExW(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW, 20, 20, 900, 560, nullptr,
                            menu, instance, this);
  if (window_ == nullptr) throw std::runtime_error("cannot create the main window");
  NameWindow(window_, L"Outlook");
  context_->explorer_window = window_;
  outbox_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, window_, nullptr, instance, nullptr);
  NameWindow(outbox_, L"Outbox");
  contacts_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
                              window_, nullptr, instance, nullptr);
  NameWindow(contacts_, L"Contacts");
  SendMessageW(contacts_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  FillContacts();
  SendMessageW(outbox_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  const std::pair<const wchar_t*, int> columns[] = {
      {L"File", 80}, {L"To", 220}, {L"Subject", 360}, {L"State", 90}};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i].first);
    column.cx = columns[i].second;
    SendMessageW(outbox_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&column));
  }
  status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
                            nullptr, instance, nullptr);

  context_->toolbar_changed = [this] {
    if (!layout_posted_) layout_posted_ = PostMessageW(window_, kLayoutMessage, 0, 0) != FALSE;
  };
  context_->outbox_changed = [this] {
    if (!outbox_posted_) outbox_posted_ = PostMessageW(window_, kOutboxMessage, 0, 0) != FALSE;
  };
  context_->post_unload = [this] { PostMessageW(window_, kUnloadMessage, 0, 0); };
  Layout();
  ShowStates();
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

MainWindow::~MainWindow() {
  context_->toolbar_changed = nullptr;
  context_->outbox_changed = nullptr;
  context_->post_unload = nullptr;
  addins_.reset();
  UnnameWindow(outbox_);
  UnnameWindow(contacts_);
  UnnameWindow(window_);
  context_->explorer_window = nullptr;
  DestroyWindow(window_);
}

void MainWindow::Start() {
  addins_->Connect(ext_cm_Startup);
  ShowStates();
}

void MainWindow::Shutdown() {
  addins_->Exit();
  // Outlook's process ends: the sinks advised on its objects and its
  // temporary toolbars and buttons go with it.
  application_->DropEventSinks();
  bars_->HostClosing();
  addins_->CheckUnloaded();
  ShowStates();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_NCCREATE passes CREATESTRUCT in LPARAM.
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the user slot holds this object.
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->window_ == nullptr)
    return DefWindowProcW(window, message, wparam, lparam);
  try {
    return self->Handle(message, wparam, lparam);
  } catch (...) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      // Shutdown runs from the outermost message loop, never inside a handler.
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case kLayoutMessage:
      layout_posted_ = false;
      Layout();
      return 0;
    case kOutboxMessage:
      outbox_posted_ = false;
      FillOutbox();
      return 0;
    case WM_DRAWITEM:
      // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_DRAWITEM passes the item in LPARAM.
      DrawControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_CONTEXTMENU:
      // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_CONTEXTMENU passes the window in WPARAM.
      if (reinterpret_cast<HWND>(wparam) != contacts_) break;
      ShowContextMenu({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      return 0;
    case kOpenContextMenuMessage: {
      const std::vector<std::size_t> rows = SelectedContacts();
      if (rows.empty()) return 0;
      RECT row{};
      row.left = LVIR_LABEL;
      SendMessageW(contacts_, LVM_GETITEMRECT, rows.front(), reinterpret_cast<LPARAM>(&row));
      POINT where{row.left + 40, row.bottom};
      ClientToScreen(contacts_, &where);
      ShowContextMenu(where);
      return 0;
    }
    case kContextMenuMessage:
      if (const std::optional<MenuEntry> entry = std::exchange(chosen_entry_, std::nullopt)) {
        RunContextMenuEntry(*entry);
      }
      return 0;
    case kUnloadMessage:
      UnloadAddins();
      return 0;
    case WM_COMMAND: {
      const auto id = LOWORD(wparam);
      if (lparam == 0 && id == kMenuUnload) {
        UnloadAddins();
      } else if (lparam == 0 && id == kMenuLoad) {
        LoadAddins();
      } else if (lparam == 0 && id == kMenuExit) {
        PostQuitMessage(0);
      } else if (HIWORD(wparam) == BN_CLICKED &&
                 std::any_of(ribbon_shown_.begin(), ribbon_shown_.end(),
                             [&](const auto& shown) { return shown.command_id == id; })) {
        ClickRibbon(id);
      } else if (HIWORD(wparam) == BN_CLICKED) {
        const ComPtr<CommandBarButtonObject> button = bars_->FindButton(id);
        if (button && button->enabled) button->Click();
      }
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

SIZE MainWindow::ControlSize(const CommandBarButtonObject& button, HDC dc) const {
  SIZE size{kPadding, kMinHeight};
  const bool face = ShowsFace(button) && button.face.has_value();
  if (face) {
    size.cx += button.face->width;
    size.cy = std::max<LONG>(size.cy, button.face->height + 6);
  }
  if (ShowsCaption(button)) {
    SIZE text{};
    GetTextExtentPoint32W(dc, button.caption.c_str(), static_cast<int>(button.caption.size()),
                          &text);
    size.cx += (face ? kGap : 0) + text.cx;
    size.cy = std::max<LONG>(size.cy, text.cy + 8);
  }
  size.cx = std::max<LONG>(size.cx + kPadding, kMinHeight);
  return size;
}

int MainWindow::LayoutBars(int top) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  HDC dc = GetDC(window_);
  const HGDIOBJ old_font = SelectObject(dc, font_);
  std::set<int> shown_ids;
  shown_.clear();
  for (const auto& bar : bars_->bars()) {
    if (!bar->visible) continue;
    ShownBarRow& row = shown_.emplace_back();
    row.name = bar->name();
    int left = 4;
    int height = kMinHeight;
    std::vector<std::pair<HWND, SIZE>> placed;
    for (const auto& control : bar->controls()) {
      if (!control->visible) continue;
      HWND& window = control_windows_[control->command_id()];
      if (window == nullptr) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): a child window's id goes as its menu.
        const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->command_id()));
        window = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, 0, 0, 0, 0, window_,
                                 menu, instance, nullptr);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
      }
      SetWindowTextW(window, control->caption.c_str());
      EnableWindow(window, control->enabled);
      const SIZE size = ControlSize(*control.Get(), dc);
      placed.emplace_back(window, size);
      height = std::max<int>(height, size.cy);
      shown_ids.insert(control->command_id());
      row.controls.push_back({control->command_id(), window, control->caption});
    }
    for (const auto& [window, size] : placed) {
      SetWindowPos(window, nullptr, left, top, size.cx, height, SWP_NOZORDER | SWP_SHOWWINDOW);
      InvalidateRect(window, nullptr, TRUE);
      left += size.cx + 2;
    }
    top += height + 4;
  }
  SelectObject(dc, old_font);
  ReleaseDC(window_, dc);
  for (auto it = control_windows_.begin(); it != control_windows_.end();) {
    if (shown_ids.contains(it->first)) {
      ++it;
      continue;
    }
    if (bars_->FindButton(it->first)) {
      ShowWindow(it->second, SW_HIDE);
      ++it;
    } else {
      DestroyWindow(it->second);
      it = control_windows_.erase(it);
    }
  }
  return top;
}

void MainWindow::Layout() {
  const int bars_height = LayoutBars(LayoutRibbon());
  RECT client{};
  GetClientRect(window_, &client);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(status_, &status);
  const int status_height = status.bottom - status.top;
  const int height = std::max<int>(0, client.bottom - bars_height - status_height);
  SetWindowPos(contacts_, nullptr, 0, bars_height, kContactsWidth, height, SWP_NOZORDER);
  SetWindowPos(outbox_, nullptr, kContactsWidth, bars_height,
               std::max<int>(0, client.right - kContactsWidth), height, SWP_NOZORDER);
  // Controls moved away leave their picture behind otherwise.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::DrawControl(const DRAWITEMSTRUCT& item) {
  for (const ShownRibbonControl& control : ribbon_shown_) {
    if (control.command_id != static_cast<int>(item.CtlID)) continue;
    if (const ShownRibbonButton* button = RibbonButtonOf(control)) DrawRibbonButton(item, *button);
    return;
  }
  const ComPtr<CommandBarButtonObject> button = bars_->FindButton(static_cast<int>(item.CtlID));
  if (!button) return;
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const COLORREF background = GetSysColor(COLOR_BTNFACE);
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &rect, (item.itemState & ODS_SELECTED) != 0 ? EDGE_SUNKEN : BDR_RAISEDINNER,
           BF_RECT);
  int left = rect.left + kPadding;
  const bool face = ShowsFace(*button.Get()) && button->face.has_value();
  if (face) {
    DrawFace(dc, *button->face, left,
             rect.top + (rect.bottom - rect.top - button->face->height) / 2, background);
    left += button->face->width + kGap;
  }
  if (ShowsCaption(*button.Get())) {
    const HGDIOBJ old_font = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(button->enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT text = rect;
    text.left = left;
    DrawTextW(dc, button->caption.c_str(), static_cast<int>(button->caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old_font);
  }
}

void MainWindow::FillOutbox() {
  SendMessageW(outbox_, LVM_DELETEALLITEMS, 0, 0);
  int row = 0;
  for (const OutboxMail& mail : context_->outbox.mails()) {
    std::wstring cells[] = {mail.file.filename().wstring(), mail.to, mail.subject,
                            MailStateText(mail.state)};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = cells[0].data();
    SendMessageW(outbox_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int column = 1; column < 4; ++column) {
      item.iSubItem = column;
      item.pszText = cells[column].data();
      SendMessageW(outbox_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    }
    ++row;
  }
}

void MainWindow::ShowStates() {
  std::wstring text;
  for (const AddinRecord& record : addins_->records()) {
    if (!text.empty()) text += L"; ";
    text += record.prog_id + L": " + StateText(record.state);
    if (!record.problem.empty()) text += L" (" + record.problem + L")";
  }
  SetWindowTextW(status_, text.empty() ? L"No add-ins" : text.c_str());
}

HWND MainWindow::ToolbarButton(const std::wstring& caption) {
  for (const ShownBarRow& row : shown_) {
    for (const ShownControl& control : row.controls) {
      if (control.caption == caption) return control.window;
    }
  }
  return nullptr;
}

std::optional<std::vector<std::wstring>> MainWindow::ShownBar(const std::wstring& name) {
  for (const ShownBarRow& row : shown_) {
    if (row.name != name) continue;
    std::vector<std::wstring> captions;
    for (const ShownControl& control : row.controls) captions.push_back(control.caption);
    return captions;
  }
  return std::nullopt;
}

std::optional<ButtonFacts> MainWindow::Button(const std::wstring& caption) {
  for (const auto& bar : bars_->bars()) {
    for (const auto& control : bar->controls()) {
      if (control->caption != caption) continue;
      ButtonFacts facts{.tag = control->tag,
                        .on_action = control->on_action,
                        .style = control->style,
                        .enabled = control->enabled,
                        .visible = control->visible};
      if (control->face) {
        facts.face = std::to_wstring(control->face->width) + L"x" +
                     std::to_wstring(control->face->height) + L"/" +
                     std::to_wstring(control->face->TransparentCount());
      }
      return facts;
    }
  }
  return std::nullopt;
}

std::vector<MailFacts> MainWindow::Mails() {
  std::vector<MailFacts> mails;
  for (const OutboxMail& mail : context_->outbox.mails()) {
    mails.push_back({mail.to, mail.subject, mail.body, MailStateText(mail.state),
                     mail.file.filename().wstring()});
  }
  return mails;
}

std::wstring MainWindow::AddinState(const std::wstring& prog_id) {
  for (const AddinRecord& record : addins_->records()) {
    if (record.prog_id == prog_id) return StateText(record.state);
  }
  return L"not registered";
}

std::optional<std::filesystem::path> MainWindow::AddinFolder() {
  for (const AddinRecord& record : addins_->records()) {
    if (record.state != AddinRecord::State::Connected) continue;
    CLSID clsid{};
    wchar_t text[64] = {};
    if (FAILED(CLSIDFromProgID(record.prog_id.c_str(), &clsid)) ||
        StringFromGUID2(clsid, text, 64) == 0) {
      continue;
    }
    const UniqueKey key =
        OpenKey(HKEY_CLASSES_ROOT, L"CLSID\\" + std::wstring(text) + L"\\InprocServer32");
    if (const std::optional<std::wstring> dll = key ? ReadText(key.get(), L"") : std::nullopt)
      return std::filesystem::path(*dll).parent_path();
  }
  return std::nullopt;
}

void MainWindow::LoadAddins() {
  addins_->Connect(ext_cm_AfterStartup);
  ShowStates();
}

void MainWindow::UnloadAddins() {
  addins_->Unload();
  ShowStates();
}

void MainWindow::RestartHost() {
  Shutdown();
  Start();
}

void MainWindow::AfterTopLevelMessage() { addins_->CheckUnloaded(); }

void MainWindow::ArmUnload(const std::wstring& call, int count) {
  context_->armed_unload = HostContext::ArmedUnload{.call = call, .remaining = count};
}

void MainWindow::MarkTime(const std::wstring& label) {
  const double now = since_start_.Milliseconds();
  context_->timings.Add(L"timer", label, now - last_mark_);
  context_->timings.AddCount(L"timer-calls", label, context_->call_meter.total() - calls_at_mark_);
  last_mark_ = now;
  calls_at_mark_ = context_->call_meter.total();
}

// --- the ribbon -------------------------------------------------------------------

// Each add-in's groups on the tab they name, one row a tab in the order the
// add-ins first name them, each group framed with its label under it.
int MainWindow::LayoutRibbon() {
  for (HWND window : ribbon_windows_) DestroyWindow(window);
  for (const ShownRibbonControl& control : ribbon_shown_) DestroyWindow(control.window);
  ribbon_windows_.clear();
  ribbon_shown_.clear();
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::vector<AddinRibbon*> ribbons = addins_->Ribbons();
  std::vector<std::wstring> tabs;
  for (const AddinRibbon* ribbon : ribbons) {
    for (const ShownRibbonGroup& group : ribbon->groups()) {
      if (std::find(tabs.begin(), tabs.end(), group.tab) == tabs.end()) tabs.push_back(group.tab);
    }
  }
  int top = 2;
  for (const std::wstring& tab : tabs) {
    HWND title =
        CreateWindowExW(0, L"STATIC", TabTitle(tab).c_str(), WS_CHILD | WS_VISIBLE, 4, top + 4,
                        kTabLabelWidth - 8, 20, window_, nullptr, instance, nullptr);
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ribbon_windows_.push_back(title);
    int left = kTabLabelWidth;
    for (AddinRibbon* ribbon : ribbons) {
      for (std::size_t g = 0; g < ribbon->groups().size(); ++g) {
        const ShownRibbonGroup& group = ribbon->groups()[g];
        if (group.tab != tab) continue;
        const int width = std::max<int>(
            80, static_cast<int>(group.buttons.size()) * (kLargeButtonWidth + 4) + 12);
        HWND frame = CreateWindowExW(0, L"BUTTON", group.label.c_str(),
                                     WS_CHILD | WS_VISIBLE | BS_GROUPBOX, left, top, width,
                                     kRibbonRowHeight - 4, window_, nullptr, instance, nullptr);
        SendMessageW(frame, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        ribbon_windows_.push_back(frame);
        int button_left = left + 8;
        for (std::size_t b = 0; b < group.buttons.size(); ++b) {
          const int id = context_->next_command_id++;
          // NOLINTNEXTLINE(performance-no-int-to-ptr): a child window's id goes as its menu.
          const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
          HWND window = CreateWindowExW(0, L"BUTTON", group.buttons[b].label.c_str(),
                                        WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, button_left, top + 18,
                                        kLargeButtonWidth, kLargeButtonHeight, window_, menu,
                                        instance, nullptr);
          SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
          EnableWindow(window, group.buttons[b].enabled);
          // Above the frame, which Windows paints over what it covers.
          SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
          ribbon_shown_.push_back({id, window, ribbon, tab, g, b});
          button_left += kLargeButtonWidth + 4;
        }
        left += width + 6;
      }
    }
    top += kRibbonRowHeight;
  }
  return top;
}

const ShownRibbonButton* MainWindow::RibbonButtonOf(const ShownRibbonControl& control) const {
  const std::vector<AddinRibbon*> ribbons = addins_->Ribbons();
  // An add-in unloaded since the layout takes its ribbon with it.
  if (std::find(ribbons.begin(), ribbons.end(), control.ribbon) == ribbons.end() ||
      control.group >= control.ribbon->groups().size() ||
      control.button >= control.ribbon->groups()[control.group].buttons.size()) {
    return nullptr;
  }
  return &control.ribbon->groups()[control.group].buttons[control.button];
}

const MainWindow::ShownRibbonControl* MainWindow::FindRibbonControl(
    const std::wstring& tab, const std::wstring& label) const {
  for (const ShownRibbonControl& control : ribbon_shown_) {
    const ShownRibbonButton* button = RibbonButtonOf(control);
    if (control.tab == tab && button != nullptr && button->label == label) return &control;
  }
  return nullptr;
}

void MainWindow::ClickRibbon(int command_id) {
  for (const ShownRibbonControl& control : ribbon_shown_) {
    if (control.command_id != command_id) continue;
    const ShownRibbonButton* button = RibbonButtonOf(control);
    if (button == nullptr || !button->enabled) return;
    const ShownRibbonButton pressed = *button;
    AddinRibbon* ribbon = control.ribbon;
    try {
      const Stopwatch click;
      ribbon->Click(pressed, nullptr);
      context_->timings.Add(L"ribbon-click", pressed.label, click.Milliseconds());
    } catch (const DispatchError& error) {
      context_->ui_problems.push_back(error.description());
    }
    return;
  }
}

void MainWindow::DrawRibbonButton(const DRAWITEMSTRUCT& item, const ShownRibbonButton& button) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const COLORREF background = GetSysColor(COLOR_BTNFACE);
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  if ((item.itemState & ODS_SELECTED) != 0) DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
  int text_top = rect.top + 4;
  if (button.picture) {
    const int left = rect.left + (rect.right - rect.left - button.picture->width) / 2;
    DrawPicture(dc, *button.picture, left, rect.top + 4, background);
    text_top += button.picture->height + 2;
  }
  const HGDIOBJ old_font = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(button.enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  RECT text = rect;
  text.top = text_top;
  DrawTextW(dc, button.label.c_str(), static_cast<int>(button.label.size()), &text,
            DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old_font);
}

HWND MainWindow::RibbonButton(const std::wstring& tab, const std::wstring& label) {
  const ShownRibbonControl* control = FindRibbonControl(tab, label);
  return control == nullptr ? nullptr : control->window;
}

std::optional<std::vector<std::wstring>> MainWindow::RibbonGroup(const std::wstring& tab,
                                                                 const std::wstring& group) {
  for (AddinRibbon* ribbon : addins_->Ribbons()) {
    for (const ShownRibbonGroup& shown : ribbon->groups()) {
      if (shown.tab != tab || shown.label != group) continue;
      std::vector<std::wstring> labels;
      for (const ShownRibbonButton& button : shown.buttons) labels.push_back(button.label);
      return labels;
    }
  }
  return std::nullopt;
}

std::optional<RibbonButtonFacts> MainWindow::RibbonButtonState(const std::wstring& tab,
                                                               const std::wstring& label) {
  const ShownRibbonControl* control = FindRibbonControl(tab, label);
  const ShownRibbonButton* button = control == nullptr ? nullptr : RibbonButtonOf(*control);
  if (button == nullptr) return std::nullopt;
  RibbonButtonFacts facts{.enabled = button->enabled};
  if (button->picture) {
    facts.picture =
        std::to_wstring(button->picture->width) + L"x" + std::to_wstring(button->picture->height);
  }
  return facts;
}

// --- the contacts view and its context menu ------------------------------------------

void MainWindow::FillContacts() {
  const std::pair<const wchar_t*, int> columns[] = {{L"Name", 170}, {L"Mobile", 110}};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i].first);
    column.cx = columns[i].second;
    SendMessageW(contacts_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&column));
  }
  const Folder* folder = FirstContactFolder(context_->book->stores);
  if (folder == nullptr) return;
  int row = 0;
  for (const OutlookItem& item : folder->items) {
    contact_items_.push_back(&item);
    std::wstring cells[] = {ItemName(item), item.mobile};
    LVITEMW entry{};
    entry.mask = LVIF_TEXT;
    entry.iItem = row;
    entry.pszText = cells[0].data();
    SendMessageW(contacts_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    entry.iSubItem = 1;
    entry.pszText = cells[1].data();
    SendMessageW(contacts_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&entry));
    ++row;
  }
}

std::vector<std::size_t> MainWindow::SelectedContacts() const {
  std::vector<std::size_t> rows;
  for (int row = -1;;) {
    row = static_cast<int>(
        SendMessageW(contacts_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0) return rows;
    rows.push_back(static_cast<std::size_t>(row));
  }
}

// The selected rows as Outlook's Selection of their items.
ComPtr<SelectionObject> MainWindow::SelectionOf(const std::vector<std::size_t>& rows) const {
  std::vector<ComPtr<IDispatch>> items;
  for (const std::size_t row : rows) {
    const Variant item = ItemResult(context_, *contact_items_[row]);
    items.emplace_back(item.get().pdispVal);
  }
  return MakeCom<SelectionObject>(context_, std::move(items));
}

// An add-in that keeps the Selection it was given holds Outlook's items.
void MainWindow::CheckLetGo(const ComPtr<SelectionObject>& selection,
                            const std::wstring& what) const {
  selection->AddRef();
  if (selection->Release() > 1) {
    context_->lifetime_problems.push_back(what + L" kept the Selection it was given");
  }
}

// Outlook's menu for one contact or list (a flagged contact has its own), or
// for several items; an entry with getVisible shows when that answers true
// for the selection, asked as the menu opens.
std::vector<MainWindow::MenuEntry> MainWindow::ContextMenuEntries(
    const std::vector<std::size_t>& rows) const {
  std::vector<MenuEntry> entries;
  if (rows.empty()) return entries;
  std::wstring menu_id = L"ContextMenuMultipleItems";
  if (rows.size() == 1) {
    const OutlookItem& item = *contact_items_[rows[0]];
    menu_id = item.kind == OutlookItem::Kind::Mail ? L"ContextMenuMailItem"
              : item.flagged                       ? L"ContextMenuFlaggedContactItem"
                                                   : L"ContextMenuContactItem";
  }
  ComPtr<SelectionObject> selection;
  for (AddinRibbon* ribbon : addins_->Ribbons()) {
    for (std::size_t m = 0; m < ribbon->context_menus().size(); ++m) {
      const ShownContextMenu& menu = ribbon->context_menus()[m];
      if (menu.id_mso != menu_id) continue;
      for (std::size_t b = 0; b < menu.buttons.size(); ++b) {
        const ShownRibbonButton& button = menu.buttons[b];
        if (!button.ui.get_visible.empty()) {
          if (!selection) selection = SelectionOf(rows);
          bool visible = false;
          try {
            visible = ribbon->Visible(button, selection.Get());
          } catch (const DispatchError& error) {
            context_->ui_problems.push_back(error.description());
          }
          if (!visible) continue;
        }
        entries.push_back({ribbon, m, b});
      }
    }
  }
  if (selection) CheckLetGo(selection, L"the context menu's " + menu_id + L" getVisible");
  return entries;
}

const ShownRibbonButton* MainWindow::EntryButton(const MenuEntry& entry) const {
  const std::vector<AddinRibbon*> ribbons = addins_->Ribbons();
  if (std::find(ribbons.begin(), ribbons.end(), entry.ribbon) == ribbons.end() ||
      entry.menu >= entry.ribbon->context_menus().size() ||
      entry.button >= entry.ribbon->context_menus()[entry.menu].buttons.size()) {
    return nullptr;
  }
  return &entry.ribbon->context_menus()[entry.menu].buttons[entry.button];
}

void MainWindow::ShowContextMenu(POINT where) {
  const std::vector<MenuEntry> entries = ContextMenuEntries(SelectedContacts());
  if (entries.empty()) return;
  HMENU menu = CreatePopupMenu();
  // The menu shows the pictures but does not own them.
  std::vector<win::UniqueBitmap> pictures;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ShownRibbonButton* button = EntryButton(entries[i]);
    if (button == nullptr) continue;
    AppendMenuW(menu, MF_STRING | (button->enabled ? 0U : MF_GRAYED), i + 1, button->label.c_str());
    if (!button->picture) continue;
    win::UniqueBitmap& picture = pictures.emplace_back(MenuPicture(*button->picture));
    MENUITEMINFOW item{.cbSize = sizeof(MENUITEMINFOW), .fMask = MIIM_BITMAP};
    item.hbmpItem = picture.get();
    SetMenuItemInfoW(menu, static_cast<UINT>(i + 1), FALSE, &item);
  }
  menu_open_ = true;
  const auto chosen = static_cast<std::size_t>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, where.x, where.y, 0, window_, nullptr));
  menu_open_ = false;
  DestroyMenu(menu);
  if (chosen >= 1 && chosen <= entries.size()) RunContextMenuEntry(entries[chosen - 1]);
}

void MainWindow::RunContextMenuEntry(const MenuEntry& entry) {
  const ShownRibbonButton* button = EntryButton(entry);
  if (button == nullptr || !button->enabled) return;
  const ShownRibbonButton chosen = *button;
  const ComPtr<SelectionObject> selection = SelectionOf(SelectedContacts());
  try {
    entry.ribbon->Click(chosen, selection.Get());
  } catch (const DispatchError& error) {
    context_->ui_problems.push_back(error.description());
  }
  CheckLetGo(selection, L"the context menu's " + chosen.label);
}

std::optional<std::wstring> MainWindow::SelectContacts(const std::vector<ItemRef>& rows) {
  std::vector<std::size_t> indices;
  for (const ItemRef& row : rows) {
    std::optional<std::size_t> index;
    if (row.position > 0 && static_cast<std::size_t>(row.position) <= contact_items_.size()) {
      index = static_cast<std::size_t>(row.position - 1);
    }
    for (std::size_t i = 0; row.position == 0 && i < contact_items_.size() && !index; ++i) {
      if (ItemName(*contact_items_[i]) == row.text) index = i;
    }
    if (!index) return L"no row " + row.Text() + L" in Outlook.Contacts";
    indices.push_back(*index);
  }
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(contacts_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED;
  for (const std::size_t index : indices) {
    SendMessageW(contacts_, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
  }
  return std::nullopt;
}

std::optional<std::wstring> MainWindow::OpenContextMenu(const std::vector<ItemRef>& rows) {
  if (menu_open_) return L"a context menu open already";
  if (std::optional<std::wstring> missing = SelectContacts(rows)) return missing;
  // As a right click leaves it: the list focused and drawn with its selection.
  SetFocus(contacts_);
  UpdateWindow(contacts_);
  PostMessageW(window_, kOpenContextMenuMessage, 0, 0);
  return std::nullopt;
}

std::optional<std::wstring> MainWindow::ContextMenuLabels(const std::vector<ItemRef>& rows,
                                                          std::vector<std::wstring>& labels) {
  if (menu_open_) EndMenu();
  if (std::optional<std::wstring> missing = SelectContacts(rows)) return missing;
  for (const MenuEntry& entry : ContextMenuEntries(SelectedContacts())) {
    if (const ShownRibbonButton* button = EntryButton(entry)) labels.push_back(button->label);
  }
  return std::nullopt;
}

std::optional<std::wstring> MainWindow::ChooseContextMenuEntry(const std::vector<ItemRef>& rows,
                                                               const std::wstring& label) {
  // A menu a scenario opened closes without a choice; this one is made anew.
  if (menu_open_) EndMenu();
  if (std::optional<std::wstring> missing = SelectContacts(rows)) return missing;
  std::wstring offered;
  for (const MenuEntry& entry : ContextMenuEntries(SelectedContacts())) {
    const ShownRibbonButton* button = EntryButton(entry);
    if (button == nullptr) continue;
    if (button->label == label) {
      if (!button->enabled) return L"the entry " + label + L" is disabled";
      chosen_entry_ = entry;
      PostMessageW(window_, kContextMenuMessage, 0, 0);
      return std::nullopt;
    }
    offered += (offered.empty() ? L"" : L", ") + button->label;
  }
  return L"a menu with " + (offered.empty() ? std::wstring(L"no entries of add-ins") : offered);
}

}  // namespace parvel::standin
