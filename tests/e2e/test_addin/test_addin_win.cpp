// A small Outlook COM add-in for the stand-in host's own tests: on
// connection it puts a "Test SMS" button with a face second on "Standard";
// a click sends one gateway request through Redemption.SafeMailItem; on
// disconnection the button goes again. It registers itself per user as an
// Outlook add-in (DllRegisterServer).

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

#include "host/extensibility_win.h"
#include "request/gateway_request.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kProgId[] = L"ParvelTest.Addin";
constexpr wchar_t kCaption[] = L"Test SMS";
constexpr CLSID kClsid = {
    0x2f0d4c3a, 0x91b7, 0x4e52, {0x86, 0x0c, 0x5e, 0x13, 0xa7, 0x42, 0xd9, 0x6b}};
constexpr int kFaceSide = 16;
constexpr int kFaceBorder = 2;  // transparent: 16 * 16 - 12 * 12 = 112 pixels

std::atomic<long> g_live_objects{0};

// A failed host call: what it was and what the host said.
struct CallError {
  std::wstring text;
};

std::wstring Hex(HRESULT result) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(result));
  return text;
}

class Value {
 public:
  Value() { VariantInit(&v_); }
  ~Value() { VariantClear(&v_); }
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
  Value(Value&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  static Value Text(const std::wstring& text) {
    Value value;
    V_VT(&value.v_) = VT_BSTR;
    V_BSTR(&value.v_) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return value;
  }
  static Value Int(long number) {
    Value value;
    V_VT(&value.v_) = VT_I4;
    V_I4(&value.v_) = number;
    return value;
  }
  static Value Bool(bool flag) {
    Value value;
    V_VT(&value.v_) = VT_BOOL;
    V_BOOL(&value.v_) = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
  }
  static Value Missing() {
    Value value;
    V_VT(&value.v_) = VT_ERROR;
    V_ERROR(&value.v_) = DISP_E_PARAMNOTFOUND;
    return value;
  }
  static Value Object(IDispatch* object) {
    Value value;
    V_VT(&value.v_) = VT_DISPATCH;
    V_DISPATCH(&value.v_) = object;
    object->AddRef();
    return value;
  }
  VARIANT* get() { return &v_; }
  ComPtr<IDispatch> AsObject() const {
    if (V_VT(&v_) != VT_DISPATCH || V_DISPATCH(&v_) == nullptr)
      throw CallError{L"no object returned"};
    return ComPtr<IDispatch>(V_DISPATCH(&v_));
  }
  std::wstring AsText() const {
    if (V_VT(&v_) != VT_BSTR) throw CallError{L"no text returned"};
    return std::wstring(V_BSTR(&v_), SysStringLen(V_BSTR(&v_)));
  }
  long AsInt() const {
    if (V_VT(&v_) != VT_I4) throw CallError{L"no number returned"};
    return V_I4(&v_);
  }

 private:
  VARIANT v_;
};

// Late-bound call by name, arguments in their natural order.
Value Call(IDispatch* object, const wchar_t* name, WORD flags, std::vector<Value> args = {}) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(result)) throw CallError{std::wstring(name) + L" is unknown (" + Hex(result) + L")"};
  std::vector<VARIANTARG> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->get());
  DISPID put_id = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS params{reversed.data(), put ? &put_id : nullptr, static_cast<UINT>(reversed.size()),
                    put ? 1U : 0U};
  Value value;
  EXCEPINFO exception{};
  UINT argument_error = 0;
  result = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                          put ? nullptr : value.get(), &exception, &argument_error);
  if (FAILED(result)) {
    std::wstring text = std::wstring(name) + L" failed (" + Hex(result) + L")";
    if (result == DISP_E_EXCEPTION && exception.bstrDescription != nullptr) {
      text = std::wstring(exception.bstrDescription, SysStringLen(exception.bstrDescription));
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    throw CallError{text};
  }
  return value;
}

