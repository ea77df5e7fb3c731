#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "codec/code_page.h"
#include "request/locale.h"

namespace parvel::fakes {

// A German user on a Windows whose month names the test does not care about.
class GermanUser final : public Locale {
 public:
  std::wstring AbbreviatedMonthName(int month) const override {
    return EnglishLocale().AbbreviatedMonthName(month);
  }
  std::wstring MonthName(int month) const override { return EnglishLocale().MonthName(month); }
  std::wstring Language() const override { return L"de"; }
};

// Month names as Windows gives them for French: abbreviations that end in a
// full stop, letters beyond ASCII, and names that begin like others.
class FrenchLocale final : public Locale {
 public:
  std::wstring AbbreviatedMonthName(int month) const override {
    static constexpr std::array<const wchar_t*, 12> kNames = {
        L"janv.", L"f\u00E9vr.", L"mars",  L"avr.", L"mai",  L"juin",
        L"juil.", L"ao\u00FBt",  L"sept.", L"oct.", L"nov.", L"d\u00E9c."};
    return kNames[static_cast<std::size_t>(month - 1)];
  }
  std::wstring MonthName(int month) const override {
    static constexpr std::array<const wchar_t*, 12> kNames = {
        L"janvier", L"f\u00E9vrier", L"mars",      L"avril",   L"mai",      L"juin",
        L"juillet", L"ao\u00FBt",    L"septembre", L"octobre", L"novembre", L"d\u00E9cembre"};
    return kNames[static_cast<std::size_t>(month - 1)];
  }
  std::wstring Language() const override { return L"fr"; }
};

// Two bytes for every character beyond Latin-1, as on an East Asian system.
class DoubleByteCodePage final : public CodePage {
 public:
  std::string ToBytes(std::wstring_view text) const override {
    std::string bytes;
    for (const wchar_t ch : text) {
      if (ch > 0xFF) bytes.push_back('\x81');
      bytes.push_back(static_cast<char>(ch & 0xFF));
    }
    return bytes;
  }
  std::wstring FromBytes(std::string_view bytes) const override {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\x81' && i + 1 < bytes.size()) {
        text.push_back(static_cast<wchar_t>(0x4E00 | static_cast<unsigned char>(bytes[++i])));
      } else {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
      }
    }
    return text;
  }
  bool DoubleByte() const override { return true; }
};

}  // namespace parvel::fakes
