// A small Outlook COM add-in for the stand-in host's own tests: on
// connection it puts a "Test SMS" button with a face second on "Standard";
// a click sends one gateway request through Redemption.SafeMailItem; on
// disconnection the button goes again. It registers itself per user as an
// Outlook add-in (DllRegisterServer). It calls the host through the add-in's
// own late binding, so that what it finds out is about the host.

#include <windows.h>

#include <oaidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "addin/class_factory_win.h"
#include "com/com_module_win.h"
#include "com/com_object_win.h"
#include "com/dispatch_win.h"
#include "com/event_advice_win.h"
#include "host/button_face.h"
#include "host/diagnostics.h"
#include "host/extensibility_win.h"
#include "host/host_error.h"
#include "request/gateway_request.h"

namespace {

using Microsoft::WRL::ComPtr;
using parvel::com::Dispatch;
using parvel::com::Variant;
using parvel::host::HostError;

constexpr wchar_t kProgId[] = L"ParvelTest.Addin";
constexpr wchar_t kCaption[] = L"Test SMS";
constexpr CLSID kClsid = {
    0x2f0d4c3a, 0x91b7, 0x4e52, {0x86, 0x0c, 0x5e, 0x13, 0xa7, 0x42, 0xd9, 0x6b}};
constexpr int kFaceSide = 16;
constexpr int kFaceBorder = 2;  // transparent: 16 * 16 - 12 * 12 = 112 pixels

Dispatch Create(const wchar_t* prog_id) {
  CLSID clsid{};
  HRESULT result = CLSIDFromProgID(prog_id, &clsid);
  ComPtr<IDispatch> object;
  if (SUCCEEDED(result))
    result = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&object));
  if (FAILED(result))
    throw HostError(result, std::wstring(prog_id) + L" is not available (" +
                                parvel::host::HresultText(result) + L")");
  return Dispatch(object);
}

// A blue face with a magenta border, as CF_DIB and "Toolbar Button Face",
// and its mask (white where transparent) as "Toolbar Button Mask".
void PutFaceOnClipboard() {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < kFaceSide; ++y) {
    for (int x = 0; x < kFaceSide; ++x) {
      const bool border = x < kFaceBorder || y < kFaceBorder || x >= kFaceSide - kFaceBorder ||
                          y >= kFaceSide - kFaceBorder;
      pixels.push_back(border ? parvel::host::kButtonFaceKeyColour : 0x2000C0);
    }
  }
  const BITMAPINFOHEADER header{
      sizeof(BITMAPINFOHEADER), kFaceSide, kFaceSide, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<BYTE> face(reinterpret_cast<const BYTE*>(&header),
                         reinterpret_cast<const BYTE*>(&header) + sizeof header);
  for (const std::uint32_t pixel : pixels) {
    face.insert(face.end(), {static_cast<BYTE>(pixel), static_cast<BYTE>(pixel >> 8),
                             static_cast<BYTE>(pixel >> 16)});
  }
  const std::vector<BYTE> mask = parvel::host::BuildMaskBlock(pixels, kFaceSide, kFaceSide,
                                                              parvel::host::kButtonFaceKeyColour);
  if (!OpenClipboard(nullptr)) throw HostError(E_ACCESSDENIED, L"the clipboard is busy");
  EmptyClipboard();
  const auto put = [](UINT format, const std::vector<BYTE>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
    if (block == nullptr) return;
    std::copy(bytes.begin(), bytes.end(), static_cast<BYTE*>(GlobalLock(block)));
    GlobalUnlock(block);
    if (SetClipboardData(format, block) == nullptr) GlobalFree(block);
  };
  put(CF_DIB, face);
  put(RegisterClipboardFormatW(L"Toolbar Button Face"), face);
  put(RegisterClipboardFormatW(L"Toolbar Button Mask"), mask);
  CloseClipboard();
}

