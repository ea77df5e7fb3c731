#include "standin_host/command_bars_win.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <set>

#include "com/com_object_win.h"
#include "common/utf8.h"
#include "host/extensibility_win.h"
#include "standin_host/host_context.h"
#include "standin_host/picture_win.h"
#include "standin_host/stopwatch_win.h"

namespace parvel::standin {
namespace {

constexpr int kMsoControlButton = 1;
constexpr HRESULT kControlDeleted = static_cast<HRESULT>(0x800A01A8);

bool SameName(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<std::wint_t>(x)) == std::towlower(static_cast<std::wint_t>(y));
  });
}

BOOL CALLBACK AddShown(HWND window, LPARAM shown) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the enumeration passes the set in LPARAM.
  if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(shown)->insert(window);
  return TRUE;
}

// The thread's shown top-level windows: a click that opens a window adds one.
std::set<HWND> ShownWindows() {
  std::set<HWND> shown;
  EnumThreadWindows(GetCurrentThreadId(), &AddShown, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

class Clipboard {
 public:
  Clipboard() {
    // Another program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 20 && !open_; ++attempt) {
      open_ = OpenClipboard(nullptr) != FALSE;
      if (!open_) Sleep(10);
    }
  }
  ~Clipboard() {
    if (open_) CloseClipboard();
  }
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;

  bool open() const { return open_; }

  std::optional<std::vector<std::uint8_t>> Read(UINT format) const {
    HANDLE data = GetClipboardData(format);
    if (data == nullptr) return std::nullopt;
    const void* bytes = GlobalLock(data);
    if (bytes == nullptr) return std::nullopt;
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    std::vector<std::uint8_t> copy(first, first + GlobalSize(data));
    GlobalUnlock(data);
    return copy;
  }

 private:
  bool open_ = false;
};

// The face as PasteFace takes it: "Toolbar Button Face" (else the plain
// bitmap), made transparent where "Toolbar Button Mask" is white.
FaceImage ReadClipboardFace() {
  const Clipboard clipboard;
  if (!clipboard.open()) Raise(E_FAIL, L"PasteFace failed: the clipboard is busy.");
  std::optional<std::vector<std::uint8_t>> face =
      clipboard.Read(RegisterClipboardFormatW(L"Toolbar Button Face"));
  if (!face) face = clipboard.Read(CF_DIB);
  if (!face) Raise(E_FAIL, L"PasteFace failed: the clipboard holds no picture.");
  try {
    FaceImage image = DecodeDib(*face);
    if (const auto mask = clipboard.Read(RegisterClipboardFormatW(L"Toolbar Button Mask"))) {
      ApplyMask(image, DecodeDib(*mask));
    }
    return image;
  } catch (const FaceError& error) {
    Raise(E_FAIL, L"PasteFace failed: " + tools::Utf8ToWide(error.what()));
  }
}

class ConnectionPoint final : public com::ComObject<ConnectionPoint, IConnectionPoint, false> {
 public:
  explicit ConnectionPoint(ComPtr<CommandBarButtonObject> button) : button_(std::move(button)) {}

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (iid == nullptr) return E_POINTER;
    *iid = kIidCommandBarButtonEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** container) override {
    if (container == nullptr) return E_POINTER;
    *container = button_.Get();
    button_->AddRef();
    return S_OK;
  }
  // Office asks the sink for the event interface itself.
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (sink == nullptr || cookie == nullptr) return E_POINTER;
    *cookie = 0;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(kIidCommandBarButtonEvents,
                                    reinterpret_cast<void**>(events.GetAddressOf())))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    try {
      *cookie = button_->Advise(std::move(events));
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    return button_->Unadvise(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override {
    if (connections != nullptr) *connections = nullptr;
    return E_NOTIMPL;
  }

 private:
  ComPtr<CommandBarButtonObject> button_;
};

class ControlsObject final : public DispatchImpl<ControlsObject> {
 public:
  explicit ControlsObject(ComPtr<CommandBarObject> bar)
      : DispatchImpl(bar->shared_context()), bar_(std::move(bar)) {}
  static const MemberTable<ControlsObject>& Members() {
    static const MemberTable<ControlsObject> table = {
        {.name = L"Count", .get = &ControlsObject::Count},
        {.name = L"Item", .get = &ControlsObject::Item, .params = {L"Index"}, .is_default = true},
        {.name = L"Add",
         .get = &ControlsObject::Add,
         .params = {L"Type", L"Id", L"Parameter", L"Before", L"Temporary"}},
        {.name = L"_NewEnum", .get = &ControlsObject::NewEnum},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"CommandBarControls"; }

 private:
  std::wstring_view Source() const override { return L"Microsoft Office"; }

  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(bar_->controls().size())); }
  Variant Item(Arguments& args) {
    const auto& controls = bar_->controls();
    if (V_VT(&args.Value(0)) == VT_BSTR) {
      const std::wstring caption = args.Text(0);
      for (const auto& control : controls) {
        if (SameName(control->caption, caption)) return ObjectResult(control);
      }
      Raise(E_INVALIDARG, L"No control has the caption \"" + caption + L"\".");
    }
    const long index = args.Int(0);
    if (index < 1 || static_cast<std::size_t>(index) > controls.size()) {
      Raise(E_INVALIDARG,
            L"Invalid index: the bar has " + std::to_wstring(controls.size()) + L" controls.");
    }
    return ObjectResult(controls[static_cast<std::size_t>(index - 1)]);
  }
  Variant Add(Arguments& args) {
    const long type = args.OptionalInt(0).value_or(kMsoControlButton);
    if (type != kMsoControlButton)
      Raise(E_INVALIDARG, L"Only buttons (type 1) can be added to this bar.");
    args.OptionalInt(1);  // a built-in control's Id: every button here is custom
    const std::optional<std::wstring> parameter = args.OptionalText(2);
    const ComPtr<CommandBarButtonObject> button = bar_->AddButton(args.OptionalInt(3));
    button->parameter = parameter.value_or(L"");
    button->temporary = args.OptionalBool(4).value_or(false);
    return ObjectResult(button);
  }
  Variant NewEnum(Arguments&) {
    const ComPtr<CommandBarObject> bar = bar_;
    return EnumerationResult([bar](std::size_t i) -> std::optional<Variant> {
      if (i >= bar->controls().size()) return std::nullopt;
      return ObjectResult(bar->controls()[i]);
    });
  }

  ComPtr<CommandBarObject> bar_;
};

}  // namespace

