#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "codec/code_page.h"

namespace parvel {

// The fixed key shared with the gateway. Only its first 32 characters take
// part; the 33rd is never reached by the key cursor.
inline constexpr std::string_view SecretTextKey = "mr4tqazh2096x1ncd7w0385kplyqsgetB";
inline constexpr std::size_t kSecretKeyCycle = 32;

// The highest byte that every key character lets through: a byte above it
// is refused at some places of a text and accepted at others.
inline constexpr unsigned kAlwaysEncodableByte = [] {
  unsigned highest_key = 0;
  for (std::size_t i = 0; i < kSecretKeyCycle; ++i) {
    highest_key = std::max(highest_key, static_cast<unsigned>(SecretTextKey[i]));
  }
  return 255 - highest_key;
}();

enum class SecretTextErrorKind { InvalidArgument, IndexOutOfRange, TypeMismatch };

// Raised by the codec; names the kind of failure and the zero-based position
// in the input where it happened.
class SecretTextError : public std::runtime_error {
 public:
  SecretTextError(SecretTextErrorKind kind, std::size_t position, const std::string& what);
  SecretTextErrorKind kind() const noexcept { return kind_; }
  std::size_t position() const noexcept { return position_; }

 private:
  SecretTextErrorKind kind_;
  std::size_t position_;
};

// Repeating-key additive substitution rendered as upper-case hexadecimal: two
// digits per character, the i-th character paired with key position i mod 32.
std::wstring EncodeSecretText(std::wstring_view plain,
                              const CodePage& code_page = SystemCodePage());

// The same over text already in the code page's bytes.
std::wstring EncodeSecretBytes(std::string_view bytes);

// Whether the byte at position index (from 0) of a plain text can be enciphered.
bool IsEncodableAt(unsigned char byte, std::size_t index);

// The inverse of EncodeSecretText; accepts either letter case.
std::wstring DecodeSecretText(std::wstring_view hex, const CodePage& code_page = SystemCodePage());

}  // namespace parvel
