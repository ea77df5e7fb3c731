// ParvelAddin.dll as the host and regsvr32 meet it: loaded by path, registered
// per user, its class created through its factory and connected to a small
// scripted host.

#include <olectl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/extensibility_win.h"
#include "win/host/scripted_object_win.h"

namespace parvel::addin {
namespace {

using namespace parvel::host;

using Microsoft::WRL::ComPtr;
using testing::Call;
using testing::Returns;
using testing::ScriptedObject;

constexpr CLSID kClsid = {
    0x02ebd1ad, 0xe93d, 0x4c03, {0xa9, 0x44, 0x77, 0xf3, 0x67, 0x12, 0x1d, 0xeb}};
constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{02EBD1AD-E93D-4C03-A944-77F367121DEB}";
constexpr wchar_t kAddinKey[] =
    L"Software\\Microsoft\\Office\\Outlook\\Addins\\ZintaraOutlook.OLConnector";

// The DLL under test, named by the test runner in Unix form.
std::wstring DllPath() {
  const char* unix_path = std::getenv("PARVEL_ADDIN_DLL");
  std::wstring path = L"Z:";
  for (const char* c = unix_path; c != nullptr && *c != '\0'; ++c) {
    path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
  }
  return path;
}

std::wstring ReadText(const wchar_t* key, const wchar_t* name) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS) {
    return L"(missing)";
  }
  return buffer;
}

DWORD ReadNumber(const wchar_t* key, const wchar_t* name) {
  DWORD value = 0xFFFFFFFF;
  DWORD size = sizeof(value);
  RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  return true;
}

class AddinDll : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    module_ = LoadLibraryW(DllPath().c_str());
    ASSERT_NE(module_, nullptr) << "cannot load the add-in DLL";
  }
  void TearDown() override {
    FreeLibrary(module_);
    OleUninitialize();
  }

  template <typename Function>
  Function Export(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  ComPtr<IDTExtensibility2> NewConnector() {
    const auto get_class_object =
        Export<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(get_class_object(kClsid, IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IDTExtensibility2> connector;
    if (factory) {
      EXPECT_EQ(factory->CreateInstance(nullptr, __uuidof(IDTExtensibility2),
                                        reinterpret_cast<void**>(connector.GetAddressOf())),
                S_OK);
    }
    return connector;
  }

  HMODULE module_ = nullptr;
};

TEST_F(AddinDll, RegistersForTheCurrentUserAndUnregistersCompletely) {
  const auto register_server = Export<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer");
  const auto unregister_server = Export<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer");
  ASSERT_NE(register_server, nullptr);
  ASSERT_EQ(register_server(), S_OK);

  // What the host needs to load the DLL (the class, its server, LoadBehavior)
  // every scenario's loading checks; these the host only shows or reads later.
  EXPECT_EQ(ReadText(kAddinKey, L"FriendlyName"), L"Outlook add-in");
  EXPECT_EQ(ReadText(kAddinKey, L"Description"), L"Outlook add-in to send SMS messages");
  EXPECT_EQ(ReadNumber(kAddinKey, L"CommandLineSafe"), 0U);
  const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
  EXPECT_EQ(ReadText(server.c_str(), L"ThreadingModel"), L"Apartment");

  // The type library travels inside the DLL.
  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, &library), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  library->ReleaseTLibAttr(attributes);

  ASSERT_EQ(unregister_server(), S_OK);
  for (const std::wstring& key :
       {std::wstring(kClassKey), std::wstring(kAddinKey),
        std::wstring(L"Software\\Classes\\ZintaraOutlook.OLConnector"),
        std::wstring(L"Software\\Classes\\TypeLib\\{061E5F29-4F20-4456-8299-3A9AA670A969}"),
        std::wstring(L"Software\\Classes\\Interface\\{8F63346A-24C7-41F0-BAC6-A2CBC3CFB543}")}) {
    EXPECT_FALSE(KeyExists(key)) << std::string(key.begin(), key.end());
  }
  EXPECT_EQ(unregister_server(), S_OK) << "removing what is already gone succeeds";
}

// A host with one "Standard" bar whose Controls.Add hands out a button that
// records what the add-in sets on it.
// What a picture handed to the host is: "20x20/8" (size and bits per pixel).
std::wstring PictureText(const com::Variant& value) {
  ComPtr<IPicture> picture;
  OLE_HANDLE handle = 0;
  BITMAP bitmap{};
  if (value.get()->vt != VT_DISPATCH || value.get()->pdispVal == nullptr ||
      FAILED(value.get()->pdispVal->QueryInterface(IID_PPV_ARGS(&picture))) ||
      FAILED(picture->get_Handle(&handle)) ||
      GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof bitmap,
                 &bitmap) == 0) {
    return L"(no picture)";
  }
  return std::to_wstring(bitmap.bmWidth) + L"x" + std::to_wstring(bitmap.bmHeight) + L"/" +
         std::to_wstring(bitmap.bmBitsPixel);
}

