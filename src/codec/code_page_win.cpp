#include "codec/code_page_win.h"

#include <windows.h>

#include <limits>
#include <stdexcept>
#include <string>

namespace parvel {
namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("text too long for the code page");
  }
  return static_cast<int>(size);
}

// A conversion that gives nothing for some text failed: an empty result
// would pass for text that has no characters.
int Checked(int converted) {
  if (converted <= 0) {
    throw std::runtime_error("the code page conversion failed, Windows error " +
                             std::to_string(GetLastError()));
  }
  return converted;
}

// No best-fit mapping: a character without its own byte becomes '?', never a
// look-alike letter. UTF-8, the ANSI code page where Windows is set to "Use
// Unicode UTF-8 for worldwide language support", has a byte sequence for
// every character and refuses both that flag and a default character.
class Win32CodePage final : public CodePage {
 public:
  explicit Win32CodePage(UINT code_page)
      : code_page_(code_page),
        flags_(code_page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS),
        default_char_(code_page == CP_UTF8 ? nullptr : "?") {}

  std::string ToBytes(std::wstring_view text) const override {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = Checked(WideCharToMultiByte(code_page_, flags_, text.data(), length, nullptr,
                                                   0, default_char_, nullptr));
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    Checked(WideCharToMultiByte(code_page_, flags_, text.data(), length, bytes.data(), needed,
                                default_char_, nullptr));
    return bytes;
  }

  std::wstring FromBytes(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    const int length = CheckedLength(bytes.size());
    const int needed =
        Checked(MultiByteToWideChar(code_page_, 0, bytes.data(), length, nullptr, 0));
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    Checked(MultiByteToWideChar(code_page_, 0, bytes.data(), length, text.data(), needed));
    return text;
  }

  bool DoubleByte() const override {
    CPINFO info{};
    return GetCPInfo(code_page_, &info) != FALSE && info.MaxCharSize > 1;
  }

 private:
  UINT code_page_;
  DWORD flags_;
  const char* default_char_;
};

}  // namespace

std::unique_ptr<CodePage> WindowsCodePage(unsigned int code_page) {
  return std::make_unique<Win32CodePage>(code_page);
}

const CodePage& SystemCodePage() {
  static const std::unique_ptr<CodePage> code_page = WindowsCodePage(GetACP());
  return *code_page;
}

}  // namespace parvel
