#include "standin_host/dispatch_win.h"

#include <oleauto.h>

#include <cwctype>
#include <new>

#include "com/com_object_win.h"
#include "common/utf8.h"
#include "standin_host/host_context.h"

namespace parvel::standin {
namespace {

// Asked by the host itself to recognise its own objects behind an IDispatch.
constexpr IID kIidHostObject = {
    0x6b1f0c52, 0x3d7e, 0x4a8e, {0x9f, 0x21, 0x5a, 0x77, 0x3c, 0x10, 0xe4, 0x2d}};

bool SameName(std::wstring_view a, const wchar_t* b) {
  std::size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == L'\0' || std::towlower(static_cast<std::wint_t>(a[i])) !=
                             std::towlower(static_cast<std::wint_t>(b[i]))) {
      return false;
    }
  }
  return b[i] == L'\0';
}

BSTR AllocString(std::wstring_view text) {
  BSTR string = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (string == nullptr) throw std::bad_alloc();
  return string;
}

std::wstring WhatText(const std::exception& error) {
  const std::string_view what = error.what();
  if (tools::IsValidUtf8(what)) return tools::Utf8ToWide(what);
  return std::wstring(what.begin(), what.end());
}

const VARIANT& Deref(const VARIANT& value) {
  if (V_VT(&value) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&value) != nullptr) {
    return Deref(*V_VARIANTREF(&value));
  }
  return value;
}

bool IsMissing(const VARIANT& value) {
  const VARIANT& plain = Deref(value);
  return V_VT(&plain) == VT_ERROR && V_ERROR(&plain) == DISP_E_PARAMNOTFOUND;
}

class VariantEnumerator final : public com::ComObject<VariantEnumerator, IEnumVARIANT, false> {
 public:
  explicit VariantEnumerator(std::function<std::optional<Variant>(std::size_t)> at,
                             std::size_t position = 0)
      : at_(std::move(at)), position_(position) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    if (items == nullptr) return E_POINTER;
    ULONG done = 0;
    try {
      for (; done < count; ++done) {
        std::optional<Variant> item = at_(position_);
        if (!item) break;
        items[done] = item->Detach();
        ++position_;
      }
    } catch (...) {
      for (ULONG i = 0; i < done; ++i) VariantClear(&items[i]);
      return E_FAIL;
    }
    if (fetched != nullptr) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    position_ += count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    if (copy == nullptr) return E_POINTER;
    try {
      *copy = Make(at_, position_).Detach();
      return *copy != nullptr ? S_OK : E_OUTOFMEMORY;
    } catch (...) {
      *copy = nullptr;
      return E_OUTOFMEMORY;
    }
  }

 private:
  std::function<std::optional<Variant>(std::size_t)> at_;
  std::size_t position_;
};

}  // namespace

void Raise(HRESULT scode, std::wstring description) {
  throw DispatchError(scode, std::move(description));
}

// --- Variant ------------------------------------------------------------------

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

Variant Variant::Text(std::wstring_view text) {
  Variant variant;
  V_BSTR(&variant.value_) = AllocString(text);
  V_VT(&variant.value_) = VT_BSTR;
  return variant;
}

Variant Variant::Int(long value) {
  Variant variant;
  V_VT(&variant.value_) = VT_I4;
  V_I4(&variant.value_) = value;
  return variant;
}

Variant Variant::Bool(bool value) {
  Variant variant;
  V_VT(&variant.value_) = VT_BOOL;
  V_BOOL(&variant.value_) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return variant;
}

Variant Variant::Object(IDispatch* object) {
  Variant variant;
  V_VT(&variant.value_) = VT_DISPATCH;
  V_DISPATCH(&variant.value_) = object;
  if (object != nullptr) object->AddRef();
  return variant;
}

Variant Variant::Null() {
  Variant variant;
  V_VT(&variant.value_) = VT_NULL;
  return variant;
}

Variant Variant::Copy(const VARIANT& value) {
  Variant variant;
  if (FAILED(VariantCopyInd(&variant.value_, const_cast<VARIANT*>(&value)))) throw std::bad_alloc();
  return variant;
}

