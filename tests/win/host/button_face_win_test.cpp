// The button face against the real GDI and clipboard: what PasteFace will
// find there, checked against the portable mask rule.

#include "host/button_face_win.h"

#include <ole2.h>
#include <olectl.h>
#include <wrl/client.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "win/host/button_face_test_resources.h"

namespace parvel::host {
namespace {

using Microsoft::WRL::ComPtr;
using ::testing::Contains;
using ::testing::Each;
using ::testing::Not;
using ::testing::Property;
using ::testing::Throws;

using Block = std::vector<std::uint8_t>;
using Pixels = std::vector<std::uint32_t>;  // rows from the top, 0x00BBGGRR

constexpr std::uint32_t kGrey = 0xC0C0C0;
constexpr std::uint32_t kMagenta = kButtonFaceKeyColour;
constexpr char kSentinel[] = "what the user copied";
// Wine's bridge to the X selection opens the clipboard after each change.
constexpr int kClipboardAttempts = 40;
constexpr DWORD kClipboardPauseMs = 25;

std::uint32_t SwapRedBlue(std::uint32_t colour) {
  return (colour & 0xFF00U) | (colour & 0xFFU) << 16 | (colour >> 16 & 0xFFU);
}

BITMAPINFO TopDown32(int width, int height) {
  return {.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER),
                        .biWidth = width,
                        .biHeight = -height,
                        .biPlanes = 1,
                        .biBitCount = 32,
                        .biCompression = BI_RGB}};
}

// A picture as one loaded for display: a bitmap compatible with the screen.
win::UniqueBitmap ScreenBitmap(int width, int height, const Pixels& pixels) {
  const win::WindowDc screen(nullptr);
  win::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
  Pixels rows(pixels.size());
  std::transform(pixels.begin(), pixels.end(), rows.begin(), SwapRedBlue);
  BITMAPINFO info = TopDown32(width, height);
  EXPECT_EQ(::SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(height), rows.data(),
                        &info, DIB_RGB_COLORS),
            height);
  return bitmap;
}

// The bitmap's pixels as GDI renders them in true colour.
Pixels ReadPixels(HBITMAP bitmap) {
  BITMAP size{};
  ::GetObjectW(bitmap, sizeof size, &size);
  Pixels pixels(static_cast<std::size_t>(size.bmWidth) * static_cast<std::size_t>(size.bmHeight));
  BITMAPINFO info = TopDown32(size.bmWidth, size.bmHeight);
  const win::WindowDc screen(nullptr);
  EXPECT_EQ(::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(size.bmHeight), pixels.data(),
                        &info, DIB_RGB_COLORS),
            size.bmHeight);
  std::transform(pixels.begin(), pixels.end(), pixels.begin(), SwapRedBlue);
  return pixels;
}

ComPtr<IPicture> MakePicture(PICTDESC description, bool owns) {
  description.cbSizeofstruct = sizeof(PICTDESC);
  ComPtr<IPicture> picture;
  EXPECT_EQ(::OleCreatePictureIndirect(&description, IID_IPicture, owns,
                                       reinterpret_cast<void**>(picture.GetAddressOf())),
            S_OK);
  return picture;
}

ComPtr<IPicture> BitmapPicture(win::UniqueBitmap bitmap) {
  PICTDESC description{.picType = PICTYPE_BITMAP};
  description.bmp.hbitmap = bitmap.release();  // the picture owns it from here on
  return MakePicture(description, true);
}

HBITMAP PictureBitmap(IPicture& picture) {
  OLE_HANDLE handle = 0;
  EXPECT_EQ(picture.get_Handle(&handle), S_OK);
  return static_cast<HBITMAP>(LongToHandle(static_cast<LONG>(handle)));
}

// The pixels of a packed bitmap of 8 bits (through its colour table) or 24.
Pixels DibPixels(const Block& dib) {
  BITMAPINFOHEADER header{};
  std::memcpy(&header, dib.data(), sizeof header);
  const auto width = static_cast<std::size_t>(header.biWidth);
  const auto height = static_cast<std::size_t>(header.biHeight);
  const std::size_t colours = header.biBitCount == 8 ? 256 : 0;
  const std::size_t stride = (width * header.biBitCount + 31) / 32 * 4;
  const std::size_t rows_offset = sizeof header + colours * 4;
  EXPECT_EQ(header.biClrUsed, 0U);
  EXPECT_EQ(dib.size(), rows_offset + stride * height);
  if (dib.size() != rows_offset + stride * height) return {};
  const auto colour_at = [&dib](std::size_t offset) {  // blue, green, red
    return std::uint32_t{dib[offset]} << 16 | std::uint32_t{dib[offset + 1]} << 8 | dib[offset + 2];
  };
  Pixels pixels;
  for (std::size_t y = height; y-- > 0;) {
    const std::size_t row = rows_offset + y * stride;
    for (std::size_t x = 0; x < width; ++x) {
      pixels.push_back(header.biBitCount == 8 ? colour_at(sizeof header + dib[row + x] * 4U)
                                              : colour_at(row + x * 3));
    }
  }
  return pixels;
}

