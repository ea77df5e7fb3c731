#pragma once

// Late-bound calls as an add-in makes them (GetIDsOfNames, then Invoke with
// the arguments last first), for tests of the stand-in host's objects.

#include <windows.h>

#include <oleauto.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "standin_host/dispatch_win.h"

namespace parvel::standin::testing {

inline Variant Missing() {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_ERROR;
  V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
  return Variant::Copy(value);
}

struct Outcome {
  HRESULT result = S_OK;
  Variant value;
  HRESULT scode = S_OK;
  std::wstring description;
  UINT argument_error = 0;
};

// `named`: names of the last arguments, given by name instead of position.
inline Outcome Try(IDispatch* object, const std::wstring& name, WORD flags,
                   std::vector<Variant> args = {}, std::vector<std::wstring> named = {}) {
  Outcome outcome;
  std::vector<LPOLESTR> names{const_cast<LPOLESTR>(name.c_str())};
  for (const std::wstring& parameter : named)
    names.push_back(const_cast<LPOLESTR>(parameter.c_str()));
  std::vector<DISPID> ids(names.size());
  outcome.result = object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                         LOCALE_USER_DEFAULT, ids.data());
  if (FAILED(outcome.result)) return outcome;
  // rgvarg: named arguments first, then the positional ones last first.
  std::vector<VARIANTARG> rgvarg;
  std::vector<DISPID> named_ids;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const std::size_t positional = args.size() - named.size();
  if (put) {
    rgvarg.push_back(args.back().get());
    named_ids.push_back(DISPID_PROPERTYPUT);
  }
  for (std::size_t i = 0; i < named.size(); ++i) {
    rgvarg.push_back(args[positional + i].get());
    named_ids.push_back(ids[i + 1]);
  }
  for (std::size_t i = put ? positional - 1 : positional; i-- > 0;) rgvarg.push_back(args[i].get());
  DISPPARAMS params{rgvarg.data(), named_ids.data(), static_cast<UINT>(rgvarg.size()),
                    static_cast<UINT>(named_ids.size())};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  outcome.result = object->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result,
                                  &exception, &outcome.argument_error);
  outcome.value = Variant::Copy(result);
  VariantClear(&result);
  outcome.scode = exception.scode;
  if (exception.bstrDescription != nullptr) {
    outcome.description.assign(exception.bstrDescription, SysStringLen(exception.bstrDescription));
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

inline Variant Get(IDispatch* object, const std::wstring& name, std::vector<Variant> args = {}) {
  Outcome outcome = Try(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
  if (FAILED(outcome.result)) {
    throw std::runtime_error(tools::WideToUtf8(name + L" failed: " + outcome.description));
  }
  return std::move(outcome.value);
}

inline void Put(IDispatch* object, const std::wstring& name, Variant value,
                WORD flags = DISPATCH_PROPERTYPUT) {
  std::vector<Variant> args;
  args.push_back(std::move(value));
  const Outcome outcome = Try(object, name, flags, std::move(args));
  if (FAILED(outcome.result)) {
    throw std::runtime_error(tools::WideToUtf8(name + L" put failed: " + outcome.description));
  }
}

inline IDispatch* ObjectOf(const Variant& value) {
  if (V_VT(&value.get()) != VT_DISPATCH || V_DISPATCH(&value.get()) == nullptr) {
    throw std::runtime_error("not an object");
  }
  return V_DISPATCH(&value.get());
}

inline std::wstring TextOf(const Variant& value) {
  if (V_VT(&value.get()) != VT_BSTR) throw std::runtime_error("not a text");
  return std::wstring(V_BSTR(&value.get()), SysStringLen(V_BSTR(&value.get())));
}

inline long IntOf(const Variant& value) {
  if (V_VT(&value.get()) != VT_I4) throw std::runtime_error("not a long");
  return V_I4(&value.get());
}

template <typename... Values>
std::vector<Variant> Args(Values&&... args) {
  std::vector<Variant> list;
  (list.push_back(std::forward<Values>(args)), ...);
  return list;
}

}  // namespace parvel::standin::testing
