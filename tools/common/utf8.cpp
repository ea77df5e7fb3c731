#include "common/utf8.h"

#include <type_traits>

namespace parvel::tools {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendWide(std::wstring& out, char32_t code) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(code));
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Decodes one code point at pos and advances; returns false when malformed.
bool Next(std::string_view utf8, std::size_t& pos, char32_t& code) {
  const auto lead = static_cast<unsigned char>(utf8[pos]);
  std::size_t extra = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    code = lead;
    ++pos;
    return true;
  }
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1FU;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0FU;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07U;
    minimum = 0x10000;
  } else {
    return false;
  }
  if (pos + extra >= utf8.size()) return false;
  for (std::size_t i = 1; i <= extra; ++i) {
    const auto next = static_cast<unsigned char>(utf8[pos + i]);
    if ((next & 0xC0) != 0x80) return false;
    code = (code << 6) | (next & 0x3FU);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
  pos += extra + 1;
  return true;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t pos = 0;
  char32_t code = 0;
  while (pos < bytes.size()) {
    if (!Next(bytes, pos, code)) return false;
  }
  return true;
}

std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  std::size_t pos = 0;
  char32_t code = 0;
  while (pos < utf8.size()) {
    if (!Next(utf8, pos, code)) {
      throw Utf8Error("malformed UTF-8 at byte " + std::to_string(pos));
    }
    AppendWide(wide, code);
  }
  return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    auto code = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i]));
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size()) {
      const auto low =
          static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i + 1]));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacement;
    AppendUtf8(utf8, code);
  }
  return utf8;
}

}  // namespace parvel::tools
