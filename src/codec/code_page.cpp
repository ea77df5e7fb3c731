#include "codec/code_page.h"

#include <array>
#include <type_traits>

namespace parvel {
namespace {

// Code points of bytes 0x80-0x9F. The five bytes Windows-1252 leaves
// undefined map to the C1 controls of the same value, as MultiByteToWideChar
// does, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

wchar_t ByteToChar(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    return static_cast<wchar_t>(kHighControls[byte - 0x80U]);
  }
  return static_cast<wchar_t>(byte);
}

char CharToByte(wchar_t ch) {
  const unsigned long code = static_cast<std::make_unsigned_t<wchar_t>>(ch);
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
    return static_cast<char>(code);
  }
  for (unsigned index = 0; index < kHighControls.size(); ++index) {
    if (kHighControls[index] == code) {
      return static_cast<char>(0x80U + index);
    }
  }
  return '?';
}

}  // namespace

std::string Windows1252CodePage::ToBytes(std::wstring_view text) const {
  std::string bytes;
  bytes.reserve(text.size());
  for (const wchar_t ch : text) {
    bytes.push_back(CharToByte(ch));
  }
  return bytes;
}

std::wstring Windows1252CodePage::FromBytes(std::string_view bytes) const {
  std::wstring text;
  text.reserve(bytes.size());
  for (const char byte : bytes) {
    text.push_back(ByteToChar(static_cast<unsigned char>(byte)));
  }
  return text;
}

}  // namespace parvel