Value Get(IDispatch* object, const wchar_t* name, std::vector<Value> args = {}) {
  return Call(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
}

void Put(IDispatch* object, const wchar_t* name, Value value, WORD flags = DISPATCH_PROPERTYPUT) {
  std::vector<Value> args;
  args.push_back(std::move(value));
  Call(object, name, flags, std::move(args));
}

ComPtr<IDispatch> Create(const wchar_t* prog_id) {
  CLSID clsid{};
  HRESULT result = CLSIDFromProgID(prog_id, &clsid);
  ComPtr<IDispatch> object;
  if (SUCCEEDED(result)) {
    result = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch,
                              reinterpret_cast<void**>(object.GetAddressOf()));
  }
  if (FAILED(result))
    throw CallError{std::wstring(prog_id) + L" is not available (" + Hex(result) + L")"};
  return object;
}

// A blue face with a transparent border, as CF_DIB, "Toolbar Button Face"
// and "Toolbar Button Mask" (1 bit per pixel, white transparent).
void PutFaceOnClipboard() {
  BITMAPINFOHEADER header{
      sizeof(BITMAPINFOHEADER), kFaceSide, kFaceSide, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const std::size_t stride = kFaceSide * 3;
  std::vector<BYTE> face(sizeof header + stride * kFaceSide);
  std::vector<BYTE> mask(sizeof header + 8 + 4 * kFaceSide);
  BITMAPINFOHEADER mask_header = header;
  mask_header.biBitCount = 1;
  std::copy_n(reinterpret_cast<const BYTE*>(&header), sizeof header, face.begin());
  std::copy_n(reinterpret_cast<const BYTE*>(&mask_header), sizeof mask_header, mask.begin());
  const BYTE table[8] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  std::copy_n(table, 8, mask.begin() + sizeof header);
  for (int y = 0; y < kFaceSide; ++y) {
    for (int x = 0; x < kFaceSide; ++x) {
      const bool border = x < kFaceBorder || y < kFaceBorder || x >= kFaceSide - kFaceBorder ||
                          y >= kFaceSide - kFaceBorder;
      BYTE* pixel = &face[sizeof header + static_cast<std::size_t>(y) * stride +
                          static_cast<std::size_t>(x) * 3];
      pixel[0] = border ? 0xFF : 0xC0;  // magenta border, blue inside
      pixel[1] = 0x00;
      pixel[2] = border ? 0xFF : 0x20;
      if (border)
        mask[sizeof header + 8 + static_cast<std::size_t>(y) * 4 +
             static_cast<std::size_t>(x) / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  if (!OpenClipboard(nullptr)) throw CallError{L"the clipboard is busy"};
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

// COM interfaces have no virtual destructor: objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <typename Interface>
class Object : public Interface {
 public:
  Object() { ++g_live_objects; }
  virtual ~Object() { --g_live_objects; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<ULONG> references_{1};
};

class Connector;

// Receives the button's Click: DISPID 1 with (Ctrl, CancelDefault ByRef).
class ClickSink final : public Object<IDispatch> {
 public:
  explicit ClickSink(Connector& connector) : connector_(connector) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidCommandBarButtonEvents) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

 private:
  Connector& connector_;
};

class Connector final : public Object<IDTExtensibility2> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IDTExtensibility2)) {
      *object = static_cast<IDTExtensibility2*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
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
      application_ = application;
      const std::wstring prog_id = Get(addin, L"ProgId").AsText();
      const ComPtr<IDispatch> bars =
          Get(Get(application, L"ActiveExplorer").AsObject().Get(), L"CommandBars").AsObject();
      const long count = Get(bars.Get(), L"Count").AsInt();
      for (long i = 1; i <= count && !button_; ++i) {
        std::vector<Value> index;
        index.push_back(Value::Int(i));
        const ComPtr<IDispatch> bar = Get(bars.Get(), L"Item", std::move(index)).AsObject();
        if (Get(bar.Get(), L"Name").AsText() != L"Standard") continue;
        std::vector<Value> add;
        add.push_back(Value::Int(1));
        add.push_back(Value::Missing());
        add.push_back(Value::Missing());
        add.push_back(Value::Int(2));
        add.push_back(Value::Bool(true));
        button_ =
            Get(Get(bar.Get(), L"Controls").AsObject().Get(), L"Add", std::move(add)).AsObject();
      }
      if (!button_) return S_OK;
      Put(button_.Get(), L"Caption", Value::Text(kCaption));
      Put(button_.Get(), L"Tag", Value::Text(kCaption));
      Put(button_.Get(), L"OnAction", Value::Text(L"!<" + prog_id + L">"));
      Put(button_.Get(), L"Style", Value::Int(3));
      PutFaceOnClipboard();
      Get(button_.Get(), L"PasteFace");
      ComPtr<IConnectionPointContainer> container;
      if (SUCCEEDED(button_.As(&container)) &&
          SUCCEEDED(
              container->FindConnectionPoint(kIidCommandBarButtonEvents, point_.GetAddressOf()))) {
        // Adopted: mingw's ComPtr::Attach would add a reference of its own.
        *sink_.ReleaseAndGetAddressOf() = new ClickSink(*this);
        point_->Advise(sink_.Get(), &cookie_);
      }
      return S_OK;
    } catch (const CallError& error) {
      MessageBoxW(nullptr, error.text.c_str(), L"Test SMS connection", MB_OK | MB_ICONEXCLAMATION);
      return S_OK;
    }
  }

  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    if (point_) point_->Unadvise(cookie_);
    point_.Reset();
    sink_.Reset();
    try {
      if (button_) Get(button_.Get(), L"Delete");
    } catch (const CallError&) {
      // The host may have dropped the button already.
    }
    button_.Reset();
    application_.Reset();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

  void Send() {
    try {
      const ComPtr<IDispatch> safe = Create(L"Redemption.SafeMailItem");
      std::vector<Value> mail_type;
      mail_type.push_back(Value::Int(0));
      const ComPtr<IDispatch> mail =
          Get(application_.Get(), L"CreateItem", std::move(mail_type)).AsObject();
      Put(safe.Get(), L"Item", Value::Object(mail.Get()), DISPATCH_PROPERTYPUTREF);
      std::vector<Value> mapi;
      mapi.push_back(Value::Text(L"MAPI"));
      const ComPtr<IDispatch> names =
          Get(application_.Get(), L"GetNamespace", std::move(mapi)).AsObject();
      const std::wstring user =
          Get(Get(names.Get(), L"CurrentUser").AsObject().Get(), L"Name").AsText();

      const parvel::AccountSettings settings{
          .Account = L"acc1", .Password = L"secret", .MailAddress = L"sms@gateway.example"};
      const std::vector<parvel::RecipientEntry> rows = {
          {.Name = L"Test", .Mobile = L"021 555 123", .Kind = std::wstring(parvel::kKindEnvelope)}};
      const parvel::GatewayRequest request =
          parvel::BuildGatewayRequest({.settings = settings,
                                       .user_name = user,
                                       .rows = rows,
                                       .message = L"Hello from the test add-in"});

      Put(safe.Get(), L"To", Value::Text(settings.MailAddress));
      std::vector<Value> recipient;
      recipient.push_back(Value::Text(settings.MailAddress));
      Get(Get(safe.Get(), L"Recipients").AsObject().Get(), L"Add", std::move(recipient));
      Put(safe.Get(), L"Subject", Value::Text(request.Subject));
      Put(safe.Get(), L"Body", Value::Text(request.Body));
      Get(safe.Get(), L"Save");
      Get(safe.Get(), L"Send");
      const ComPtr<IDispatch> utils = Create(L"Redemption.MAPIUtils");
      Get(utils.Get(), L"DeliverNow");
      Get(utils.Get(), L"Cleanup");
    } catch (const CallError& error) {
      MessageBoxW(nullptr, (L"Send failed: " + error.text).c_str(), kCaption,
                  MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::exception&) {
      MessageBoxW(nullptr, L"Send failed", kCaption, MB_OK | MB_ICONEXCLAMATION);
    }
  }

 private:
  ComPtr<IDispatch> application_;
  ComPtr<IDispatch> button_;
  ComPtr<IConnectionPoint> point_;
  ComPtr<IDispatch> sink_;
  DWORD cookie_ = 0;
};

HRESULT ClickSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                          UINT*) {
  if (id != kDispidCommandBarButtonClick) return DISP_E_MEMBERNOTFOUND;
  // Click(Ctrl As CommandBarButton, CancelDefault As Boolean ByRef), last first.
  if (params == nullptr || params->cArgs != 2 || V_VT(&params->rgvarg[1]) != VT_DISPATCH ||
      V_VT(&params->rgvarg[0]) != (VT_BOOL | VT_BYREF)) {
    MessageBoxW(nullptr, L"Click arrived with unexpected arguments", kCaption,
                MB_OK | MB_ICONEXCLAMATION);
    return DISP_E_TYPEMISMATCH;
  }
  connector_.Send();
  return S_OK;
}

class Factory final : public Object<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    ComPtr<Connector> connector;
    *connector.ReleaseAndGetAddressOf() = new Connector();
    return connector->QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    g_live_objects += lock ? 1 : -1;
    return S_OK;
  }
};
#pragma GCC diagnostic pop