struct ScriptedHost {
  ComPtr<ScriptedObject> button = ScriptedObject::Make();
  ComPtr<ScriptedObject> controls = ScriptedObject::Make();
  ComPtr<ScriptedObject> bar = ScriptedObject::Make();
  ComPtr<ScriptedObject> bars = ScriptedObject::Make();
  ComPtr<ScriptedObject> explorer = ScriptedObject::Make();
  ComPtr<ScriptedObject> application = ScriptedObject::Make();
  ComPtr<ScriptedObject> instance = ScriptedObject::Make();
  std::function<void()> on_paste_face;

  // pictures: the button takes Picture and Mask (Office XP and later).
  explicit ScriptedHost(bool pictures = true) {
    for (const wchar_t* name :
         {L"Caption", L"Tag", L"OnAction", L"Enabled", L"Visible", L"Style", L"Delete"}) {
      button->Define(name, Returns(com::Variant()));
    }
    button->Define(L"PasteFace", [this](const Call&, com::Variant&, EXCEPINFO*) {
      if (on_paste_face) on_paste_face();
      return S_OK;
    });
    if (pictures) {
      button->Define(L"Picture", Returns(com::Variant()));
      button->Define(L"Mask", Returns(com::Variant()));
    }
    controls->Define(L"Add", Returns(com::Variant(static_cast<IDispatch*>(button.Get()))));
    bar->Define(L"Name", Returns(com::Variant(L"Standard")));
    bar->Define(L"Controls", Returns(com::Variant(static_cast<IDispatch*>(controls.Get()))));
    bars->Define(L"Count", Returns(com::Variant(1)));
    bars->Define(L"Item", Returns(com::Variant(static_cast<IDispatch*>(bar.Get()))));
    explorer->Define(L"CommandBars", Returns(com::Variant(static_cast<IDispatch*>(bars.Get()))));
    application->Define(L"ActiveExplorer",
                        Returns(com::Variant(static_cast<IDispatch*>(explorer.Get()))));
    instance->Define(L"ProgId", Returns(com::Variant(L"ZintaraOutlook.OLConnector")));
  }

  std::array<ScriptedObject*, 7> Objects() const {
    return {button.Get(),   controls.Get(),    bar.Get(),     bars.Get(),
            explorer.Get(), application.Get(), instance.Get()};
  }

  // How many calls the add-in made on any of the host's objects.
  std::size_t AllCalls() const {
    std::size_t count = 0;
    for (const ScriptedObject* object : Objects()) count += object->calls().size();
    return count;
  }

  HRESULT Connect(IDTExtensibility2& connector, ext_ConnectMode mode) const {
    SAFEARRAY* custom = nullptr;
    return connector.OnConnection(application.Get(), mode, instance.Get(), &custom);
  }

  // What the add-in gave the button as its Picture.
  std::wstring Picture() const {
    for (const Call& call : button->calls()) {
      if (call.name == L"Picture" && !call.args.empty()) return PictureText(call.args[0]);
    }
    return L"(no Picture)";
  }
};

