#pragma once

// The toolbar button's face: which pixels of its picture turn transparent and
// the 1-bit mask block that tells the toolbar so. Windows produces the block
// with GDI (button_face_win.cpp); what it must produce is fixed here, so that
// the rule and the layout are testable without a screen.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "host/host_error.h"

namespace parvel::host {

// Magenta, in the OLE colour form 0x00BBGGRR.
inline constexpr std::uint32_t kButtonFaceKeyColour = 0xFF00FF;

// Pictures narrower or lower than 1 pixel, or wider or higher than this,
// get no mask.
inline constexpr int kMaxMaskSide = 30000;

// The mask block: information header, two-entry colour table (black, white),
// then the rows bottom-up, each padded to 32 bits; two unused bytes follow.
inline constexpr std::size_t kMaskHeaderSize = 40;
inline constexpr std::size_t kMaskColourTableSize = 8;
inline constexpr std::size_t kMaskRowsOffset = kMaskHeaderSize + kMaskColourTableSize;
inline constexpr std::size_t kMaskBlockSlack = 2;

bool MaskSizeAllowed(int width, int height);

// Bytes per mask row: the width in bits taken up to a multiple of 32.
std::size_t MaskRowBytes(int width);
std::size_t MaskImageSize(int width, int height);
// The whole block as allocated: header, colour table, rows and the slack.
std::size_t MaskBlockSize(std::size_t image_size);

// The mask rule: a pixel is transparent exactly when its RGB value is the
// key's. Both are 0x00BBGGRR; the top byte (a palette flag) does not count.
constexpr bool IsTransparent(std::uint32_t pixel, std::uint32_t key) {
  return ((pixel ^ key) & 0xFFFFFFU) == 0;
}

// Where the mask bit of pixel (x, y), y counted from the top, sits in a block.
struct MaskBit {
  std::size_t byte;
  std::uint8_t bit;
};
MaskBit MaskBitAt(int width, int height, int x, int y);

// The mask block of a picture given as rows from the top, width pixels each
// (0x00BBGGRR). The padding bits and the slack are 0. Throws
// std::invalid_argument for a size outside the limits or a pixel count that
// does not match it.
std::vector<std::uint8_t> BuildMaskBlock(std::span<const std::uint32_t> pixels, int width,
                                         int height, std::uint32_t key);

// A picture that cannot be painted as a button face: missing, not a bitmap,
// or without a bitmap. Carries the automation error 481, "Invalid picture".
class InvalidPictureError : public HostError {
 public:
  static constexpr int kNumber = 481;

  InvalidPictureError();
  int number() const noexcept { return kNumber; }
};

}  // namespace parvel::host