Variant Variant::Bytes(std::span<const std::uint8_t> bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (array == nullptr) throw std::bad_alloc();
  Variant variant;
  V_VT(&variant.value_) = VT_ARRAY | VT_UI1;
  V_ARRAY(&variant.value_) = array;
  if (!bytes.empty()) {
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(data));
    SafeArrayUnaccessData(array);
  }
  return variant;
}

Variant Variant::Array(std::vector<Variant> elements) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size()));
  if (array == nullptr) throw std::bad_alloc();
  Variant variant;
  V_VT(&variant.value_) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&variant.value_) = array;
  if (!elements.empty()) {
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    auto* slots = static_cast<VARIANT*>(data);
    for (std::size_t i = 0; i < elements.size(); ++i) slots[i] = elements[i].Detach();
    SafeArrayUnaccessData(array);
  }
  return variant;
}

Variant Variant::Rows(const std::vector<std::vector<Variant>>& rows, std::size_t columns,
                      long base) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows.size()), base},
                              {static_cast<ULONG>(columns), base}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  if (array == nullptr) throw std::bad_alloc();
  Variant variant;
  V_VT(&variant.value_) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&variant.value_) = array;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < columns && c < rows[r].size(); ++c) {
      LONG at[2] = {base + static_cast<LONG>(r), base + static_cast<LONG>(c)};
      const HRESULT hr = SafeArrayPutElement(array, at, const_cast<VARIANT*>(&rows[r][c].get()));
      if (FAILED(hr)) throw std::bad_alloc();
    }
  }
  return variant;
}

// --- Arguments ----------------------------------------------------------------

Arguments::Arguments(const DISPPARAMS& params, std::size_t parameter_count, bool put) {
  const UINT named = params.cNamedArgs;
  if (named > params.cArgs || (params.cArgs > 0 && params.rgvarg == nullptr) ||
      (named > 0 && params.rgdispidNamedArgs == nullptr)) {
    throw ArgumentError{DISP_E_BADPARAMCOUNT, 0};
  }
  UINT first_positional = 0;
  if (put) {
    if (named == 0 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params.cArgs == 0) {
      throw ArgumentError{DISP_E_PARAMNOTFOUND, 0};
    }
    put_ = {&params.rgvarg[0], 0};
    first_positional = 1;
  }
  slots_.resize(parameter_count);
  // Named arguments come first in rgvarg, positional ones after them, last first.
  const UINT positional = params.cArgs - named;
  if (positional > parameter_count) throw ArgumentError{DISP_E_BADPARAMCOUNT, 0};
  for (UINT i = 0; i < positional; ++i) {
    const UINT index = params.cArgs - 1 - i;
    slots_[i] = {&params.rgvarg[index], index};
  }
  for (UINT k = first_positional; k < named; ++k) {
    const DISPID position = params.rgdispidNamedArgs[k];
    if (position < 0 || static_cast<std::size_t>(position) >= parameter_count ||
        slots_[static_cast<std::size_t>(position)].value != nullptr) {
      throw ArgumentError{DISP_E_PARAMNOTFOUND, k};
    }
    slots_[static_cast<std::size_t>(position)] = {&params.rgvarg[k], k};
  }
}

bool Arguments::Has(std::size_t index) const {
  return index < slots_.size() && slots_[index].value != nullptr &&
         !IsMissing(*slots_[index].value);
}

const Arguments::Slot& Arguments::Required(std::size_t index) const {
  if (!Has(index)) {
    const UINT at =
        index < slots_.size() && slots_[index].value != nullptr ? slots_[index].rgvarg_index : 0;
    throw ArgumentError{DISP_E_PARAMNOTFOUND, at};
  }
  return slots_[index];
}

const VARIANT& Arguments::Value(std::size_t index) const { return Deref(*Required(index).value); }

