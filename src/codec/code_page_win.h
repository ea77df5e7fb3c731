#pragma once

#include <memory>

#include "codec/code_page.h"

namespace parvel {

// A Windows code page by its number; SystemCodePage() is the ANSI one's.
std::unique_ptr<CodePage> WindowsCodePage(unsigned int code_page);

}  // namespace parvel
