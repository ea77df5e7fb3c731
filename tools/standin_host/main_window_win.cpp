#include "standin_host/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <set>

#include "standin_host/host_context.h"
#include "standin_host/registry_win.h"
#include "standin_host/window_query_win.h"

namespace parvel::standin {
namespace {

constexpr wchar_t kClassName[] = L"ParvelStandinOutlook";
constexpr wchar_t kCaption[] = L"Parvel stand-in Outlook";
constexpr UINT kLayoutMessage = WM_APP + 10;
constexpr UINT kOutboxMessage = WM_APP + 11;
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

}  // namespace

MainWindow::MainWindow(std::shared_ptr<HostContext> context, const HostOptions& options)
    : context_(std::move(context)) {
  bars_ = MakeCom<CommandBarsObject>(context_, options.bars);
  application_ = MakeCom<ApplicationObject>(context_, bars_);
  addins_ = std::make_unique<AddinManager>(context_, ComPtr<IDispatch>(application_.Get()),
                                           options.addins);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &MainWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
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
  outbox_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, window_, nullptr, instance, nullptr);
  NameWindow(outbox_, L"Outbox");
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
  Layout();
  ShowStates();
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

MainWindow::~MainWindow() {
  context_->toolbar_changed = nullptr;
  context_->outbox_changed = nullptr;
  addins_.reset();
  UnnameWindow(outbox_);
  UnnameWindow(window_);
  DestroyWindow(window_);
}

void MainWindow::Start() {
  addins_->Connect(ext_cm_Startup);
  ShowStates();
}

void MainWindow::Shutdown() {
  addins_->Disconnect(ext_dm_HostShutdown);
  ShowStates();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
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
      DrawControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_COMMAND: {
      const auto id = LOWORD(wparam);
      if (lparam == 0 && id == kMenuUnload) {
        UnloadAddins();
      } else if (lparam == 0 && id == kMenuLoad) {
        LoadAddins();
      } else if (lparam == 0 && id == kMenuExit) {
        PostQuitMessage(0);
      } else if (HIWORD(wparam) == BN_CLICKED) {
        const ComPtr<CommandBarButtonObject> button = bars_->FindButton(id);
        if (button && button->enabled) button->Click();
      }
      return 0;
    }
    default:
      return DefWindowProcW(window_, message, wparam, lparam);
  }
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

int MainWindow::LayoutBars() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  HDC dc = GetDC(window_);
  const HGDIOBJ old_font = SelectObject(dc, font_);
  std::set<int> shown_ids;
  shown_.clear();
  int top = 2;
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
        window =
            CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->command_id())),
                            instance, nullptr);
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
  const int bars_height = LayoutBars();
  RECT client{};
  GetClientRect(window_, &client);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(status_, &status);
  const int status_height = status.bottom - status.top;
  SetWindowPos(outbox_, nullptr, 0, bars_height, client.right,
               std::max<int>(0, client.bottom - bars_height - status_height), SWP_NOZORDER);
}

void MainWindow::DrawControl(const DRAWITEMSTRUCT& item) {
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
  addins_->Disconnect(ext_dm_UserClosed);
  ShowStates();
}

}  // namespace parvel::standin