// --- button ---------------------------------------------------------------------

CommandBarButtonObject::CommandBarButtonObject(std::shared_ptr<HostContext> context,
                                               CommandBarObject* bar, int command_id)
    : DispatchImpl(std::move(context)), bar_(bar), command_id_(command_id) {}

const MemberTable<CommandBarButtonObject>& CommandBarButtonObject::Members() {
  using B = CommandBarButtonObject;
  static const MemberTable<B> table = {
      {.name = L"Caption", .get = &B::GetCaption, .put = &B::PutCaption, .is_default = true},
      {.name = L"Tag", .get = &B::GetTag, .put = &B::PutTag},
      {.name = L"OnAction", .get = &B::GetOnAction, .put = &B::PutOnAction},
      {.name = L"Parameter", .get = &B::GetParameter, .put = &B::PutParameter},
      {.name = L"Enabled", .get = &B::GetEnabled, .put = &B::PutEnabled},
      {.name = L"Visible", .get = &B::GetVisible, .put = &B::PutVisible},
      {.name = L"Style", .get = &B::GetStyle, .put = &B::PutStyle},
      {.name = L"Type", .get = &B::Type},
      {.name = L"Index", .get = &B::Index},
      {.name = L"Parent", .get = &B::Parent},
      {.name = L"Picture", .put = &B::PutPicture},
      {.name = L"Mask", .put = &B::PutMask},
      {.name = L"PasteFace", .get = &B::PasteFace},
      {.name = L"Delete", .get = &B::Delete, .params = {L"Temporary"}},
      {.name = L"Execute", .get = &B::Execute},
  };
  return table;
}

void CommandBarButtonObject::CheckUsable() const {
  if (bar_ == nullptr) Raise(kControlDeleted, L"The control has been deleted.");
}

IUnknown* CommandBarButtonObject::QueryOther(REFIID iid) {
  if (iid != IID_IConnectionPointContainer) return nullptr;
  AddRef();
  return static_cast<IConnectionPointContainer*>(this);
}

