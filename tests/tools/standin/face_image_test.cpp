#include "standin_host/face_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace parvel::standin {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Put16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// A packed DIB as the clipboard holds one: header, table, rows as given.
Bytes Dib(std::int32_t width, std::int32_t height, std::uint16_t bits, const Bytes& table_and_rows,
          std::uint32_t compression = 0, std::uint32_t colours_used = 0) {
  Bytes out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, compression);
  for (int i = 0; i < 3; ++i) Put32(out, 0);
  Put32(out, colours_used);
  Put32(out, 0);
  out.insert(out.end(), table_and_rows.begin(), table_and_rows.end());
  return out;
}

TEST(FaceImage, TwentyFourBitRowsArePaddedAndStoredBottomUp) {
  // 2 x 2: bottom row blue, red; top row green, white; each row padded to 8 bytes.
  const Bytes rows = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0};
  const FaceImage image = DecodeDib(Dib(2, 2, 24, rows));
  ASSERT_EQ(image.width, 2);
  ASSERT_EQ(image.height, 2);
  EXPECT_EQ(image.At(0, 0), 0xFF00FF00U);
  EXPECT_EQ(image.At(1, 0), 0xFFFFFFFFU);
  EXPECT_EQ(image.At(0, 1), 0xFF0000FFU);
  EXPECT_EQ(image.At(1, 1), 0xFFFF0000U);
  EXPECT_EQ(image.TransparentCount(), 0);
}

TEST(FaceImage, PalettedTopDownAndBitFieldBitmaps) {
  // 8 bits, 2 colours used, negative height: the first row is the top one.
  const Bytes paletted = {0x00, 0x00, 0xFF, 0, 0x00, 0xFF, 0x00, 0,  // red, green
                          1,    0,    0,    0, 0,    1,    0,    0};
  const FaceImage top_down = DecodeDib(Dib(2, -2, 8, paletted, 0, 2));
  EXPECT_EQ(top_down.At(0, 0), 0xFF00FF00U);
  EXPECT_EQ(top_down.At(1, 0), 0xFFFF0000U);
  EXPECT_EQ(top_down.At(1, 1), 0xFF00FF00U);

  // 4 bits: two pixels per byte, the left one in the high nibble.
  Bytes nibbles(16 * 4, 0);
  nibbles[4] = 0xFF;  // colour 1 white
  nibbles[5] = 0xFF;
  nibbles[6] = 0xFF;
  nibbles.insert(nibbles.end(), {0x10, 0, 0, 0});
  const FaceImage four = DecodeDib(Dib(2, 1, 4, nibbles));
  EXPECT_EQ(four.At(0, 0), 0xFFFFFFFFU);
  EXPECT_EQ(four.At(1, 0), 0xFF000000U);

  // 32 bits with explicit masks after the header, alpha byte ignored.
  Bytes fields;
  Put32(fields, 0x0000FF00);  // red
  Put32(fields, 0x00FF0000);  // green
  Put32(fields, 0xFF000000);  // blue
  Put32(fields, 0x11223344);
  const FaceImage swapped = DecodeDib(Dib(1, 1, 32, fields, 3));
  EXPECT_EQ(swapped.At(0, 0), 0xFF332211U);

  // 16 bits, default 5-5-5: pure red.
  Bytes sixteen;
  Put16(sixteen, 0x7C00);
  Put16(sixteen, 0);
  EXPECT_EQ(DecodeDib(Dib(1, 1, 16, sixteen)).At(0, 0), 0xFFFF0000U);
}

TEST(FaceImage, MaskWhitePixelsBecomeTransparent) {
  // The mask layout the add-in puts on the clipboard for a 20 x 20 face:
  // header, black and white table, 4 bytes per row; the block is 2 bytes
  // longer than its content.
  Bytes mask_rows = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  Bytes table_and_rows(mask_rows.begin(), mask_rows.end());
  for (int row = 0; row < 20; ++row) {
    const std::uint8_t left = row == 19 ? 0x80 : 0x00;  // top row, leftmost pixel
    table_and_rows.insert(table_and_rows.end(), {left, 0, 0, 0});
  }
  table_and_rows.insert(table_and_rows.end(), {0, 0});
  const Bytes mask_block = Dib(20, 20, 1, table_and_rows);
  ASSERT_EQ(mask_block.size(), 130U);
  const FaceImage mask = DecodeDib(mask_block);

  FaceImage face{.width = 20, .height = 20, .pixels = std::vector<std::uint32_t>(400, 0xFF808080)};
  ApplyMask(face, mask);
  EXPECT_EQ(face.TransparentCount(), 1);
  EXPECT_EQ(face.At(0, 0), 0x00808080U);
  EXPECT_EQ(face.At(1, 0), 0xFF808080U);

  FaceImage small{.width = 2, .height = 2, .pixels = std::vector<std::uint32_t>(4)};
  EXPECT_THROW(ApplyMask(small, mask), FaceError);
}

TEST(FaceImage, RefusesWhatIsNotAnUncompressedBitmap) {
  const Bytes pixel = {0, 0, 0, 0};
  EXPECT_THROW(DecodeDib(Bytes{40, 0, 0}), FaceError);
  EXPECT_THROW(DecodeDib(Dib(0, 1, 24, pixel)), FaceError);
  EXPECT_THROW(DecodeDib(Dib(1, 1, 8, pixel, 1)), FaceError) << "run-length compressed";
  EXPECT_THROW(DecodeDib(Dib(2, 2, 24, pixel)), FaceError) << "rows cut short";
  EXPECT_THROW(DecodeDib(Dib(1, 1, 7, pixel)), FaceError);
  const Bytes one_colour = {0, 0, 0, 0, 0x80, 0, 0, 0};
  EXPECT_THROW(DecodeDib(Dib(1, 1, 1, one_colour, 0, 1)), FaceError) << "index beyond the table";
}

}  // namespace
}  // namespace parvel::standin
