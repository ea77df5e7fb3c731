#include "com/com_error.h"

#include <utility>

namespace parvel::com {
namespace {

std::string Describe(std::int32_t hresult, const std::wstring& message) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "host error 0x";
  const auto code = static_cast<std::uint32_t>(hresult);
  for (int shift = 28; shift >= 0; shift -= 4) text.push_back(kDigits[(code >> shift) & 0xFU]);
  std::string ascii;
  for (const wchar_t ch : message)
    ascii.push_back(ch >= 0x20 && ch < 0x7F ? static_cast<char>(ch) : '?');
  return ascii.empty() ? text : text + ": " + ascii;
}

}  // namespace

ComError::ComError(std::int32_t hresult, std::wstring message)
    : std::runtime_error(Describe(hresult, message)),
      hresult_(hresult),
      message_(std::move(message)) {}

}  // namespace parvel::com
