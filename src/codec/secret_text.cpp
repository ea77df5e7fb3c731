#include "codec/secret_text.h"

#include <string>

namespace parvel {
namespace {

unsigned KeyCode(std::size_t index) {
  return static_cast<unsigned char>(SecretTextKey[index % kSecretKeyCycle]);
}

std::string KindName(SecretTextErrorKind kind) {
  switch (kind) {
    case SecretTextErrorKind::InvalidArgument:
      return "invalid argument";
    case SecretTextErrorKind::IndexOutOfRange:
      return "index out of range";
    case SecretTextErrorKind::TypeMismatch:
      return "type mismatch";
  }
  return "error";
}

[[noreturn]] void Fail(SecretTextErrorKind kind, std::size_t position, const std::string& detail) {
  throw SecretTextError(kind, position, detail);
}

int HexDigit(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  return -1;
}

}  // namespace

SecretTextError::SecretTextError(SecretTextErrorKind kind, std::size_t position,
                                 const std::string& what)
    : std::runtime_error(KindName(kind) + " at position " + std::to_string(position) + ": " + what),
      kind_(kind),
      position_(position) {}

bool IsEncodableAt(unsigned char byte, std::size_t index) { return byte + KeyCode(index) <= 255; }

std::wstring EncodeSecretText(std::wstring_view plain, const CodePage& code_page) {
  return EncodeSecretBytes(code_page.ToBytes(plain));
}

std::wstring EncodeSecretBytes(std::string_view bytes) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex;
  hex.reserve(bytes.size() * 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned value = static_cast<unsigned char>(bytes[i]) + KeyCode(i);
    if (value > 255) {
      Fail(SecretTextErrorKind::InvalidArgument, i,
           "character code " + std::to_string(static_cast<unsigned char>(bytes[i])) +
               " cannot be enciphered");
    }
    hex.push_back(kDigits[value >> 4]);
    hex.push_back(kDigits[value & 0xF]);
  }
  return hex;
}

std::wstring DecodeSecretText(std::wstring_view hex, const CodePage& code_page) {
  if (hex.size() < 2) {
    Fail(SecretTextErrorKind::IndexOutOfRange, hex.size(), "fewer than two hexadecimal digits");
  }
  // First every pair is read into the byte array, then the key is taken off:
  // a bad digit anywhere is reported before a byte that falls below its key.
  std::string bytes(hex.size() / 2, '\0');
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = i + 1 < hex.size() ? HexDigit(hex[i + 1]) : 0;
    if (high < 0 || low < 0) {
      Fail(SecretTextErrorKind::TypeMismatch, high < 0 ? i : i + 1, "not a hexadecimal digit");
    }
    if (i + 1 == hex.size()) {
      Fail(SecretTextErrorKind::IndexOutOfRange, i, "odd number of hexadecimal digits");
    }
    bytes[i / 2] = static_cast<char>(high * 16 + low);
  }
  for (std::size_t index = 0; index < bytes.size(); ++index) {
    const unsigned value = static_cast<unsigned char>(bytes[index]);
    if (value < KeyCode(index)) {
      Fail(SecretTextErrorKind::InvalidArgument, index * 2,
           "byte " + std::to_string(value) + " is below its key character");
    }
    bytes[index] = static_cast<char>(value - KeyCode(index));
  }
  return code_page.FromBytes(bytes);
}

}  // namespace parvel
