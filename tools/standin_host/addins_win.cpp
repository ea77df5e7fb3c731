#include "standin_host/addins_win.h"

#include <oleauto.h>

#include <algorithm>

#include "common/utf8.h"
#include "host/diagnostics.h"
#include "standin_host/host_context.h"
#include "standin_host/registry_win.h"
#include "standin_host/stopwatch_win.h"
#include "standin_host/virtual_monitors_win.h"

namespace parvel::standin {
namespace {

constexpr DWORD kLoadAtStartup = 3;

// The empty custom array that Outlook passes with every notification.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() {
    if (array_ != nullptr) SafeArrayDestroy(array_);
  }
  CustomArray(const CustomArray&) = delete;
  CustomArray& operator=(const CustomArray&) = delete;
  SAFEARRAY** get() {
    // A callee might replace it; what comes back is ours to destroy.
    return &array_;
  }

 private:
  SAFEARRAY* array_;
};

struct RegisteredAddin {
  std::wstring prog_id;
  std::wstring friendly_name;
  std::wstring description;
};

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The add-ins of the user, then those installed for every user of the
// machine, as Outlook lists them: a name the user has wins over the machine's.
std::vector<RegisteredAddin> RegisteredAddins() {
  std::vector<RegisteredAddin> found;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    const UniqueKey addins = OpenKey(root, kAddinsKey);
    if (!addins) continue;
    for (DWORD index = 0;; ++index) {
      wchar_t name[256];
      DWORD length = 256;
      if (RegEnumKeyExW(addins.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      if (std::any_of(found.begin(), found.end(), [&](const RegisteredAddin& addin) {
            return SameName(addin.prog_id, name);
          })) {
        continue;
      }
      const UniqueKey key = OpenKey(addins.get(), name);
      if (!key || ReadDword(key.get(), L"LoadBehavior") != kLoadAtStartup) continue;
      found.push_back({name, ReadText(key.get(), L"FriendlyName").value_or(name),
                       ReadText(key.get(), L"Description").value_or(L"")});
    }
  }
  return found;
}

// Whether the add-in asks Outlook (2010 and later) for OnBeginShutdown and
// OnDisconnection when Outlook closes: RequireShutdownNotification = 1 in its
// key, the user's key winning over the machine's.
bool WantsShutdownNotification(const std::wstring& prog_id) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    const UniqueKey key = OpenKey(root, std::wstring(kAddinsKey) + L"\\" + prog_id);
    if (key) return ReadDword(key.get(), L"RequireShutdownNotification") == 1;
  }
  return false;
}

}  // namespace

// The AddInInst object Outlook passes at connection.
class AddInObject final : public DispatchImpl<AddInObject> {
 public:
  AddInObject(std::shared_ptr<HostContext> context, RegisteredAddin registered, CLSID clsid)
      : DispatchImpl(std::move(context)), registered_(std::move(registered)), clsid_(clsid) {}
  static const MemberTable<AddInObject>& Members() {
    static const MemberTable<AddInObject> table = {
        {.name = L"ProgId", .get = &AddInObject::ProgId},
        {.name = L"Description", .get = &AddInObject::Description, .is_default = true},
        {.name = L"Guid", .get = &AddInObject::Guid},
        {.name = L"Connect", .get = &AddInObject::Connect},
        {.name = L"Object", .get = &AddInObject::GetObject, .put = &AddInObject::PutObject},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"COMAddIn"; }

  bool connected = false;
  void Forget() { object_.Reset(); }

 private:
  Variant ProgId(Arguments&) { return Variant::Text(registered_.prog_id); }
  Variant Description(Arguments&) { return Variant::Text(registered_.description); }
  Variant Guid(Arguments&) { return Variant::Text(GuidText(clsid_)); }
  Variant Connect(Arguments&) { return Variant::Bool(connected); }
  Variant GetObject(Arguments&) { return Variant::Object(object_.Get()); }
  void PutObject(Arguments& args) { object_ = args.PutObject(); }

  RegisteredAddin registered_;
  CLSID clsid_;
  ComPtr<IDispatch> object_;
};

struct AddinManager::Loaded {
  AddinRecord record;
  ComPtr<IDTExtensibility2> extensibility;
  std::unique_ptr<AddinRibbon> ribbon;
  ComPtr<AddInObject> instance;
  std::wstring dll;  // the file of the add-in's DLL, once created
};

namespace {

// The file of the module that holds an object's code.
std::wstring ModuleFileOf(IUnknown* object) {
  HMODULE module = nullptr;
  const auto vtable = *reinterpret_cast<const wchar_t* const*>(object);
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          vtable, &module)) {
    return {};
  }
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

// What an add-in's DLL answers when asked whether it may go.
std::wstring CanUnloadText(HMODULE module) {
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  const auto can_unload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")));
  if (can_unload == nullptr) return L"it has no DllCanUnloadNow";
  const HRESULT answer = can_unload();
  if (answer == S_OK) return L"DllCanUnloadNow answers S_OK";
  if (answer == S_FALSE) return L"DllCanUnloadNow answers S_FALSE";
  return L"DllCanUnloadNow answers " + host::HresultText(answer);
}

}  // namespace

