#pragma once

// Button faces as toolbar buttons take them from the clipboard: a packed
// device-independent bitmap for the picture and, optionally, a monochrome one
// whose white pixels mark the transparent part.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace parvel::standin {

class FaceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FaceImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, top row first; alpha 0 or 255

  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  int TransparentCount() const;
};

// Reads a packed DIB (header, colour table or bit-field masks, rows) of 1, 4,
// 8, 16, 24 or 32 bits per pixel, uncompressed or with bit fields, rows
// bottom-up or top-down. Throws FaceError when the block is not such a bitmap.
FaceImage DecodeDib(std::span<const std::uint8_t> block);

// Clears the alpha of every pixel whose mask pixel is white. Throws FaceError
// when the sizes differ.
void ApplyMask(FaceImage& face, const FaceImage& mask);

}  // namespace parvel::standin
