#include "com/variant_win.h"

#include <utility>

#include "com/com_error.h"

namespace parvel::com {
namespace {

void Check(HRESULT hr, const wchar_t* what) {
  if (FAILED(hr)) throw ComError(static_cast<std::int32_t>(hr), what);
}

// A SAFEARRAY's data, locked for the lifetime of the guard.
class ArrayAccess {
 public:
  explicit ArrayAccess(SAFEARRAY* array) : array_(array) {
    Check(SafeArrayAccessData(array_, &data_), L"cannot read an array value");
  }
  ~ArrayAccess() { SafeArrayUnaccessData(array_); }
  ArrayAccess(const ArrayAccess&) = delete;
  ArrayAccess& operator=(const ArrayAccess&) = delete;

  void* data() const noexcept { return data_; }
  std::size_t size() const {
    LONG lower = 0;
    LONG upper = -1;
    Check(SafeArrayGetLBound(array_, 1, &lower), L"cannot read an array value");
    Check(SafeArrayGetUBound(array_, 1, &upper), L"cannot read an array value");
    return upper < lower ? 0 : static_cast<std::size_t>(upper - lower + 1);
  }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

const VARIANT& Dereferenced(const VARIANT& value) {
  if (value.vt == (VT_VARIANT | VT_BYREF) && value.pvarVal != nullptr) return *value.pvarVal;
  return value;
}

// The array of element type in a value, held or by reference; nullptr when
// the value is no such array.
SAFEARRAY* ArrayOf(const VARIANT& value, VARTYPE type) {
  const VARIANT& held = Dereferenced(value);
  if (held.vt == (VT_ARRAY | type)) return held.parray;
  if (held.vt == (VT_ARRAY | VT_BYREF | type) && held.pparray != nullptr) return *held.pparray;
  return nullptr;
}

std::vector<std::uint8_t> BytesOf(const VARIANT& value) {
  SAFEARRAY* const array = ArrayOf(value, VT_UI1);
  if (array == nullptr) throw ComError(DISP_E_TYPEMISMATCH, L"the value is not a binary value");
  ArrayAccess access(array);
  const auto* bytes = static_cast<const std::uint8_t*>(access.data());
  return {bytes, bytes + access.size()};
}

}  // namespace

Variant::Variant() noexcept { VariantInit(&value_); }

Variant::Variant(bool value) noexcept : Variant() {
  value_.vt = VT_BOOL;
  value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(int value) noexcept : Variant() {
  value_.vt = VT_I4;
  value_.lVal = value;
}

Variant::Variant(std::wstring_view text) : Variant() {
  BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (bstr == nullptr) throw ComError(E_OUTOFMEMORY, L"out of memory");
  value_.vt = VT_BSTR;
  value_.bstrVal = bstr;
}

Variant::Variant(IDispatch* object) noexcept : Variant() {
  value_.vt = VT_DISPATCH;
  value_.pdispVal = object;
  if (object != nullptr) object->AddRef();
}

Variant::Variant(const std::vector<std::uint8_t>& bytes) : Variant() {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (array == nullptr) throw ComError(E_OUTOFMEMORY, L"out of memory");
  value_.vt = VT_ARRAY | VT_UI1;
  value_.parray = array;
  if (!bytes.empty()) {
    ArrayAccess access(array);
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(access.data()));
  }
}

Variant::Variant(const Variant& other) : Variant() {
  Check(VariantCopy(&value_, const_cast<VARIANT*>(&other.value_)), L"cannot copy a value");
}

Variant::Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

Variant::~Variant() { VariantClear(&value_); }

Variant Variant::Missing() noexcept {
  Variant missing;
  missing.value_.vt = VT_ERROR;
  missing.value_.scode = DISP_E_PARAMNOTFOUND;
  return missing;
}

VARIANT Variant::Detach() noexcept {
  VARIANT value = value_;
  VariantInit(&value_);
  return value;
}

Variant Variant::Adopt(VARIANT value) noexcept {
  Variant adopted;
  adopted.value_ = value;
  return adopted;
}

bool Variant::IsNullOrEmpty() const noexcept {
  const VARIANT& value = Dereferenced(value_);
  return value.vt == VT_NULL || value.vt == VT_EMPTY;
}

bool Variant::IsNothing() const noexcept {
  return IsNullOrEmpty() || (value_.vt == VT_DISPATCH && value_.pdispVal == nullptr);
}

std::wstring Variant::ToText() const {
  if (Dereferenced(value_).vt == VT_NULL) return {};
  Variant text;
  Check(VariantChangeType(&text.value_, const_cast<VARIANT*>(&Dereferenced(value_)), 0, VT_BSTR),
        L"the value is not a text");
  return {text.value_.bstrVal, SysStringLen(text.value_.bstrVal)};
}

std::int32_t Variant::ToInt() const {
  Variant number;
  Check(VariantChangeType(&number.value_, const_cast<VARIANT*>(&Dereferenced(value_)), 0, VT_I4),
        L"the value is not a number");
  return number.value_.lVal;
}

bool Variant::ToBool() const {
  Variant flag;
  Check(VariantChangeType(&flag.value_, const_cast<VARIANT*>(&Dereferenced(value_)), 0, VT_BOOL),
        L"the value is not a truth value");
  return flag.value_.boolVal != VARIANT_FALSE;
}

Microsoft::WRL::ComPtr<IDispatch> Variant::ToDispatch() const {
  const VARIANT& value = Dereferenced(value_);
  Microsoft::WRL::ComPtr<IDispatch> object;
  if (value.vt == VT_DISPATCH && value.pdispVal != nullptr) {
    object = value.pdispVal;
  } else if (value.vt == VT_UNKNOWN && value.punkVal != nullptr) {
    Check(value.punkVal->QueryInterface(IID_PPV_ARGS(&object)), L"the value is not an object");
  } else {
    throw ComError(DISP_E_TYPEMISMATCH, L"the value is not an object");
  }
  return object;
}

std::vector<std::uint8_t> Variant::ToBytes() const { return BytesOf(Dereferenced(value_)); }

// A multi-valued binary property comes as an array of byte arrays, each
// element held or by reference, or as one byte array for a single value.
std::vector<std::vector<std::uint8_t>> Variant::ToByteArrays() const {
  if (ArrayOf(value_, VT_UI1) != nullptr) return {BytesOf(value_)};
  SAFEARRAY* const array = ArrayOf(value_, VT_VARIANT);
  if (array == nullptr) {
    throw ComError(DISP_E_TYPEMISMATCH, L"the value is not an array of binary values");
  }
  ArrayAccess access(array);
  const auto* items = static_cast<const VARIANT*>(access.data());
  std::vector<std::vector<std::uint8_t>> arrays;
  for (std::size_t i = 0; i < access.size(); ++i) arrays.push_back(BytesOf(items[i]));
  return arrays;
}

}  // namespace parvel::com
