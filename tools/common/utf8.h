#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace parvel::tools {

class Utf8Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws Utf8Error on malformed input.
std::wstring Utf8ToWide(std::string_view utf8);
bool IsValidUtf8(std::string_view bytes);

// UTF-16 surrogate pairs (Windows) are joined; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

}  // namespace parvel::tools
