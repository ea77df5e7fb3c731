#pragma once

// The user's clipboard content, copied out before the add-in puts the toolbar
// button's face there (only for a host that takes the face from nowhere
// else) and put back afterwards, as far as it can be copied.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/handles_win.h"

namespace parvel::host {

// More than this is not copied out: a clipboard of that size came from a
// program the user will copy from again.
inline constexpr std::size_t kMaxKeptClipboardBytes = std::size_t{64} << 20;

class KeptClipboard {
 public:
  KeptClipboard() = default;
  KeptClipboard(KeptClipboard&&) = default;
  KeptClipboard& operator=(KeptClipboard&&) = default;

  // Copies out what the clipboard holds now, the formats FormatsToKeep names
  // (an empty clipboard counts too). Nothing is taken when the clipboard
  // cannot be opened: Restore then does nothing.
  static KeptClipboard Take(std::size_t max_bytes = kMaxKeptClipboardBytes);

  bool taken() const noexcept { return taken_; }
  // The formats held, in the order they go back.
  std::vector<UINT> Formats() const;

  // Empties the clipboard and puts the kept content back, under a window of
  // the add-in's own (the clipboard takes data only from an owner). Once
  // only. False when the clipboard could not be opened.
  bool Restore();

 private:
  struct Entry {
    UINT format = 0;
    std::vector<std::uint8_t> bytes;
    win::UniqueBitmap bitmap;
    win::UniqueEnhMetafile metafile;
  };

  std::vector<Entry> entries_;
  bool taken_ = false;
};

}  // namespace parvel::host