std::wstring ModulePath() {
  std::array<wchar_t, MAX_PATH> path{};
  GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path.data(),
                     static_cast<DWORD>(path.size()));
  return path.data();
}

std::wstring ClsidText() {
  std::array<wchar_t, 40> text{};
  StringFromGUID2(kClsid, text.data(), static_cast<int>(text.size()));
  return text.data();
}

bool SetValue(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result =
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

const std::wstring kAddinKey =
    std::wstring(L"Software\\Microsoft\\Office\\Outlook\\Addins\\") + kProgId;

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  ComPtr<Factory> factory;
  *factory.ReleaseAndGetAddressOf() = new (std::nothrow) Factory();
  return factory ? factory->QueryInterface(iid, object) : E_OUTOFMEMORY;
}

STDAPI DllCanUnloadNow() { return g_live_objects == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  const std::wstring classes = L"Software\\Classes\\";
  const std::wstring clsid_key = classes + L"CLSID\\" + ClsidText();
  const bool ok = SetValue(classes + kProgId + L"\\CLSID", nullptr, ClsidText()) &&
                  SetValue(clsid_key, nullptr, L"Parvel test add-in") &&
                  SetValue(clsid_key + L"\\ProgID", nullptr, kProgId) &&
                  SetValue(clsid_key + L"\\InprocServer32", nullptr, ModulePath()) &&
                  SetValue(clsid_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                  SetValue(kAddinKey, L"FriendlyName", L"Parvel test add-in") &&
                  SetValue(kAddinKey, L"Description", L"Sends one test SMS");
  HKEY key = nullptr;
  if (!ok ||
      RegOpenKeyExW(HKEY_CURRENT_USER, kAddinKey.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
    return SELFREG_E_CLASS;
  }
  const DWORD load_behavior = 3;
  const DWORD command_line_safe = 0;
  RegSetValueExW(key, L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&load_behavior),
                 sizeof(DWORD));
  RegSetValueExW(key, L"CommandLineSafe", 0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&command_line_safe), sizeof(DWORD));
  RegCloseKey(key);
  return S_OK;
}

STDAPI DllUnregisterServer() {
  const std::wstring classes = L"Software\\Classes\\";
  RegDeleteTreeW(HKEY_CURRENT_USER, kAddinKey.c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, (classes + kProgId).c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, (classes + L"CLSID\\" + ClsidText()).c_str());
  return S_OK;
}