bool IsFreed(HANDLE block) { return ::GlobalFlags(block) == GMEM_INVALID_HANDLE; }

// Every pixel's mask bit, rows from the top, padding left out.
std::vector<bool> MaskBits(const Block& block, int width, int height) {
  std::vector<bool> bits;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const MaskBit at = MaskBitAt(width, height, x, y);
      bits.push_back((block.at(at.byte) & at.bit) != 0);
    }
  }
  return bits;
}

// Stands in for SetClipboardData: refuses the formats it is told to and
// hands the rest to the clipboard, noting every block it saw.
struct ClipboardRecorder {
  std::vector<UINT> refuse;
  std::vector<HANDLE> refused;
  std::vector<HANDLE> accepted;
};
ClipboardRecorder recorder;

HANDLE WINAPI RecordingSetter(UINT format, HANDLE data) {
  if (std::find(recorder.refuse.begin(), recorder.refuse.end(), format) != recorder.refuse.end()) {
    recorder.refused.push_back(data);
    return nullptr;
  }
  recorder.accepted.push_back(data);
  return ::SetClipboardData(format, data);
}

// Stands in for Sleep between clipboard attempts, noting each wait.
std::vector<DWORD> pauses;

void WINAPI RecordingPause(DWORD milliseconds) {
  pauses.push_back(milliseconds);
  ::Sleep(milliseconds);
}

class ButtonFace : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder = {};
    const win::OpenedClipboard clipboard(nullptr, kClipboardAttempts, kClipboardPauseMs);
    ASSERT_TRUE(clipboard);
    ASSERT_TRUE(::EmptyClipboard());
    win::UniqueGlobal text(::GlobalAlloc(GMEM_MOVEABLE, sizeof kSentinel));
    {
      const win::LockedGlobal locked(text.get());
      ASSERT_TRUE(locked);
      std::memcpy(locked.data(), kSentinel, sizeof kSentinel);
    }
    ASSERT_NE(::SetClipboardData(CF_TEXT, text.get()), nullptr);
    static_cast<void>(text.release());
  }

  static std::optional<Block> Clipboard(UINT format) {
    const win::OpenedClipboard clipboard(nullptr, kClipboardAttempts, kClipboardPauseMs);
    if (!clipboard) {
      ADD_FAILURE() << "the clipboard stays busy";
      return std::nullopt;
    }
    const HANDLE data = ::GetClipboardData(format);
    if (data == nullptr) return std::nullopt;
    const win::LockedGlobal locked(data);
    if (!locked) return std::nullopt;
    const auto* bytes = static_cast<const std::uint8_t*>(locked.data());
    return Block(bytes, bytes + ::GlobalSize(data));
  }

  static std::vector<UINT> Formats() {
    const win::OpenedClipboard clipboard(nullptr, kClipboardAttempts, kClipboardPauseMs);
    EXPECT_TRUE(clipboard) << "the clipboard stays busy";
    std::vector<UINT> formats;
    for (UINT format = ::EnumClipboardFormats(0); format != 0;
         format = ::EnumClipboardFormats(format)) {
      formats.push_back(format);
    }
    return formats;
  }

  static std::string SentinelText() {
    const std::optional<Block> text = Clipboard(CF_TEXT);
    return text ? std::string(reinterpret_cast<const char*>(text->data())) : std::string();
  }

  const UINT face_format_ = ::RegisterClipboardFormatA(kToolbarButtonFaceFormat);
  const UINT mask_format_ = ::RegisterClipboardFormatA(kToolbarButtonMaskFormat);
};

