#pragma once

// A small IDispatch object for tests: members by name, each answered by a
// function that sees the call's flags and arguments (first argument first).
// A member named "_NewEnum" also answers DISPID_NEWENUM.

#include <oaidl.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/com_object_win.h"
#include "com/variant_win.h"

namespace parvel::host::testing {

struct Call {
  std::wstring name;
  WORD flags;
  std::vector<com::Variant> args;
};

class ScriptedObject final : public com::ComObject<ScriptedObject, IDispatch> {
 public:
  using Member = std::function<HRESULT(const Call&, com::Variant& result, EXCEPINFO* error)>;

  void Define(const std::wstring& name, Member member) {
    ids_.emplace(name, static_cast<DISPID>(ids_.size() + 1));
    members_.push_back(std::move(member));
    names_.push_back(name);
  }
  const std::vector<Call>& calls() const { return calls_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (count != 1) return E_INVALIDARG;
    const auto it = ids_.find(names[0]);
    if (it == ids_.end()) return DISP_E_UNKNOWNNAME;
    ids[0] = it->second;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* error, UINT*) override {
    // A collection's enumerator is asked for by its fixed id, not by name.
    if (id == DISPID_NEWENUM && ids_.count(L"_NewEnum") != 0) id = ids_[L"_NewEnum"];
    const auto index = static_cast<std::size_t>(id - 1);
    if (id < 1 || index >= members_.size()) return DISP_E_MEMBERNOTFOUND;
    Call call{names_[index], flags, {}};
    for (UINT i = params->cArgs; i > 0; --i) {
      com::Variant copy;
      VariantCopy(copy.get(), &params->rgvarg[i - 1]);
      call.args.push_back(std::move(copy));
    }
    calls_.push_back(call);
    com::Variant value;
    const HRESULT hr = members_[index](call, value, error);
    if (result != nullptr) *result = value.Detach();
    return hr;
  }

 private:
  std::map<std::wstring, DISPID> ids_;
  std::vector<Member> members_;
  std::vector<std::wstring> names_;
  std::vector<Call> calls_;
};

// A member that always answers value.
inline ScriptedObject::Member Returns(com::Variant value) {
  return [value](const Call&, com::Variant& result, EXCEPINFO*) {
    result = value;
    return S_OK;
  };
}

// A member that fails the way Outlook does: DISP_E_EXCEPTION with a text.
inline ScriptedObject::Member Raises(HRESULT code, const wchar_t* description) {
  return [code, description](const Call&, com::Variant&, EXCEPINFO* error) {
    if (error == nullptr) return code;
    ZeroMemory(error, sizeof(*error));
    error->scode = code;
    error->bstrDescription = SysAllocString(description);
    return DISP_E_EXCEPTION;
  };
}

}  // namespace parvel::host::testing
