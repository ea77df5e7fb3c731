#include <windows.h>

#include <limits>
#include <stdexcept>

#include "codec/code_page.h"

namespace parvel {
namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("text too long for the ANSI code page");
  }
  return static_cast<int>(size);
}

// The system ANSI code page. No best-fit mapping: a character without its own
// byte becomes '?', never a look-alike letter.
class AnsiCodePage final : public CodePage {
 public:
  std::string ToBytes(std::wstring_view text) const override {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                           nullptr, 0, "?", nullptr);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), needed,
                        "?", nullptr);
    return bytes;
  }

  std::wstring FromBytes(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    const int length = CheckedLength(bytes.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), needed);
    return text;
  }

  bool DoubleByte() const override {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) != FALSE && info.MaxCharSize > 1;
  }
};

}  // namespace

const CodePage& SystemCodePage() {
  static const AnsiCodePage code_page;
  return code_page;
}

}  // namespace parvel