TEST_F(AddinDll, TheFaceIsGivenAsPictureOrPastedLeavingNoneOfItOnTheClipboard) {
  // A face an earlier program left on the clipboard would rightly come back
  // with the rest of what was there.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  ScriptedHost host;
  const ComPtr<IDTExtensibility2> connector = NewConnector();
  ASSERT_NE(connector, nullptr);
  SAFEARRAY* custom = nullptr;
  ASSERT_EQ(host.Connect(*connector.Get(), ext_cm_Startup), S_OK);
  EXPECT_EQ(host.Picture(), L"20x20/8") << "the picture of the resources, as it is";
  ASSERT_EQ(connector->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);

  // Office 2000's buttons take no Picture and Mask: the face is pasted.
  ScriptedHost without_pictures(false);
  std::vector<bool> face_there;
  without_pictures.on_paste_face = [&] {
    face_there.push_back(
        IsClipboardFormatAvailable(RegisterClipboardFormatA("Toolbar Button Face")) != FALSE &&
        IsClipboardFormatAvailable(RegisterClipboardFormatA("Toolbar Button Mask")) != FALSE);
  };
  ASSERT_EQ(without_pictures.Connect(*connector.Get(), ext_cm_Startup), S_OK);
  EXPECT_EQ(face_there, std::vector<bool>{true}) << "the face and mask wait for PasteFace";
  EXPECT_EQ(IsClipboardFormatAvailable(RegisterClipboardFormatA("Toolbar Button Face")), FALSE);
  EXPECT_EQ(IsClipboardFormatAvailable(RegisterClipboardFormatA("Toolbar Button Mask")), FALSE);
  ASSERT_EQ(connector->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);
}

ULONG ReferencesOf(ScriptedObject* object) {
  object->AddRef();
  return object->Release();
}

// How many references to each of the host's objects there are.
std::vector<ULONG> References(const ScriptedHost& host) {
  std::vector<ULONG> counts;
  for (ScriptedObject* object : host.Objects()) counts.push_back(ReferencesOf(object));
  return counts;
}

TEST_F(AddinDll, HandsOutOnlyItsClassAndKeepsNothingOfTheHostOnceDisconnectedOrLetGo) {
  const auto can_unload = Export<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow");
  const auto get_class_object =
      Export<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(get_class_object(IID_IUnknown, IID_PPV_ARGS(&factory)), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(can_unload(), S_OK);
  ScriptedHost host;
  const std::vector<ULONG> before = References(host);
  SAFEARRAY* custom = nullptr;
  {
    const ComPtr<IDTExtensibility2> connector = NewConnector();
    ASSERT_EQ(host.Connect(*connector.Get(), ext_cm_AfterStartup), S_OK);
    EXPECT_NE(References(host), before);
    ASSERT_EQ(connector->OnBeginShutdown(&custom), S_OK);
    ASSERT_EQ(connector->OnDisconnection(ext_dm_HostShutdown, &custom), S_OK);
    EXPECT_EQ(References(host), before);
    EXPECT_EQ(can_unload(), S_FALSE) << "the connector itself still lives";
  }
  EXPECT_EQ(can_unload(), S_OK);

  // Outlook 2010 and later close without disconnecting (fast shutdown): the
  // add-in lets go of everything and calls nothing of the host any more.
  std::size_t calls = 0;
  {
    const ComPtr<IDTExtensibility2> connector = NewConnector();
    ASSERT_EQ(host.Connect(*connector.Get(), ext_cm_AfterStartup), S_OK);
    calls = host.AllCalls();
  }
  EXPECT_EQ(host.AllCalls(), calls) << "no Delete, no call at all";
  EXPECT_EQ(References(host), before);
  EXPECT_EQ(can_unload(), S_OK);
}

TEST_F(AddinDll, AHostWithoutToolbarsStillConnects) {
  const auto application = ScriptedObject::Make();
  const ComPtr<IDTExtensibility2> connector = NewConnector();
  SAFEARRAY* custom = nullptr;
  EXPECT_EQ(connector->OnConnection(application.Get(), ext_cm_Startup, nullptr, &custom), S_OK);
  EXPECT_EQ(connector->OnConnection(nullptr, ext_cm_Startup, nullptr, &custom), S_OK);
  EXPECT_EQ(connector->OnDisconnection(ext_dm_HostShutdown, &custom), S_OK);
}

// The ribbon's way in: GetCustomUI, then the callbacks by name through the
// connector's IDispatch, each with a control the host owns.
struct RibbonCall {
  ComPtr<IDispatch> callbacks;
  HRESULT hr = S_OK;
  com::Variant result;

  void Invoke(const wchar_t* name, IDispatch* control) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    hr = callbacks->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return;
    VARIANT argument;
    argument.vt = VT_DISPATCH;
    argument.pdispVal = control;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    result = com::Variant();
    hr = callbacks->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                           result.get(), nullptr, nullptr);
  }
};

