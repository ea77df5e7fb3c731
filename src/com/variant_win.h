#pragma once

#include <oaidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parvel::com {

// An owned VARIANT: cleared on destruction, deep-copied on copy.
class Variant {
 public:
  Variant() noexcept;
  Variant(bool value) noexcept;  // NOLINT: implicit like VB's own arguments
  Variant(int value) noexcept;   // NOLINT
  Variant(std::wstring_view text);
  Variant(const wchar_t* text) : Variant(std::wstring_view(text)) {}       // NOLINT
  Variant(const std::wstring& text) : Variant(std::wstring_view(text)) {}  // NOLINT
  Variant(IDispatch* object) noexcept;                                     // NOLINT
  Variant(const std::vector<std::uint8_t>& bytes);  // NOLINT: VT_ARRAY|VT_UI1
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;
  ~Variant();

  // An optional argument left out (VT_ERROR, DISP_E_PARAMNOTFOUND).
  static Variant Missing() noexcept;
  // Takes over a VARIANT the caller owned (one SafeArrayGetElement filled).
  static Variant Adopt(VARIANT value) noexcept;

  VARIANT* get() noexcept { return &value_; }
  const VARIANT* get() const noexcept { return &value_; }
  VARIANT Detach() noexcept;

  bool IsNullOrEmpty() const noexcept;
  // Nothing, as GetFirst/GetNext and friends return it after the last entry:
  // Empty, Null or an object reference to no object.
  bool IsNothing() const noexcept;
  // Conversions as late-bound callers make them; throw ComError on failure.
  std::wstring ToText() const;
  std::int32_t ToInt() const;
  bool ToBool() const;
  Microsoft::WRL::ComPtr<IDispatch> ToDispatch() const;
  // VT_ARRAY|VT_UI1, or a VT_ARRAY|VT_VARIANT of such arrays.
  std::vector<std::uint8_t> ToBytes() const;
  std::vector<std::vector<std::uint8_t>> ToByteArrays() const;

 private:
  VARIANT value_;
};

}  // namespace parvel::com
