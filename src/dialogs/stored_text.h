#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codec/code_page.h"

namespace parvel {

inline constexpr std::wstring_view kCharactersNotStoredTitle = L"Characters Not Stored";

// The registry and the templates file keep texts in the system code page: a
// character it has no byte for would come back as '?'. The message that
// refuses such a text, naming `what` holds it ("The account") and each such
// character once; none when the code page has them all.
std::optional<std::wstring> UnstorableTextMessage(std::wstring_view what, std::wstring_view text,
                                                  const CodePage& code_page);

}  // namespace parvel