const VARIANT& Arguments::Converted(const Slot& slot, VARTYPE type, VARIANT& storage) const {
  if (FAILED(VariantChangeType(&storage, const_cast<VARIANT*>(slot.value), 0, type))) {
    throw ArgumentError{DISP_E_TYPEMISMATCH, slot.rgvarg_index};
  }
  return storage;
}

std::wstring Arguments::TextOf(const Slot& slot) const {
  VARIANT storage;
  VariantInit(&storage);
  const VARIANT& text = Converted(slot, VT_BSTR, storage);
  std::wstring result(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
  VariantClear(&storage);
  return result;
}

long Arguments::IntOf(const Slot& slot) const {
  VARIANT storage;
  VariantInit(&storage);
  const long value = V_I4(&Converted(slot, VT_I4, storage));
  VariantClear(&storage);
  return value;
}

bool Arguments::BoolOf(const Slot& slot) const {
  VARIANT storage;
  VariantInit(&storage);
  const bool value = V_BOOL(&Converted(slot, VT_BOOL, storage)) != VARIANT_FALSE;
  VariantClear(&storage);
  return value;
}

ComPtr<IDispatch> Arguments::ObjectOf(const Slot& slot) const {
  const VARIANT& value = Deref(*slot.value);
  ComPtr<IDispatch> object;
  if (V_VT(&value) == VT_DISPATCH) {
    object = V_DISPATCH(&value);
  } else if (V_VT(&value) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&value) != nullptr) {
    object = *V_DISPATCHREF(&value);
  } else if (V_VT(&value) == VT_UNKNOWN && V_UNKNOWN(&value) != nullptr) {
    if (FAILED(V_UNKNOWN(&value)->QueryInterface(IID_PPV_ARGS(&object)))) {
      throw ArgumentError{DISP_E_TYPEMISMATCH, slot.rgvarg_index};
    }
  } else {
    throw ArgumentError{DISP_E_TYPEMISMATCH, slot.rgvarg_index};
  }
  return object;
}

std::wstring Arguments::Text(std::size_t index) const { return TextOf(Required(index)); }
long Arguments::Int(std::size_t index) const { return IntOf(Required(index)); }
bool Arguments::Bool(std::size_t index) const { return BoolOf(Required(index)); }
ComPtr<IDispatch> Arguments::Object(std::size_t index) const { return ObjectOf(Required(index)); }

std::optional<std::wstring> Arguments::OptionalText(std::size_t index) const {
  return Has(index) ? std::optional(Text(index)) : std::nullopt;
}
std::optional<long> Arguments::OptionalInt(std::size_t index) const {
  return Has(index) ? std::optional(Int(index)) : std::nullopt;
}
std::optional<bool> Arguments::OptionalBool(std::size_t index) const {
  return Has(index) ? std::optional(Bool(index)) : std::nullopt;
}

const VARIANT& Arguments::PutValue() const { return Deref(*put_.value); }
std::wstring Arguments::PutText() const { return TextOf(put_); }
long Arguments::PutInt() const { return IntOf(put_); }
bool Arguments::PutBool() const { return BoolOf(put_); }
ComPtr<IDispatch> Arguments::PutObject() const { return ObjectOf(put_); }

// --- DispatchObject -------------------------------------------------------------

DispatchObject::DispatchObject(std::shared_ptr<HostContext> context)
    : context_(std::move(context)) {
  if (context_) context_->live_objects.insert(this);
}

ULONG DispatchObject::References() {
  AddRef();
  return Release();
}

DispatchObject::~DispatchObject() {
  if (context_) context_->live_objects.erase(this);
}

HRESULT DispatchObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidHostObject) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  try {
    *object = QueryOther(iid);
  } catch (...) {
    *object = nullptr;
  }
  return *object != nullptr ? S_OK : E_NOINTERFACE;
}

IUnknown* DispatchObject::QueryOther(REFIID) { return nullptr; }

ULONG DispatchObject::AddRef() { return ++references_; }