HRESULT CommandBarButtonObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT CommandBarButtonObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (iid != kIidCommandBarButtonEvents) return CONNECT_E_NOCONNECTION;
  try {
    *point = ConnectionPoint::Make(ComPtr<CommandBarButtonObject>(this)).Detach();
    return *point != nullptr ? S_OK : E_OUTOFMEMORY;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

DWORD CommandBarButtonObject::Advise(ComPtr<IDispatch> sink) {
  context().NoteCall(TypeName(), L"Advise");
  const DWORD cookie = next_cookie_++;
  sinks_.emplace_back(cookie, std::move(sink));
  return cookie;
}

bool CommandBarButtonObject::Unadvise(DWORD cookie) {
  context().NoteCall(TypeName(), L"Unadvise");
  const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                  [cookie](const auto& sink) { return sink.first == cookie; });
  if (found == sinks_.end()) return false;
  sinks_.erase(found);
  return true;
}

void CommandBarButtonObject::Click() {
  // A handler may unadvise or delete the button while the click goes round.
  const ComPtr<CommandBarButtonObject> self(this);
  const std::wstring clicked = caption;
  const std::set<HWND> shown_before = ShownWindows();
  const Stopwatch click;
  const auto sinks = sinks_;
  for (const auto& entry : sinks) {
    if (std::none_of(sinks_.begin(), sinks_.end(),
                     [&](const auto& s) { return s.first == entry.first; })) {
      continue;
    }
    const ComPtr<IDispatch>& sink = entry.second;
    VARIANT_BOOL cancel_default = VARIANT_FALSE;
    VARIANTARG args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = static_cast<IDispatch*>(this);
    V_VT(&args[0]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[0]) = &cancel_default;
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO exception{};
    UINT argument_error = 0;
    sink->Invoke(kDispidCommandBarButtonClick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                 &params, nullptr, &exception, &argument_error);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  context().timings.Add(L"click", clicked, click.Milliseconds());
  // Windows the click opened are painted now rather than at the next turn of
  // the message loop, so that the time until the user sees them is known.
  bool opened = false;
  for (HWND window : ShownWindows()) {
    if (shown_before.contains(window)) continue;
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    opened = true;
  }
  if (opened) context().timings.Add(L"painted", clicked, click.Milliseconds());
}

Variant CommandBarButtonObject::GetCaption(Arguments&) { return Variant::Text(caption); }
void CommandBarButtonObject::PutCaption(Arguments& args) {
  caption = args.PutText();
  context().ToolbarChanged();
}
Variant CommandBarButtonObject::GetTag(Arguments&) { return Variant::Text(tag); }
void CommandBarButtonObject::PutTag(Arguments& args) { tag = args.PutText(); }
Variant CommandBarButtonObject::GetOnAction(Arguments&) { return Variant::Text(on_action); }
void CommandBarButtonObject::PutOnAction(Arguments& args) { on_action = args.PutText(); }
Variant CommandBarButtonObject::GetParameter(Arguments&) { return Variant::Text(parameter); }
void CommandBarButtonObject::PutParameter(Arguments& args) { parameter = args.PutText(); }
Variant CommandBarButtonObject::GetEnabled(Arguments&) { return Variant::Bool(enabled); }
void CommandBarButtonObject::PutEnabled(Arguments& args) {
  enabled = args.PutBool();
  context().ToolbarChanged();
}
Variant CommandBarButtonObject::GetVisible(Arguments&) { return Variant::Bool(visible); }
void CommandBarButtonObject::PutVisible(Arguments& args) {
  visible = args.PutBool();
  context().ToolbarChanged();
}
Variant CommandBarButtonObject::GetStyle(Arguments&) { return Variant::Int(style); }
void CommandBarButtonObject::PutStyle(Arguments& args) {
  const long value = args.PutInt();
  if (value < 0 || value > 19)
    Raise(E_INVALIDARG, L"Invalid button style " + std::to_wstring(value) + L".");
  style = static_cast<int>(value);
  context().ToolbarChanged();
}
Variant CommandBarButtonObject::Type(Arguments&) { return Variant::Int(kMsoControlButton); }
Variant CommandBarButtonObject::Index(Arguments&) {
  return Variant::Int(static_cast<long>(bar_->IndexOf(*this)));
}
Variant CommandBarButtonObject::Parent(Arguments&) { return Variant::Object(bar_); }

// Office copies the pictures: the add-in may let go of them at once.
void CommandBarButtonObject::PutPicture(Arguments& args) {
  picture = ReadPicture(args.PutValue(), L"the picture given to Picture");
  FaceFromPictures();
}

void CommandBarButtonObject::PutMask(Arguments& args) {
  mask = ReadPicture(args.PutValue(), L"the picture given to Mask");
  FaceFromPictures();
}

void CommandBarButtonObject::FaceFromPictures() {
  if (!picture) return;
  FaceImage made = *picture;
  for (std::uint32_t& pixel : made.pixels) pixel |= 0xFF000000U;
  if (mask) {
    try {
      ApplyMask(made, *mask);
    } catch (const FaceError& error) {
      Raise(E_INVALIDARG, L"Mask: " + tools::Utf8ToWide(error.what()));
    }
  }
  face = std::move(made);
  context().ToolbarChanged();
}

Variant CommandBarButtonObject::PasteFace(Arguments&) {
  face = ReadClipboardFace();
  context().ToolbarChanged();
  return {};
}

Variant CommandBarButtonObject::Delete(Arguments& args) {
  args.OptionalBool(0);  // temporary or not, the control goes now
  CommandBarObject* bar = bar_;
  bar_ = nullptr;
  bar->Remove(*this);
  context().ToolbarChanged();
  return {};
}

Variant CommandBarButtonObject::Execute(Arguments&) {
  Click();
  return {};
}

// --- bar ------------------------------------------------------------------------

CommandBarObject::CommandBarObject(std::shared_ptr<HostContext> context, std::wstring name,
                                   bool built_in)
    : DispatchImpl(std::move(context)), name_(std::move(name)), built_in_(built_in) {}

const MemberTable<CommandBarObject>& CommandBarObject::Members() {
  using C = CommandBarObject;
  static const MemberTable<C> table = {
      {.name = L"Name", .get = &C::GetName, .put = &C::PutName, .is_default = true},
      {.name = L"NameLocal", .get = &C::GetName},
      {.name = L"Visible", .get = &C::GetVisible, .put = &C::PutVisible},
      {.name = L"Position", .get = &C::Position},
      {.name = L"BuiltIn", .get = &C::BuiltIn},
      {.name = L"Controls", .get = &C::Controls},
  };
  return table;
}

ComPtr<CommandBarButtonObject> CommandBarObject::AddButton(std::optional<long> before) {
  std::size_t at = controls_.size();
  if (before) {
    if (*before < 1 || static_cast<std::size_t>(*before) > controls_.size() + 1) {
      Raise(E_INVALIDARG, L"Invalid Before position " + std::to_wstring(*before) +
                              L": the bar has " + std::to_wstring(controls_.size()) +
                              L" controls.");
    }
    at = static_cast<std::size_t>(*before - 1);
  }
  auto button =
      MakeCom<CommandBarButtonObject>(shared_context(), this, context().next_command_id++);
  button->held_by_host = true;
  controls_.insert(controls_.begin() + static_cast<std::ptrdiff_t>(at), button);
  context().ToolbarChanged();
  return button;
}

void CommandBarObject::Remove(const CommandBarButtonObject& button) {
  std::erase_if(controls_, [&](const auto& control) {
    if (control.Get() != &button) return false;
    control->held_by_host = false;
    return true;
  });
}

std::size_t CommandBarObject::IndexOf(const CommandBarButtonObject& button) const {
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [&](const auto& control) { return control.Get() == &button; });
  return static_cast<std::size_t>(found - controls_.begin()) + 1;
}