TEST_F(ButtonFace, TwentyPixelFaceLeavesPictureCopyAndMaskBesideTheUsersData) {
  Pixels pixels(400, kGrey);
  for (int i = 0; i < 20; ++i) pixels[static_cast<std::size_t>(i * 21)] = kMagenta;
  pixels[1] = 0xFE00FF;  // near the key is not the key
  pixels[2] = 0xFF01FF;
  pixels[3] = 0xFF00FE;
  pixels[399 - 19] = 0x1479A6;
  const ComPtr<IPicture> picture = BitmapPicture(ScreenBitmap(20, 20, pixels));
  const Pixels rendered = ReadPixels(PictureBitmap(*picture.Get()));
  ASSERT_EQ(rendered, pixels) << "the screen shows these colours exactly";

  PaintButtonFace(picture.Get(), kMagenta);

  const std::optional<Block> dib = Clipboard(CF_DIB);
  const std::optional<Block> face = Clipboard(face_format_);
  const std::optional<Block> mask = Clipboard(mask_format_);
  ASSERT_TRUE(dib && face && mask);
  EXPECT_EQ(*face, *dib) << "byte for byte and in size";
  ASSERT_EQ(mask->size(), 130U);
  EXPECT_EQ(*mask, BuildMaskBlock(rendered, 20, 20, kMagenta));
  EXPECT_EQ(SentinelText(), kSentinel) << "the clipboard is not emptied first";

  // The face is the picture: a 24-bit packed bitmap of its pixels.
  EXPECT_EQ((*dib)[14], 24) << "bits per pixel";
  EXPECT_EQ(DibPixels(*dib), pixels);
}

TEST_F(ButtonFace, AllKeyPictureIsTransparentAndNoKeyPictureOpaque) {
  // 37 pixels take two 32-bit words a row, the second mostly padding.
  PaintButtonFace(BitmapPicture(ScreenBitmap(37, 5, Pixels(185, kMagenta))).Get(), kMagenta);
  std::optional<Block> mask = Clipboard(mask_format_);
  ASSERT_TRUE(mask);
  ASSERT_EQ(mask->size(), 48U + 8 * 5 + 2);
  EXPECT_THAT(MaskBits(*mask, 37, 5), Each(true));

  Pixels no_key(185, kGrey);
  no_key[36] = 0xFF00FE;
  PaintButtonFace(BitmapPicture(ScreenBitmap(37, 5, no_key)).Get(), kMagenta);
  mask = Clipboard(mask_format_);
  ASSERT_TRUE(mask);
  EXPECT_THAT(MaskBits(*mask, 37, 5), Each(false));
}

TEST_F(ButtonFace, KeyColourIsTranslatedFromItsOleForm) {
  const auto button_face = static_cast<std::uint32_t>(::GetSysColor(COLOR_BTNFACE));
  Pixels pixels(16, kMagenta);
  pixels[5] = button_face;
  PaintButtonFace(BitmapPicture(ScreenBitmap(4, 4, pixels)).Get(), 0x80000000U | COLOR_BTNFACE);
  const std::optional<Block> mask = Clipboard(mask_format_);
  ASSERT_TRUE(mask);
  std::vector<bool> expected(16, false);
  expected[5] = true;
  EXPECT_EQ(MaskBits(*mask, 4, 4), expected);

  const std::vector<UINT> before = Formats();
  EXPECT_THROW(PaintButtonFace(BitmapPicture(ScreenBitmap(4, 4, pixels)).Get(), 0x8000FFFFU),
               HostError)
      << "no such system colour";
  EXPECT_EQ(Formats(), before);
}

TEST_F(ButtonFace, PictureThatIsNoBitmapRaises481AndLeavesTheClipboardAlone) {
  const std::vector<UINT> before = Formats();
  PICTDESC icon{.picType = PICTYPE_ICON};
  icon.icon.hicon = ::LoadIconW(nullptr, IDI_APPLICATION);  // shared: the picture must not own it
  PICTDESC none{.picType = PICTYPE_NONE};
  PICTDESC no_bitmap{.picType = PICTYPE_BITMAP};
  const ComPtr<IPicture> pictures[] = {MakePicture(icon, false), MakePicture(none, false),
                                       MakePicture(no_bitmap, false), nullptr};
  SHORT type = 0;
  ASSERT_EQ(pictures[2]->get_Type(&type), S_OK);
  ASSERT_EQ(type, PICTYPE_BITMAP);
  for (const ComPtr<IPicture>& picture : pictures) {
    EXPECT_THAT([&] { PaintButtonFace(picture.Get(), kMagenta); },
                Throws<InvalidPictureError>(Property(&InvalidPictureError::number, 481)));
  }
  EXPECT_EQ(Formats(), before);
  EXPECT_EQ(SentinelText(), kSentinel);
}

TEST_F(ButtonFace, PictureBeyondTheSizeLimitKeepsOnlyItsDib) {
  PaintButtonFace(BitmapPicture(ScreenBitmap(30001, 1, Pixels(30001, kMagenta))).Get(), kMagenta);
  EXPECT_TRUE(Clipboard(CF_DIB));
  EXPECT_FALSE(Clipboard(face_format_));
  EXPECT_FALSE(Clipboard(mask_format_));

  PaintButtonFace(BitmapPicture(ScreenBitmap(30000, 1, Pixels(30000, kMagenta))).Get(), kMagenta);
  const std::optional<Block> mask = Clipboard(mask_format_);
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->size(), 48U + 3752 + 2);
  EXPECT_TRUE(Clipboard(face_format_));
}

