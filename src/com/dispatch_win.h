#pragma once

#include <oaidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <initializer_list>
#include <string_view>

#include "com/variant_win.h"

namespace parvel::com {

// A host object reached by late binding: members are looked up by name at the
// moment of the call, as a script would, so any object offering them serves.
// Every failure is thrown as ComError with the host's own message.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(Microsoft::WRL::ComPtr<IDispatch> object);
  explicit Dispatch(const Variant& value);

  // A method call or a property read (the host may implement either).
  Variant Call(std::wstring_view name, std::initializer_list<Variant> args = {}) const;
  Dispatch Object(std::wstring_view name, std::initializer_list<Variant> args = {}) const;
  void Put(std::wstring_view name, const Variant& value) const;

  IDispatch* get() const noexcept { return object_.Get(); }
  explicit operator bool() const noexcept { return object_ != nullptr; }

 private:
  DISPID Lookup(std::wstring_view name) const;
  Variant Invoke(std::wstring_view name, WORD flags, std::initializer_list<Variant> args,
                 bool put) const;

  Microsoft::WRL::ComPtr<IDispatch> object_;
};

// The ComError for a failed HRESULT, with the system's text for the code.
[[noreturn]] void ThrowComError(HRESULT hr, std::wstring_view context);

}  // namespace parvel::com