std::wstring StateText(AddinRecord::State state) {
  switch (state) {
    case AddinRecord::State::Connected:
      return L"connected";
    case AddinRecord::State::Failed:
      return L"failed";
    case AddinRecord::State::Disconnected:
      break;
  }
  return L"disconnected";
}

AddinManager::AddinManager(std::shared_ptr<HostContext> context,
                           ComPtr<ApplicationObject> application, std::vector<std::wstring> only)
    : context_(std::move(context)), application_(std::move(application)), only_(std::move(only)) {}

AddinManager::~AddinManager() {
  Exit();
  CheckUnloaded();
}

void AddinManager::Connect(ext_ConnectMode mode) {
  context_->calls_closed.reset();
  if (std::none_of(addins_.begin(), addins_.end(),
                   [](const auto& addin) { return addin->extensibility != nullptr; })) {
    objects_before_connection_.clear();
    for (DispatchObject* object : context_->live_objects) {
      objects_before_connection_[object] = object->References();
    }
  }
  for (RegisteredAddin& registered : RegisteredAddins()) {
    // Registry key names, and so ProgIDs, ignore letter case.
    const auto named = [&](const std::wstring& prog_id) {
      return CompareStringOrdinal(prog_id.c_str(), -1, registered.prog_id.c_str(), -1, TRUE) ==
             CSTR_EQUAL;
    };
    if (!only_.empty() && std::none_of(only_.begin(), only_.end(), named)) continue;
    auto existing = std::find_if(addins_.begin(), addins_.end(), [&](const auto& addin) {
      return addin->record.prog_id == registered.prog_id;
    });
    if (existing == addins_.end()) {
      addins_.push_back(std::make_unique<Loaded>());
      existing = addins_.end() - 1;
    }
    Loaded& addin = **existing;
    if (addin.extensibility) continue;
    addin.record = {.prog_id = registered.prog_id, .friendly_name = registered.friendly_name};
    const auto fail = [&](const std::wstring& step, HRESULT result) {
      addin.record.state = AddinRecord::State::Failed;
      addin.record.problem = step + L" failed with " + host::HresultText(result);
      addin.extensibility.Reset();
      addin.instance.Reset();
    };
    registrations_.ExposeUserClass(registered.prog_id);
    CLSID clsid{};
    HRESULT result = CLSIDFromProgID(registered.prog_id.c_str(), &clsid);
    if (FAILED(result)) {
      fail(L"CLSIDFromProgID", result);
      continue;
    }
    // Outlook judges an add-in by this span: loading its DLL through connecting.
    const Stopwatch load;
    ComPtr<IUnknown> object;
    result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(object.GetAddressOf()));
    if (FAILED(result)) {
      fail(L"CoCreateInstance", result);
      continue;
    }
    addin.dll = ModuleFileOf(object.Get());
    ServeVirtualMonitors(GetModuleHandleW(addin.dll.c_str()));
    result = object.As(&addin.extensibility);
    if (FAILED(result)) {
      fail(L"QueryInterface(IDTExtensibility2)", result);
      continue;
    }
    addin.instance = MakeCom<AddInObject>(context_, std::move(registered), clsid);
    CustomArray custom;
    result = addin.extensibility->OnConnection(static_cast<IDispatch*>(application_.Get()), mode,
                                               addin.instance.Get(), custom.get());
    context_->timings.Add(L"connect", addin.record.prog_id, load.Milliseconds());
    if (FAILED(result)) {
      fail(L"OnConnection", result);
      CoFreeUnusedLibraries();
      continue;
    }
    addin.instance->connected = true;
    addin.record.state = AddinRecord::State::Connected;
    addin.record.problem.clear();
    if (context_->ribbon) LoadRibbon(addin, *object.Get());
  }
  for (const auto& addin : addins_) {
    if (!addin->extensibility) continue;
    CustomArray custom;
    addin->extensibility->OnAddInsUpdate(custom.get());
  }
  if (mode == ext_cm_Startup) {
    for (const auto& addin : addins_) {
      if (!addin->extensibility) continue;
      CustomArray custom;
      addin->extensibility->OnStartupComplete(custom.get());
    }
  }
}