Variant CommandBarObject::GetName(Arguments&) { return Variant::Text(name_); }
void CommandBarObject::PutName(Arguments& args) {
  if (built_in_) Raise(E_INVALIDARG, L"A built-in bar cannot be renamed.");
  name_ = args.PutText();
}
Variant CommandBarObject::GetVisible(Arguments&) { return Variant::Bool(visible); }
void CommandBarObject::PutVisible(Arguments& args) {
  visible = args.PutBool();
  context().ToolbarChanged();
}
Variant CommandBarObject::Position(Arguments&) { return Variant::Int(position); }
Variant CommandBarObject::BuiltIn(Arguments&) { return Variant::Bool(built_in_); }
Variant CommandBarObject::Controls(Arguments&) {
  return ObjectResult(MakeCom<ControlsObject>(ComPtr<CommandBarObject>(this)));
}

// --- bars -----------------------------------------------------------------------

CommandBarsObject::CommandBarsObject(std::shared_ptr<HostContext> context,
                                     const std::vector<std::wstring>& built_in)
    : DispatchImpl(std::move(context)) {
  const auto add = [&](std::wstring name, bool visible,
                       std::initializer_list<const wchar_t*> captions) {
    auto bar = MakeCom<CommandBarObject>(shared_context(), std::move(name), true);
    bar->visible = visible;
    for (const wchar_t* caption : captions) bar->AddButton(std::nullopt)->caption = caption;
    bars_.push_back(std::move(bar));
  };
  if (built_in.empty()) {
    add(L"Standard", true, {L"New", L"Reply", L"Forward"});
    add(L"Advanced", false, {L"Outlook Today", L"Back", L"Up One Level"});
  }
  for (const std::wstring& name : built_in) add(name, true, {L"New", L"Reply", L"Forward"});
}

