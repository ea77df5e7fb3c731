#pragma once

// Which of the clipboard's formats to copy out so that its content can be put
// back after the add-in used the clipboard (the toolbar button's face, on a
// host that takes it only from there). The rule is plain numbers, testable
// without a clipboard; clipboard_keeper_win.cpp does the copying.

#include <span>
#include <vector>

namespace parvel::host {

// The standard formats the rule names, with Windows' numbers.
namespace clipboard_format {
inline constexpr unsigned kText = 1;
inline constexpr unsigned kBitmap = 2;
inline constexpr unsigned kMetafilePict = 3;
inline constexpr unsigned kOemText = 7;
inline constexpr unsigned kDib = 8;
inline constexpr unsigned kPalette = 9;
inline constexpr unsigned kUnicodeText = 13;
inline constexpr unsigned kEnhMetafile = 14;
inline constexpr unsigned kDibV5 = 17;
inline constexpr unsigned kOwnerDisplay = 0x80;
inline constexpr unsigned kDspBitmap = 0x82;
inline constexpr unsigned kDspMetafilePict = 0x83;
inline constexpr unsigned kDspEnhMetafile = 0x8E;
inline constexpr unsigned kPrivateFirst = 0x200;
inline constexpr unsigned kGdiObjectLast = 0x3FF;
}  // namespace clipboard_format

// How a kept format's data is copied.
enum class KeptAs {
  MemoryBlock,  // a global memory block, copied byte for byte
  Bitmap,       // a bitmap handle (CF_BITMAP), copied as a bitmap
  EnhMetafile,  // an enhanced metafile handle, copied as one
};

struct KeptFormat {
  unsigned format;
  KeptAs as;
  bool operator==(const KeptFormat&) const = default;
};

// Of the formats the clipboard offers, in the order it offers them, those to
// keep: within each family Windows converts among (texts: Unicode, ANSI,
// OEM; pictures: DIB, DIB version 5, bitmap; metafiles: enhanced, picture)
// only the first that can be copied, the others being made from it again by
// the system; never what cannot be copied as data (owner display, palettes,
// old metafile pictures, private and GDI object ranges).
std::vector<KeptFormat> FormatsToKeep(std::span<const unsigned> offered);

}  // namespace parvel::host
