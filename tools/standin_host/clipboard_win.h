#pragma once

// The user's clipboard as a scenario sets and checks it: what the user copied
// before Outlook started (a text, a picture), what is there now, and whether
// anything has changed it since.

#include <windows.h>

#include <optional>
#include <string>

namespace parvel::standin {

// The picture --clipboard-image copies: 16 x 16, a pattern no add-in face has.
inline constexpr int kCopiedImageSide = 16;

// Copies as a program does: empties the clipboard under a window of its own
// and puts the text (CF_UNICODETEXT) and the picture (CF_DIB) there. False
// when the clipboard cannot be had.
bool CopyToClipboard(const std::optional<std::wstring>& text, bool image);

struct ClipboardFacts {
  std::optional<std::wstring> text;   // CF_UNICODETEXT
  std::optional<std::wstring> image;  // "WxH" of CF_DIB
  bool copied_image = false;          // the CF_DIB is exactly the one CopyToClipboard put
};

// Nothing when the clipboard cannot be opened.
std::optional<ClipboardFacts> ReadClipboard();

// Windows' count of clipboard changes.
DWORD ClipboardSequence();

}  // namespace parvel::standin