class Connector final : public parvel::com::ComObject<Connector, IDTExtensibility2> {
 public:
  bool Answers(REFIID iid) const noexcept { return iid == IID_IDispatch; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode, IDispatch* addin,
                                         SAFEARRAY**) override {
    try {
      application_ = Dispatch(ComPtr<IDispatch>(application));
      const std::wstring prog_id = Dispatch(ComPtr<IDispatch>(addin)).Call(L"ProgId").ToText();
      button_ = application_.Object(L"ActiveExplorer")
                    .Object(L"CommandBars")
                    .Object(L"Item", {L"Standard"})
                    .Object(L"Controls")
                    .Object(L"Add", {1, Variant::Missing(), Variant::Missing(), 2, true});
      button_.Put(L"Caption", kCaption);
      button_.Put(L"Tag", kCaption);
      button_.Put(L"OnAction", L"!<" + prog_id + L">");
      button_.Put(L"Style", 3);
      PutFaceOnClipboard();
      button_.Call(L"PasteFace");
      click_.Advise(button_.get(), kIidCommandBarButtonEvents, kDispidCommandBarButtonClick,
                    [this] { Send(); });
    } catch (const std::exception& error) {
      MessageBoxW(nullptr, parvel::host::FailureText(error).c_str(), L"Test SMS connection",
                  MB_OK | MB_ICONEXCLAMATION);
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    click_.Unadvise();
    try {
      if (button_) button_.Call(L"Delete");
    } catch (const std::exception&) {
      // The host may have dropped the button already.
    }
    button_ = Dispatch();
    application_ = Dispatch();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

 private:
  void Send() {
    try {
      const Dispatch safe = Create(L"Redemption.SafeMailItem");
      const Dispatch mail = application_.Object(L"CreateItem", {0});
      safe.Put(L"Item", Variant(mail.get()));
      const std::wstring user = application_.Object(L"GetNamespace", {L"MAPI"})
                                    .Object(L"CurrentUser")
                                    .Call(L"Name")
                                    .ToText();

      const parvel::AccountSettings settings{
          .account = L"acc1", .password = L"secret", .mail_address = L"sms@gateway.example"};
      const std::vector<parvel::RecipientEntry> rows = {
          {.name = L"Test",
           .mobile = L"021 555 123",
           .kind = parvel::RecipientEntry::Kind::Envelope}};
      const parvel::GatewayRequest request =
          parvel::BuildGatewayRequest({.settings = settings,
                                       .user_name = user,
                                       .rows = rows,
                                       .message = L"Hello from the test add-in"});

      safe.Put(L"To", settings.mail_address);
      safe.Object(L"Recipients").Call(L"Add", {settings.mail_address});
      safe.Put(L"Subject", request.subject);
      safe.Put(L"Body", request.body);
      safe.Call(L"Save");
      safe.Call(L"Send");
      const Dispatch utils = Create(L"Redemption.MAPIUtils");
      utils.Call(L"DeliverNow");
      utils.Call(L"Cleanup");
    } catch (const std::exception& error) {
      MessageBoxW(nullptr, (L"Send failed: " + parvel::host::FailureText(error)).c_str(), kCaption,
                  MB_OK | MB_ICONEXCLAMATION);
    }
  }

  Dispatch application_;
  Dispatch button_;
  parvel::com::EventAdvice click_;
};

HRESULT CreateConnector(REFIID iid, void** object) {
  const ComPtr<Connector> connector = Connector::Make();
  return connector ? connector->QueryInterface(iid, object) : E_OUTOFMEMORY;
}

// The add-in's own factory, so that the host meets it as it meets the add-in.
constexpr parvel::addin::ClassEntry kClasses[] = {{&kClsid, &CreateConnector}};

std::wstring ClsidText() {
  std::array<wchar_t, 40> text{};
  StringFromGUID2(kClsid, text.data(), static_cast<int>(text.size()));
  return text.data();
}

// RegSetKeyValueW creates the key and any missing parent first.
bool SetValue(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, text.c_str(),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetValue(const std::wstring& path, const wchar_t* name, DWORD number) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, REG_DWORD, &number,
                         sizeof number) == ERROR_SUCCESS;
}

const std::wstring kAddinKey =
    std::wstring(L"Software\\Microsoft\\Office\\Outlook\\Addins\\") + kProgId;

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return parvel::addin::GetClassFactory(std::begin(kClasses), std::end(kClasses), clsid, iid,
                                        object);
}

STDAPI DllCanUnloadNow() { return parvel::com::ModuleReferences() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  const std::wstring classes = L"Software\\Classes\\";
  const std::wstring clsid_key = classes + L"CLSID\\" + ClsidText();
  const bool ok = SetValue(classes + kProgId + L"\\CLSID", nullptr, ClsidText()) &&
                  SetValue(clsid_key, nullptr, L"Parvel test add-in") &&
                  SetValue(clsid_key + L"\\ProgID", nullptr, kProgId) &&
                  SetValue(clsid_key + L"\\InprocServer32", nullptr, parvel::com::ModulePath()) &&
                  SetValue(clsid_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                  SetValue(kAddinKey, L"FriendlyName", L"Parvel test add-in") &&
                  SetValue(kAddinKey, L"Description", L"Sends one test SMS") &&
                  SetValue(kAddinKey, L"LoadBehavior", DWORD{3}) &&
                  SetValue(kAddinKey, L"CommandLineSafe", DWORD{0});
  return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  const std::wstring classes = L"Software\\Classes\\";
  RegDeleteTreeW(HKEY_CURRENT_USER, kAddinKey.c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, (classes + kProgId).c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, (classes + L"CLSID\\" + ClsidText()).c_str());
  return S_OK;
}