TEST_F(ButtonFace, RefusedBlockIsFreedAndAcceptedOnesAreLeftToTheClipboard) {
  recorder.refuse = {mask_format_};
  PaintButtonFace(BitmapPicture(ScreenBitmap(20, 20, Pixels(400, kGrey))).Get(), kMagenta,
                  &RecordingSetter);
  ASSERT_EQ(recorder.accepted.size(), 2U) << "the picture and its copy";
  ASSERT_EQ(recorder.refused.size(), 1U);
  EXPECT_TRUE(IsFreed(recorder.refused[0]));
  for (const HANDLE block : recorder.accepted) EXPECT_FALSE(IsFreed(block));
  EXPECT_TRUE(Clipboard(CF_DIB));
  EXPECT_TRUE(Clipboard(face_format_));
  EXPECT_FALSE(Clipboard(mask_format_));
}

TEST_F(ButtonFace, EveryBlockRefusedLeavesTheClipboardAsItWas) {
  const std::vector<UINT> before = Formats();
  recorder.refuse = {CF_DIB, face_format_, mask_format_};
  PaintButtonFace(BitmapPicture(ScreenBitmap(20, 20, Pixels(400, kGrey))).Get(), kMagenta,
                  &RecordingSetter);
  EXPECT_TRUE(recorder.accepted.empty());
  EXPECT_EQ(recorder.refused.size(), 2U) << "no CF_DIB, so no copy of it";
  for (const HANDLE block : recorder.refused) EXPECT_TRUE(IsFreed(block));
  EXPECT_EQ(Formats(), before);
}

TEST_F(ButtonFace, ClipboardHeldByAnotherProgramThroughoutGetsNothingAndBarelyWaits) {
  const std::vector<UINT> before = Formats();
  std::promise<bool> opened;
  std::promise<void> done;
  std::thread holder([&opened, finished = done.get_future()] {
    // Held by a window, as another program holds it.
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
    {
      const win::OpenedClipboard clipboard(window, kClipboardAttempts, kClipboardPauseMs);
      opened.set_value(window != nullptr && clipboard);
      finished.wait();
    }
    if (window != nullptr) ::DestroyWindow(window);
  });
  const bool held = opened.get_future().get();
  pauses.clear();
  bool painted = true;
  if (held) {
    painted = PaintButtonFace(BitmapPicture(ScreenBitmap(20, 20, Pixels(400, kGrey))).Get(),
                              kMagenta, &::SetClipboardData, &RecordingPause);
  }
  done.set_value();
  holder.join();
  ASSERT_TRUE(held);
  EXPECT_FALSE(painted) << "the button must not paste what another program left";
  // Outlook counts this wait against the add-in's start-up.
  DWORD waited = 0;
  for (const DWORD pause : pauses) waited += pause;
  EXPECT_FALSE(pauses.empty()) << "a clipboard held for a moment is waited for";
  EXPECT_LT(waited, 100U);
  EXPECT_EQ(Formats(), before);
  EXPECT_EQ(SentinelText(), kSentinel);
}

TEST_F(ButtonFace, SendSmsPictureIsOpaqueHowEverItIsLoaded) {
  for (const UINT load : {UINT{LR_DEFAULTCOLOR}, UINT{LR_CREATEDIBSECTION}}) {
    SCOPED_TRACE(load == LR_DEFAULTCOLOR ? "for the screen" : "in its own 256 colours");
    win::UniqueBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SEND_SMS), IMAGE_BITMAP, 0, 0, load)));
    ASSERT_TRUE(bitmap);
    const Pixels pixels = ReadPixels(bitmap.get());
    ASSERT_EQ(pixels.size(), 400U);
    EXPECT_EQ(pixels.front(), kGrey) << "light grey surround";
    EXPECT_THAT(pixels, Contains(0xFFFFFFU)) << "the dots";
    EXPECT_THAT(pixels, Not(Contains(kMagenta)));

    PaintButtonFace(BitmapPicture(std::move(bitmap)).Get(), kMagenta);

    const std::optional<Block> dib = Clipboard(CF_DIB);
    const std::optional<Block> mask = Clipboard(mask_format_);
    ASSERT_TRUE(dib && mask);
    EXPECT_EQ(Clipboard(face_format_), dib);
    EXPECT_EQ(*mask, BuildMaskBlock(pixels, 20, 20, kMagenta));
    EXPECT_THAT(MaskBits(*mask, 20, 20), Each(false));
    EXPECT_EQ((*dib)[14], load == LR_CREATEDIBSECTION ? 8 : 24) << "bits per pixel";
    EXPECT_EQ(DibPixels(*dib), pixels);
  }
}

}  // namespace
}  // namespace parvel::host
