#include "host/button_face.h"

#include <stdexcept>

namespace parvel::host {
namespace {

// An automation error number as an HRESULT (facility "control").
constexpr std::int32_t kInvalidPictureHresult = static_cast<std::int32_t>(
    0x800A0000U | static_cast<std::uint32_t>(InvalidPictureError::kNumber));

void PutLittleEndian(std::vector<std::uint8_t>& block, std::size_t offset, std::uint32_t value,
                     std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    block[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

}  // namespace

bool MaskSizeAllowed(int width, int height) {
  return width >= 1 && width <= kMaxMaskSide && height >= 1 && height <= kMaxMaskSide;
}

std::size_t MaskRowBytes(int width) { return (static_cast<std::size_t>(width) + 31) / 32 * 4; }

std::size_t MaskImageSize(int width, int height) {
  return MaskRowBytes(width) * static_cast<std::size_t>(height);
}

std::size_t MaskBlockSize(std::size_t image_size) {
  return kMaskRowsOffset + image_size + kMaskBlockSlack;
}

MaskBit MaskBitAt(int width, int height, int x, int y) {
  const auto row_from_bottom = static_cast<std::size_t>(height - 1 - y);
  const auto column = static_cast<std::size_t>(x);
  return {.byte = kMaskRowsOffset + row_from_bottom * MaskRowBytes(width) + column / 8,
          .bit = static_cast<std::uint8_t>(0x80U >> (column % 8))};
}

std::vector<std::uint8_t> BuildMaskBlock(std::span<const std::uint32_t> pixels, int width,
                                         int height, std::uint32_t key) {
  if (!MaskSizeAllowed(width, height)) {
    throw std::invalid_argument("mask size outside 1..30000 pixels");
  }
  if (pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    throw std::invalid_argument("pixel count does not match the mask size");
  }
  const std::size_t image_size = MaskImageSize(width, height);
  std::vector<std::uint8_t> block(MaskBlockSize(image_size), 0);
  PutLittleEndian(block, 0, kMaskHeaderSize, 4);
  PutLittleEndian(block, 4, static_cast<std::uint32_t>(width), 4);
  PutLittleEndian(block, 8, static_cast<std::uint32_t>(height), 4);
  PutLittleEndian(block, 12, 1, 2);  // planes
  PutLittleEndian(block, 14, 1, 2);  // bits per pixel
  PutLittleEndian(block, 20, static_cast<std::uint32_t>(image_size), 4);
  PutLittleEndian(block, kMaskHeaderSize + 4, 0xFFFFFF, 3);  // colour 1: white
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t index = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(x);
      if (IsTransparent(pixels[index], key)) {
        const MaskBit bit = MaskBitAt(width, height, x, y);
        block[bit.byte] = static_cast<std::uint8_t>(block[bit.byte] | bit.bit);
      }
    }
  }
  return block;
}

InvalidPictureError::InvalidPictureError()
    : HostError(kInvalidPictureHresult, L"Invalid picture") {}

}  // namespace parvel::host