CommandBarsObject::~CommandBarsObject() {
  for (const auto& bar : bars_) {
    for (const auto& control : bar->controls()) control->Detach();
  }
}

const MemberTable<CommandBarsObject>& CommandBarsObject::Members() {
  static const MemberTable<CommandBarsObject> table = {
      {.name = L"Count", .get = &CommandBarsObject::Count},
      {.name = L"Item", .get = &CommandBarsObject::Item, .params = {L"Index"}, .is_default = true},
      {.name = L"Add",
       .get = &CommandBarsObject::Add,
       .params = {L"Name", L"Position", L"MenuBar", L"Temporary"}},
      {.name = L"_NewEnum", .get = &CommandBarsObject::NewEnum},
  };
  return table;
}

ComPtr<CommandBarButtonObject> CommandBarsObject::FindButton(int command_id) const {
  for (const auto& bar : bars_) {
    for (const auto& control : bar->controls()) {
      if (control->command_id() == command_id) return control;
    }
  }
  return nullptr;
}

void CommandBarsObject::HostClosing() {
  for (const auto& bar : bars_) {
    for (const auto& control : bar->controls()) control->DropSinks();
    const std::vector<ComPtr<CommandBarButtonObject>> controls = bar->controls();
    for (const auto& control : controls) {
      if (!control->temporary && !bar->temporary) continue;
      control->Detach();
      bar->Remove(*control.Get());
    }
  }
  std::erase_if(bars_, [](const ComPtr<CommandBarObject>& bar) {
    if (!bar->temporary) return false;
    bar->held_by_host = false;
    return true;
  });
  context().ToolbarChanged();
}

const ComPtr<CommandBarObject>* CommandBarsObject::Find(std::wstring_view name) const {
  const auto found = std::find_if(bars_.begin(), bars_.end(),
                                  [&](const auto& bar) { return SameName(bar->name(), name); });
  return found == bars_.end() ? nullptr : std::addressof(*found);
}

Variant CommandBarsObject::Count(Arguments&) {
  return Variant::Int(static_cast<long>(bars_.size()));
}

Variant CommandBarsObject::Item(Arguments& args) {
  if (V_VT(&args.Value(0)) == VT_BSTR) {
    const std::wstring name = args.Text(0);
    const ComPtr<CommandBarObject>* bar = Find(name);
    if (bar == nullptr) Raise(E_INVALIDARG, L"There is no command bar named \"" + name + L"\".");
    return ObjectResult(*bar);
  }
  const long index = args.Int(0);
  if (index < 1 || static_cast<std::size_t>(index) > bars_.size()) {
    Raise(E_INVALIDARG,
          L"Invalid index: there are " + std::to_wstring(bars_.size()) + L" command bars.");
  }
  return ObjectResult(bars_[static_cast<std::size_t>(index - 1)]);
}

Variant CommandBarsObject::Add(Arguments& args) {
  std::wstring name = args.OptionalText(0).value_or(L"Custom " + std::to_wstring(bars_.size() + 1));
  const long position = args.OptionalInt(1).value_or(4);
  args.OptionalBool(2);  // no menu bars here
  const bool temporary = args.OptionalBool(3).value_or(false);
  if (name.empty()) Raise(E_INVALIDARG, L"A command bar needs a name.");
  if (Find(name) != nullptr)
    Raise(E_INVALIDARG, L"A command bar named \"" + name + L"\" already exists.");
  if (position < 0 || position > 6)
    Raise(E_INVALIDARG, L"Invalid bar position " + std::to_wstring(position) + L".");
  auto bar = MakeCom<CommandBarObject>(shared_context(), std::move(name), false);
  bar->position = static_cast<int>(position);
  bar->temporary = temporary;
  bar->held_by_host = true;
  bars_.push_back(bar);
  context().ToolbarChanged();
  return ObjectResult(bar);
}

Variant CommandBarsObject::NewEnum(Arguments&) {
  const ComPtr<CommandBarsObject> self(this);
  return EnumerationResult([self](std::size_t i) -> std::optional<Variant> {
    if (i >= self->bars().size()) return std::nullopt;
    return ObjectResult(self->bars()[i]);
  });
}

}  // namespace parvel::standin