TEST_F(AddinDll, RibbonCallbacksAnswerOnlyWhileConnectedAndKeepNoControl) {
  const ComPtr<IDTExtensibility2> connector = NewConnector();
  ComPtr<IRibbonExtensibility> ribbon;
  ASSERT_EQ(connector.As(&ribbon), S_OK);
  // The explorer's ribbon is checked by the scenarios, as strictly as Office
  // reads it; a reading window gets none.
  BSTR reading_id = SysAllocString(L"Microsoft.Outlook.Mail.Read");
  BSTR xml = nullptr;
  EXPECT_EQ(ribbon->GetCustomUI(reading_id, &xml), S_OK);
  SysFreeString(reading_id);
  EXPECT_EQ(SysStringLen(xml), 0U);
  SysFreeString(xml);

  RibbonCall call;
  ASSERT_EQ(connector.As(&call.callbacks), S_OK);
  const auto control = ScriptedObject::Make();
  control->Define(L"Id", Returns(com::Variant(L"ParvelSendSmsMail")));
  const ULONG control_references = ReferencesOf(control.Get());
  call.Invoke(L"NoSuchCallback", control.Get());
  EXPECT_EQ(call.hr, DISP_E_UNKNOWNNAME);
  // Not connected: nothing is done, nothing of the control is read.
  call.Invoke(L"parvelgetimage", control.Get());
  EXPECT_EQ(call.hr, S_OK);
  EXPECT_EQ(call.result.get()->vt, VT_EMPTY);
  EXPECT_TRUE(control->calls().empty());

  ScriptedHost host;
  SAFEARRAY* custom = nullptr;
  ASSERT_EQ(host.Connect(*connector.Get(), ext_cm_AfterStartup), S_OK);
  call.Invoke(L"ParvelGetImage", control.Get());
  ASSERT_EQ(call.hr, S_OK);
  EXPECT_EQ(PictureText(call.result), L"32x32/32") << "with an alpha channel";
  const auto entry = ScriptedObject::Make();
  entry->Define(L"Id", Returns(com::Variant(L"ParvelSendSmsToContact")));
  call.Invoke(L"ParvelGetImage", entry.Get());
  EXPECT_EQ(PictureText(call.result), L"16x16/32");

  // A context that is no selection is a failure, reported, not a guess.
  const auto mail = ScriptedObject::Make();
  mail->Define(L"Class", Returns(com::Variant(43)));
  entry->Define(L"Context", Returns(com::Variant(static_cast<IDispatch*>(mail.Get()))));
  const ULONG mail_references = ReferencesOf(mail.Get());
  call.Invoke(L"ParvelSendSmsToSelection", entry.Get());
  EXPECT_TRUE(FAILED(call.hr));
  call.result = com::Variant();
  EXPECT_EQ(ReferencesOf(control.Get()), control_references);
  EXPECT_EQ(ReferencesOf(mail.Get()), mail_references);

  ASSERT_EQ(connector->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);
  const std::size_t calls = entry->calls().size();
  call.Invoke(L"ParvelSendSmsToSelection", entry.Get());
  EXPECT_EQ(call.hr, S_OK);
  EXPECT_EQ(entry->calls().size(), calls) << "nothing of the host touched after disconnection";
}

