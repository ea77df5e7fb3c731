#include "host/button_face.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace parvel::host {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr std::uint32_t kGrey = 0xC0C0C0;

std::vector<std::uint8_t> Rows(const std::vector<std::uint8_t>& block) {
  return {block.begin() + 48, block.end() - 2};
}

TEST(MaskSize, RowsArePaddedToThirtyTwoBits) {
  EXPECT_EQ(MaskRowBytes(1), 4U);
  EXPECT_EQ(MaskRowBytes(20), 4U);
  EXPECT_EQ(MaskRowBytes(32), 4U);
  EXPECT_EQ(MaskRowBytes(33), 8U);
  EXPECT_EQ(MaskRowBytes(30000), 3752U);
  EXPECT_EQ(MaskImageSize(20, 20), 80U);
  EXPECT_EQ(MaskBlockSize(MaskImageSize(20, 20)), 130U) << "48 + 80 + 2";
  EXPECT_EQ(MaskBlockSize(MaskImageSize(30000, 30000)), 112560050U);
}

TEST(MaskSize, OnlyOneToThirtyThousandPixelsEachWay) {
  EXPECT_TRUE(MaskSizeAllowed(1, 1));
  EXPECT_TRUE(MaskSizeAllowed(30000, 30000));
  EXPECT_FALSE(MaskSizeAllowed(0, 20));
  EXPECT_FALSE(MaskSizeAllowed(20, 0));
  EXPECT_FALSE(MaskSizeAllowed(30001, 20));
  EXPECT_FALSE(MaskSizeAllowed(20, 30001));
  EXPECT_FALSE(MaskSizeAllowed(-20, 20));
}

TEST(MaskRule, OnlyTheExactKeyColourIsTransparent) {
  EXPECT_TRUE(IsTransparent(0xFF00FF, kButtonFaceKeyColour));
  EXPECT_TRUE(IsTransparent(0x02FF00FF, kButtonFaceKeyColour)) << "palette flag of the key";
  EXPECT_FALSE(IsTransparent(0xFE00FF, kButtonFaceKeyColour));
  EXPECT_FALSE(IsTransparent(0xFF01FF, kButtonFaceKeyColour));
  EXPECT_FALSE(IsTransparent(0xFF00FE, kButtonFaceKeyColour));
  EXPECT_FALSE(IsTransparent(kGrey, kButtonFaceKeyColour));
  EXPECT_TRUE(IsTransparent(kGrey, kGrey)) << "any key colour, not only magenta";
}

TEST(MaskBlock, HeaderAndColourTableOfATwentyPixelSquare) {
  const std::vector<std::uint32_t> pixels(400, kGrey);
  const std::vector<std::uint8_t> block = BuildMaskBlock(pixels, 20, 20, kButtonFaceKeyColour);
  ASSERT_EQ(block.size(), 130U);
  const std::vector<std::uint8_t> head(block.begin(), block.begin() + 48);
  EXPECT_THAT(head, ElementsAreArray<std::uint8_t>({
                        40,   0,    0,    0,  // header size
                        20,   0,    0,    0,  // width
                        20,   0,    0,    0,  // height, positive: bottom-up
                        1,    0,    1,    0,  // planes, bits per pixel
                        0,    0,    0,    0,  // uncompressed
                        80,   0,    0,    0,  // image size
                        0,    0,    0,    0,  // horizontal resolution
                        0,    0,    0,    0,  // vertical resolution
                        0,    0,    0,    0,  // colours used
                        0,    0,    0,    0,  // colours important
                        0,    0,    0,    0,  // entry 0: black
                        0xFF, 0xFF, 0xFF, 0,  // entry 1: white
                    }));
  EXPECT_THAT(Rows(block), Each(0)) << "no key pixel: the whole face is opaque";
  EXPECT_THAT(std::vector<std::uint8_t>(block.end() - 2, block.end()), ElementsAre(0, 0));
}

TEST(MaskBlock, RowsRunBottomUpAndTheLeftmostPixelIsTheTopBit) {
  std::vector<std::uint32_t> pixels(400, kGrey);
  pixels[0] = kButtonFaceKeyColour;             // top left
  pixels[19 * 20 + 19] = kButtonFaceKeyColour;  // bottom right
  pixels[10 * 20 + 8] = kButtonFaceKeyColour;   // row 10 from the top, second byte
  const std::vector<std::uint8_t> block = BuildMaskBlock(pixels, 20, 20, kButtonFaceKeyColour);
  std::vector<std::uint8_t> expected(80, 0);
  expected[0 * 4 + 2] = 0x10;   // bottom row stored first; column 19 is bit 4 of byte 2
  expected[9 * 4 + 1] = 0x80;   // row 10 from the top is row 9 from the bottom
  expected[19 * 4 + 0] = 0x80;  // top row stored last
  EXPECT_THAT(Rows(block), ElementsAreArray(expected));

  EXPECT_EQ(MaskBitAt(20, 20, 0, 0).byte, 48U + 19 * 4);
  EXPECT_EQ(MaskBitAt(20, 20, 0, 0).bit, 0x80);
  EXPECT_EQ(MaskBitAt(20, 20, 19, 19).byte, 48U + 2);
  EXPECT_EQ(MaskBitAt(20, 20, 19, 19).bit, 0x10);
}

TEST(MaskBlock, AllKeyPictureIsTransparentInItsColumnsOnly) {
  const std::vector<std::uint32_t> pixels(20 * 3, kButtonFaceKeyColour);
  const std::vector<std::uint8_t> block = BuildMaskBlock(pixels, 20, 3, kButtonFaceKeyColour);
  EXPECT_THAT(Rows(block), ElementsAreArray<std::uint8_t>({0xFF, 0xFF, 0xF0, 0,  //
                                                           0xFF, 0xFF, 0xF0, 0,  //
                                                           0xFF, 0xFF, 0xF0, 0}));
}

TEST(MaskBlock, WideRowsTakeSeveralWordsAndOddHeightsWork) {
  std::vector<std::uint32_t> pixels(33 * 1, kGrey);
  pixels[32] = kButtonFaceKeyColour;
  const std::vector<std::uint8_t> block = BuildMaskBlock(pixels, 33, 1, kButtonFaceKeyColour);
  ASSERT_EQ(block.size(), 48U + 8 + 2);
  EXPECT_EQ(block[20], 8) << "image size";
  EXPECT_THAT(Rows(block), ElementsAre(0, 0, 0, 0, 0x80, 0, 0, 0));
}

TEST(MaskBlock, RefusesSizesOutsideTheLimitsAndMismatchedPixels) {
  const std::vector<std::uint32_t> pixels(20, kGrey);
  EXPECT_THROW(BuildMaskBlock(pixels, 0, 20, kButtonFaceKeyColour), std::invalid_argument);
  EXPECT_THROW(BuildMaskBlock({}, 30001, 1, kButtonFaceKeyColour), std::invalid_argument);
  EXPECT_THROW(BuildMaskBlock(pixels, 4, 4, kButtonFaceKeyColour), std::invalid_argument);
  EXPECT_NO_THROW(BuildMaskBlock(pixels, 4, 5, kButtonFaceKeyColour));
}

TEST(InvalidPicture, CarriesAutomationError481) {
  const InvalidPictureError error;
  EXPECT_EQ(error.number(), 481);
  EXPECT_EQ(static_cast<std::uint32_t>(error.hresult()), 0x800A01E1U);
  EXPECT_EQ(error.message(), L"Invalid picture");
  const HostError& as_host_error = error;
  EXPECT_EQ(as_host_error.hresult(), error.hresult());
}

}  // namespace
}  // namespace parvel::host