void AddinManager::Release(Loaded& addin) {
  addin.ribbon.reset();
  addin.extensibility.Reset();
  addin.instance->connected = false;
  addin.instance->Forget();
  addin.instance.Reset();
  addin.record.state = AddinRecord::State::Disconnected;
  if (std::find(unchecked_.begin(), unchecked_.end(), &addin) == unchecked_.end()) {
    unchecked_.push_back(&addin);
  }
}

void AddinManager::Unload() {
  bool any = false;
  for (const auto& addin : addins_) {
    if (!addin->extensibility) continue;
    CustomArray custom;
    addin->extensibility->OnDisconnection(ext_dm_UserClosed, custom.get());
    Release(*addin);
    any = true;
  }
  if (any) context_->calls_closed = L"after the add-ins' disconnection";
  context_->ToolbarChanged();
}

void AddinManager::Exit() {
  std::vector<Loaded*> connected;
  for (const auto& addin : addins_) {
    if (addin->extensibility) connected.push_back(addin.get());
  }
  if (connected.empty()) return;
  application_->RaiseQuit();
  std::vector<Loaded*> notified;
  for (Loaded* addin : connected) {
    if (addin->extensibility && WantsShutdownNotification(addin->record.prog_id)) {
      notified.push_back(addin);
    }
  }
  for (Loaded* addin : notified) {
    CustomArray custom;
    if (addin->extensibility) addin->extensibility->OnBeginShutdown(custom.get());
  }
  for (Loaded* addin : notified) {
    CustomArray custom;
    if (addin->extensibility)
      addin->extensibility->OnDisconnection(ext_dm_HostShutdown, custom.get());
  }
  context_->calls_closed = L"after the host began to exit";
  for (Loaded* addin : connected) {
    if (addin->extensibility) Release(*addin);
  }
  context_->ToolbarChanged();
}

void AddinManager::CheckUnloaded() {
  if (unchecked_.empty()) return;
  CoFreeUnusedLibraries();
  const std::vector<const Loaded*> released = std::exchange(unchecked_, {});
  // Every object of the host that an add-in kept is one Outlook cannot free:
  // the add-in holds the host's process alive after the user closed it. With
  // an add-in connected again, its objects are its own.
  const bool any_connected = std::any_of(addins_.begin(), addins_.end(),
                                         [](const auto& addin) { return addin->extensibility; });
  if (!any_connected) {
    std::wstring kept;
    for (DispatchObject* object : context_->live_objects) {
      const auto before = objects_before_connection_.find(object);
      const bool let_go = before == objects_before_connection_.end()
                              ? object->ForeignReferences() == 0
                              : object->References() <= before->second;
      if (let_go) continue;
      kept += (kept.empty() ? L"" : L", ") + std::wstring(object->TypeName());
    }
    if (!kept.empty()) {
      context_->lifetime_problems.push_back(
          L"host objects still referenced after the add-ins' unload: " + kept);
    }
  }
  // Outlook unloads an add-in's DLL here too: one that stays still holds
  // objects, windows or references of the host it was told to let go of.
  for (const Loaded* addin : released) {
    if (addin->dll.empty() || addin->extensibility) continue;
    if (const HMODULE module = GetModuleHandleW(addin->dll.c_str())) {
      context_->lifetime_problems.push_back(L"the DLL of " + addin->record.prog_id +
                                            L" stayed loaded after its unload (" +
                                            CanUnloadText(module) + L")");
    }
  }
}

// Outlook 2010 asks a connected add-in for its ribbon at once; a customUI it
// refuses leaves the add-in connected without its controls.
void AddinManager::LoadRibbon(Loaded& addin, IUnknown& object) {
  try {
    addin.ribbon = AddinRibbon::Load(context_, object, addin.record.prog_id, application_.Get());
  } catch (const CustomUiError& error) {
    context_->ui_problems.push_back(addin.record.prog_id + L": customUI " +
                                    tools::Utf8ToWide(error.what()));
  } catch (const DispatchError& error) {
    context_->ui_problems.push_back(addin.record.prog_id + L": " + error.description());
  }
  context_->ToolbarChanged();
}

std::vector<AddinRibbon*> AddinManager::Ribbons() const {
  std::vector<AddinRibbon*> ribbons;
  for (const auto& addin : addins_) {
    if (addin->ribbon) ribbons.push_back(addin->ribbon.get());
  }
  return ribbons;
}

const std::vector<AddinRecord>& AddinManager::records() const {
  records_.clear();
  for (const auto& addin : addins_) records_.push_back(addin->record);
  return records_;
}

}  // namespace parvel::standin
