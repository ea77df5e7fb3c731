#include "com/dispatch_win.h"

#include <string>
#include <vector>

#include "com/com_error.h"

namespace parvel::com {
namespace {

std::wstring SystemMessage(HRESULT hr) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length > 0 && buffer != nullptr) {
    text.assign(buffer, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
      text.pop_back();
    }
  }
  LocalFree(buffer);
  return text;
}

// The EXCEPINFO of a failed call, its strings freed when done.
class ExceptionInfo {
 public:
  ExceptionInfo() noexcept { ZeroMemory(&info_, sizeof(info_)); }
  ~ExceptionInfo() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
  }
  ExceptionInfo(const ExceptionInfo&) = delete;
  ExceptionInfo& operator=(const ExceptionInfo&) = delete;

  EXCEPINFO* get() noexcept { return &info_; }

  [[noreturn]] void Throw(std::wstring_view name) {
    if (info_.pfnDeferredFillIn != nullptr) info_.pfnDeferredFillIn(&info_);
    HRESULT code = info_.scode != 0 ? info_.scode : static_cast<HRESULT>(info_.wCode);
    if (code == 0) code = DISP_E_EXCEPTION;
    std::wstring text =
        info_.bstrDescription != nullptr
            ? std::wstring(info_.bstrDescription, SysStringLen(info_.bstrDescription))
            : SystemMessage(code);
    if (text.empty()) text = std::wstring(name) + L" failed";
    throw ComError(static_cast<std::int32_t>(code), text);
  }

 private:
  EXCEPINFO info_;
};

}  // namespace

void ThrowComError(HRESULT hr, std::wstring_view context) {
  std::wstring text = SystemMessage(hr);
  if (text.empty()) text = std::wstring(context) + L" failed";
  throw ComError(static_cast<std::int32_t>(hr), text);
}

Dispatch::Dispatch(Microsoft::WRL::ComPtr<IDispatch> object) : object_(std::move(object)) {}

Dispatch::Dispatch(const Variant& value) : object_(value.ToDispatch()) {}

DISPID Dispatch::Lookup(std::wstring_view name) const {
  if (!object_) throw ComError(E_POINTER, L"Object variable not set");
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) ThrowComError(hr, name);
  return id;
}

Variant Dispatch::Invoke(std::wstring_view name, WORD flags, std::initializer_list<Variant> args,
                         bool put) const {
  const DISPID id = Lookup(name);
  // Arguments travel last first.
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size());
  for (auto it = args.end(); it != args.begin();) {
    --it;
    reversed.push_back(*it->get());
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()),
                    put ? 1U : 0U};
  Variant result;
  ExceptionInfo exception;
  UINT bad_argument = 0;
  const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                     put ? nullptr : result.get(), exception.get(), &bad_argument);
  if (hr == DISP_E_EXCEPTION) exception.Throw(name);
  if (FAILED(hr)) ThrowComError(hr, name);
  return result;
}

Variant Dispatch::Call(std::wstring_view name, std::initializer_list<Variant> args) const {
  return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

Dispatch Dispatch::Object(std::wstring_view name, std::initializer_list<Variant> args) const {
  return Dispatch(Call(name, args));
}

void Dispatch::Put(std::wstring_view name, const Variant& value) const {
  Invoke(name, DISPATCH_PROPERTYPUT, {value}, true);
}

}  // namespace parvel::com
