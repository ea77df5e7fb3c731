#include "standin_host/face_image.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace parvel::standin {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr int kMaxSide = 30000;

std::uint32_t Read32(std::span<const std::uint8_t> block, std::size_t offset) {
  if (offset + 4 > block.size()) throw FaceError("the bitmap is cut short");
  return static_cast<std::uint32_t>(block[offset]) |
         static_cast<std::uint32_t>(block[offset + 1]) << 8 |
         static_cast<std::uint32_t>(block[offset + 2]) << 16 |
         static_cast<std::uint32_t>(block[offset + 3]) << 24;
}

std::uint16_t Read16(std::span<const std::uint8_t> block, std::size_t offset) {
  if (offset + 2 > block.size()) throw FaceError("the bitmap is cut short");
  return static_cast<std::uint16_t>(block[offset] | block[offset + 1] << 8);
}

// One channel of a bit-field pixel scaled to 0..255.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint32_t max = mask >> shift;
  return ((pixel & mask) >> shift) * 255 / max;
}

}  // namespace

int FaceImage::TransparentCount() const {
  return static_cast<int>(
      std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) == 0; }));
}

FaceImage DecodeDib(std::span<const std::uint8_t> block) {
  const std::uint32_t header_size = Read32(block, 0);
  if (header_size < 40 || header_size > block.size()) throw FaceError("no bitmap header");
  const auto width = static_cast<std::int32_t>(Read32(block, 4));
  const auto raw_height = static_cast<std::int32_t>(Read32(block, 8));
  const int bits = Read16(block, 14);
  const std::uint32_t compression = Read32(block, 16);
  const std::uint32_t colours_used = Read32(block, 32);
  const bool bottom_up = raw_height > 0;
  const int height = std::abs(raw_height);
  if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) {
    throw FaceError("the bitmap has no usable size");
  }
  if (compression != kBiRgb && !(compression == kBiBitfields && (bits == 16 || bits == 32))) {
    throw FaceError("the bitmap is compressed");
  }

  std::size_t offset = header_size;
  std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  if (bits == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  if (compression == kBiBitfields) {
    // Version 4 and 5 headers hold the masks; a plain header is followed by them.
    const std::size_t at = header_size == 40 ? header_size : 40;
    for (std::size_t i = 0; i < 3; ++i) masks[i] = Read32(block, at + 4 * i);
    if (header_size == 40) offset += 12;
  }
  std::vector<std::uint32_t> palette;
  if (bits == 1 || bits == 4 || bits == 8) {
    const std::size_t count = colours_used != 0 ? colours_used : std::size_t{1} << bits;
    if (count > (std::size_t{1} << bits)) throw FaceError("the colour table is too long");
    for (std::size_t i = 0; i < count; ++i)
      palette.push_back(Read32(block, offset + 4 * i) & 0xFFFFFF);
    offset += 4 * count;
  } else if (bits == 16 || bits == 24 || bits == 32) {
    offset += 4 * static_cast<std::size_t>(colours_used);
  } else {
    throw FaceError("unsupported bits per pixel");
  }

  const std::size_t stride =
      (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
  if (offset + stride * static_cast<std::size_t>(height) > block.size()) {
    throw FaceError("the bitmap is cut short");
  }
  FaceImage image{.width = width, .height = height};
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const std::size_t row =
        offset + stride * static_cast<std::size_t>(bottom_up ? height - 1 - y : y);
    for (int x = 0; x < width; ++x) {
      const auto ux = static_cast<std::size_t>(x);
      std::uint32_t rgb = 0;
      if (bits <= 8) {
        const std::size_t bit = ux * static_cast<std::size_t>(bits);
        const auto byte = block[row + bit / 8];
        const auto shift = 8 - bits - static_cast<int>(bit % 8);
        const std::size_t index = (byte >> shift) & ((1U << bits) - 1);
        if (index >= palette.size()) throw FaceError("a pixel names no colour of the table");
        rgb = palette[index];
      } else if (bits == 16) {
        const std::uint32_t pixel = Read16(block, row + 2 * ux);
        rgb = Channel(pixel, masks[0]) << 16 | Channel(pixel, masks[1]) << 8 |
              Channel(pixel, masks[2]);
      } else if (bits == 24) {
        const std::size_t at = row + 3 * ux;
        rgb = static_cast<std::uint32_t>(block[at + 2]) << 16 |
              static_cast<std::uint32_t>(block[at + 1]) << 8 | block[at];
      } else {
        const std::uint32_t pixel = Read32(block, row + 4 * ux);
        rgb = Channel(pixel, masks[0]) << 16 | Channel(pixel, masks[1]) << 8 |
              Channel(pixel, masks[2]);
      }
      image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + ux] =
          0xFF000000 | rgb;
    }
  }
  return image;
}

void ApplyMask(FaceImage& face, const FaceImage& mask) {
  if (face.width != mask.width || face.height != mask.height) {
    throw FaceError("the mask and the face differ in size");
  }
  for (std::size_t i = 0; i < face.pixels.size(); ++i) {
    const std::uint32_t m = mask.pixels[i];
    const std::uint32_t level = ((m >> 16) & 0xFF) + ((m >> 8) & 0xFF) + (m & 0xFF);
    if (level >= 3 * 128) face.pixels[i] &= 0x00FFFFFF;
  }
}

}  // namespace parvel::standin