// The contacts of a selection as Outlook hands them out, one at a time,
// noting the most of them the add-in still held when it asked for the next.
class HandedOutContacts final : public com::ComObject<HandedOutContacts, IEnumVARIANT> {
 public:
  explicit HandedOutContacts(std::size_t count) : count_(count) {}
  ULONG most_held = 0;

  HRESULT STDMETHODCALLTYPE Next(ULONG, VARIANT* out, ULONG* fetched) override {
    ULONG held = 0;
    for (const ComPtr<ScriptedObject>& item : handed_out_) {
      if (ReferencesOf(item.Get()) > 1) ++held;
    }
    most_held = std::max(most_held, held);
    *fetched = 0;
    if (handed_out_.size() == count_) return S_FALSE;
    const std::wstring n = std::to_wstring(handed_out_.size());
    const auto item = ScriptedObject::Make();
    item->Define(L"Class", Returns(com::Variant(40)));  // olContact
    item->Define(L"MobileTelephoneNumber", Returns(com::Variant(L"021 " + n)));
    item->Define(L"FileAs", Returns(com::Variant(L"Contact " + n)));
    item->Define(L"EntryID", Returns(com::Variant(L"0A" + n)));
    handed_out_.push_back(item);
    *out = com::Variant(static_cast<IDispatch*>(item.Get())).Detach();
    *fetched = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

 private:
  std::size_t count_;
  std::vector<ComPtr<ScriptedObject>> handed_out_;
};

TEST_F(AddinDll, SendSmsToALargeSelectionHoldsOneItemAtATime) {
  const ComPtr<IDTExtensibility2> connector = NewConnector();
  ScriptedHost host;
  const auto mapi = ScriptedObject::Make();
  host.application->Define(L"GetNamespace",
                           Returns(com::Variant(static_cast<IDispatch*>(mapi.Get()))));
  ASSERT_EQ(host.Connect(*connector.Get(), ext_cm_AfterStartup), S_OK);
  RibbonCall call;
  ASSERT_EQ(connector.As(&call.callbacks), S_OK);
  // Exchange lets a session hold 250 items open by default.
  const auto contacts = HandedOutContacts::Make(std::size_t{300});
  const auto selection = ScriptedObject::Make();
  selection->Define(L"Class", Returns(com::Variant(74)));  // olSelection
  selection->Define(L"_NewEnum", [&contacts](const Call&, com::Variant& result, EXCEPINFO*) {
    result.get()->vt = VT_UNKNOWN;
    result.get()->punkVal = contacts.Get();
    contacts->AddRef();
    return S_OK;
  });
  const auto entry = ScriptedObject::Make();
  entry->Define(L"Id", Returns(com::Variant(L"ParvelSendSmsToContact")));
  entry->Define(L"Context", Returns(com::Variant(static_cast<IDispatch*>(selection.Get()))));
  // What the compose window's load says to this bare host is answered.
  std::atomic<bool> done = false;
  std::thread answerer([&done] {
    while (!done) {
      for (const wchar_t* title : {L"Initialisation", L"Password Error", L"Outlook Error"}) {
        if (const HWND box = FindWindowW(L"#32770", title)) PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(20);
    }
  });
  call.Invoke(L"ParvelSendSmsToSelection", entry.Get());
  done = true;
  answerer.join();
  EXPECT_EQ(call.hr, S_OK);
  EXPECT_LE(contacts->most_held, 1U) << "each item let go of before the next is asked for";
  SAFEARRAY* custom = nullptr;
  ASSERT_EQ(connector->OnDisconnection(ext_dm_UserClosed, &custom), S_OK);
}

}  // namespace
}  // namespace parvel::addin