ULONG DispatchObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  std::optional<std::size_t> found;
  for (std::size_t m = 0; m < TableSize(); ++m) {
    if (SameName(TableEntry(m).name, names[0])) {
      found = m;
      break;
    }
  }
  if (!found || !Offers(TableEntry(*found).name)) return DISP_E_UNKNOWNNAME;
  const MemberView member = TableEntry(*found);
  if (context_) context_->NoteCall(TypeName(), member.name);
  ids[0] = member.name == L"_NewEnum" ? DISPID_NEWENUM : static_cast<DISPID>(*found + 1);
  HRESULT result = S_OK;
  for (UINT i = 1; i < count; ++i) {
    for (std::size_t p = 0; p < member.params.size(); ++p) {
      if (SameName(member.params[p], names[i])) ids[i] = static_cast<DISPID>(p);
    }
    if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

std::optional<std::size_t> DispatchObject::IndexOf(DISPID id) const {
  for (std::size_t m = 0; m < TableSize(); ++m) {
    const MemberView member = TableEntry(m);
    if ((id == DISPID_VALUE && member.is_default) ||
        (id == DISPID_NEWENUM && member.name == L"_NewEnum")) {
      return m;
    }
  }
  if (id >= 1 && static_cast<std::size_t>(id) <= TableSize())
    return static_cast<std::size_t>(id - 1);
  return std::nullopt;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT* argument_error) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const std::optional<std::size_t> index = IndexOf(id);
  if (!index) return DISP_E_MEMBERNOTFOUND;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (!put && (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none{};
  const MemberView member = TableEntry(*index);
  if (!Offers(member.name)) return DISP_E_MEMBERNOTFOUND;
  context_->NoteCall(TypeName(), member.name);
  context_->call_meter.Charge(TypeName(), member.name);
  // Runs when the call returns, however it ends.
  struct Returning {
    HostContext& context;
    std::wstring_view object;
    std::wstring_view member;
    ~Returning() { context.CallEnded(object, member); }
  } const returning{*context_, TypeName(), member.name};
  const auto raise = [&](HRESULT scode, const std::wstring& description) {
    if (exception == nullptr) return scode;
    *exception = EXCEPINFO{};
    try {
      exception->bstrSource = AllocString(Source());
      exception->bstrDescription = AllocString(description);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    exception->scode = scode;
    return DISP_E_EXCEPTION;
  };
  try {
    Arguments args(params != nullptr ? *params : none, member.params.size(), put);
    CheckUsable();
    if (context_->failures.Contains(TypeName(), member.name)) {
      Raise(E_FAIL,
            L"Simulated failure: " + std::wstring(TypeName()) + L"." + std::wstring(member.name));
    }
    Variant value;
    if (!CallEntry(*index, put, args, value)) return DISP_E_MEMBERNOTFOUND;
    if (result != nullptr) {
      VariantInit(result);
      *result = value.Detach();
    }
    return S_OK;
  } catch (const ArgumentError& error) {
    if (argument_error != nullptr) *argument_error = error.rgvarg_index;
    return error.hresult;
  } catch (const DispatchError& error) {
    return raise(error.scode(), error.description());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    return raise(E_FAIL, WhatText(error));
  } catch (...) {
    return E_UNEXPECTED;
  }
}

namespace detail {

ComPtr<DispatchObject> HostObjectOf(IDispatch* dispatch) {
  if (dispatch == nullptr) return nullptr;
  ComPtr<IDispatch> own;
  if (FAILED(
          dispatch->QueryInterface(kIidHostObject, reinterpret_cast<void**>(own.GetAddressOf())))) {
    return nullptr;
  }
  return ComPtr<DispatchObject>(static_cast<DispatchObject*>(own.Get()));
}

}  // namespace detail

Variant EnumerationResult(std::function<std::optional<Variant>(std::size_t)> at) {
  const ComPtr<IEnumVARIANT> enumerator = VariantEnumerator::Make(std::move(at));
  if (!enumerator) throw std::bad_alloc();
  VARIANT value;
  V_VT(&value) = VT_UNKNOWN;
  V_UNKNOWN(&value) = enumerator.Get();
  return Variant::Copy(value);
}

}  // namespace parvel::standin
