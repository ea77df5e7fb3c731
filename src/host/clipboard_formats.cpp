#include "host/clipboard_formats.h"

#include <algorithm>
#include <optional>

namespace parvel::host {
namespace {

using namespace clipboard_format;

enum class Family { None, Text, Picture, Metafile };

Family FamilyOf(unsigned format) {
  switch (format) {
    case kText:
    case kOemText:
    case kUnicodeText:
      return Family::Text;
    case kBitmap:
    case kDib:
    case kDibV5:
      return Family::Picture;
    case kMetafilePict:
    case kEnhMetafile:
      return Family::Metafile;
    default:
      return Family::None;
  }
}

std::optional<KeptAs> CopiedAs(unsigned format) {
  switch (format) {
    case kBitmap:
      return KeptAs::Bitmap;
    case kEnhMetafile:
      return KeptAs::EnhMetafile;
    case kMetafilePict:  // a block holding a metafile handle
    case kPalette:
    case kOwnerDisplay:
    case kDspBitmap:
    case kDspMetafilePict:
    case kDspEnhMetafile:
      return std::nullopt;
    default:
      break;
  }
  if (format == 0 || (format >= kPrivateFirst && format <= kGdiObjectLast)) return std::nullopt;
  return KeptAs::MemoryBlock;
}

}  // namespace

std::vector<KeptFormat> FormatsToKeep(std::span<const unsigned> offered) {
  std::vector<KeptFormat> kept;
  std::vector<Family> families;
  for (const unsigned format : offered) {
    const std::optional<KeptAs> as = CopiedAs(format);
    if (!as) continue;
    const Family family = FamilyOf(format);
    if (family != Family::None) {
      if (std::find(families.begin(), families.end(), family) != families.end()) continue;
      families.push_back(family);
    }
    const bool seen = std::any_of(kept.begin(), kept.end(),
                                  [format](const KeptFormat& k) { return k.format == format; });
    if (!seen) kept.push_back({format, *as});
  }
  return kept;
}

}  // namespace parvel::host
