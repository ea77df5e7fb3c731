#include "host/clipboard_keeper_win.h"

#include <cstring>
#include <utility>

#include "host/clipboard_formats.h"

namespace parvel::host {
namespace {

// Another program (a clipboard viewer, Wine's bridge to the X selection) may
// hold the clipboard for a moment.
constexpr int kOpenAttempts = 4;
constexpr DWORD kOpenPauseMs = 15;

constexpr UINT kBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

std::vector<unsigned> OfferedFormats() {
  std::vector<unsigned> offered;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    offered.push_back(format);
  }
  return offered;
}

win::UniqueGlobal BlockOf(const std::vector<std::uint8_t>& bytes) {
  win::UniqueGlobal block(GlobalAlloc(kBlockFlags, bytes.empty() ? 1 : bytes.size()));
  if (!block) return {};
  const win::LockedGlobal target(block.get());
  if (!target) return {};
  if (!bytes.empty()) std::memcpy(target.data(), bytes.data(), bytes.size());
  return block;
}

}  // namespace

KeptClipboard KeptClipboard::Take(std::size_t max_bytes) {
  KeptClipboard kept;
  const win::OpenedClipboard clipboard(nullptr, kOpenAttempts, kOpenPauseMs);
  if (!clipboard) return kept;
  kept.taken_ = true;
  std::size_t total = 0;
  for (const KeptFormat& format : FormatsToKeep(OfferedFormats())) {
    // Reading a format the owner renders on request has it rendered now.
    const HANDLE data = GetClipboardData(format.format);
    if (data == nullptr) continue;
    Entry entry{.format = format.format};
    switch (format.as) {
      case KeptAs::MemoryBlock: {
        const SIZE_T size = GlobalSize(data);
        if (size > max_bytes - total) continue;
        const win::LockedGlobal source(data);
        if (!source) continue;
        const auto* first = static_cast<const std::uint8_t*>(source.data());
        entry.bytes.assign(first, first + size);
        total += size;
        break;
      }
      case KeptAs::Bitmap:
        entry.bitmap.reset(
            static_cast<HBITMAP>(CopyImage(data, IMAGE_BITMAP, 0, 0, LR_COPYRETURNORG)));
        if (!entry.bitmap) continue;
        break;
      case KeptAs::EnhMetafile:
        entry.metafile.reset(CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr));
        if (!entry.metafile) continue;
        break;
    }
    kept.entries_.push_back(std::move(entry));
  }
  return kept;
}

std::vector<UINT> KeptClipboard::Formats() const {
  std::vector<UINT> formats;
  for (const Entry& entry : entries_) formats.push_back(entry.format);
  return formats;
}

bool KeptClipboard::Restore() {
  if (!taken_) return true;
  // A window of its own that only receives messages: the clipboard's owner
  // while the content goes back (EmptyClipboard without an owner would make
  // every SetClipboardData fail). The content stays when it is destroyed.
  const win::UniqueWindow owner(
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  if (!owner) return false;
  const win::OpenedClipboard clipboard(owner.get(), kOpenAttempts, kOpenPauseMs);
  if (!clipboard || !EmptyClipboard()) return false;
  taken_ = false;
  for (Entry& entry : entries_) {
    if (entry.bitmap) {
      if (SetClipboardData(entry.format, entry.bitmap.get()) != nullptr)
        static_cast<void>(entry.bitmap.release());
    } else if (entry.metafile) {
      if (SetClipboardData(entry.format, entry.metafile.get()) != nullptr)
        static_cast<void>(entry.metafile.release());
    } else if (win::UniqueGlobal block = BlockOf(entry.bytes)) {
      // The clipboard owns a block it accepted; a refused one stays ours.
      if (SetClipboardData(entry.format, block.get()) != nullptr)
        static_cast<void>(block.release());
    }
  }
  entries_.clear();
  return true;
}

}  // namespace parvel::host
