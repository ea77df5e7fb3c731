#pragma once

#include <string>
#include <string_view>

namespace parvel {

// The one-byte character set that the registry, the templates file and the
// secret text codec work in. A character the code page cannot represent
// becomes '?' (code 63), as Windows does for the ANSI code page.
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual std::string ToBytes(std::wstring_view text) const = 0;
  virtual std::wstring FromBytes(std::string_view bytes) const = 0;
  // Whether some characters take more than one byte (the East Asian code
  // pages, and UTF-8 where Windows is set to use it).
  virtual bool DoubleByte() const = 0;
};

// Windows-1252, the ANSI code page of Western Windows systems.
class Windows1252CodePage final : public CodePage {
 public:
  std::string ToBytes(std::wstring_view text) const override;
  std::wstring FromBytes(std::string_view bytes) const override;
  bool DoubleByte() const override { return false; }
};

// The code page of the running system: the ANSI code page on Windows,
// Windows-1252 elsewhere.
const CodePage& SystemCodePage();

}  // namespace parvel
