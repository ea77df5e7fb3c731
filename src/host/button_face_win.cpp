#include "host/button_face_win.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "com/picture_win.h"

namespace parvel::host {
namespace {

// Moveable and DDE-shareable, as the clipboard wants its blocks.
constexpr UINT kClipboardBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

constexpr DWORD kClipboardPauseMs = 15;

// The waits one painting may still spend on a busy clipboard, shared by its
// two opens.
class ClipboardPatience {
 public:
  ClipboardPatience(ClipboardPause pause, DWORD budget_ms) : pause_(pause), left_ms_(budget_ms) {}

  // Pauses before the next attempt; false when the patience is spent.
  bool Wait() {
    if (left_ms_ < kClipboardPauseMs) return false;
    left_ms_ -= kClipboardPauseMs;
    pause_(kClipboardPauseMs);
    return true;
  }

 private:
  ClipboardPause pause_;
  DWORD left_ms_;
};

// What GDI describes a 1-bit bitmap with: the header and its two colours.
struct MaskInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[2];
};
static_assert(sizeof(MaskInfo) == kMaskRowsOffset);

BITMAPINFO* AsBitmapInfo(MaskInfo& info) { return reinterpret_cast<BITMAPINFO*>(&info); }

// OLE hands GDI handles over as 32-bit values; GDI handles are sign-extended.
template <typename Handle>
Handle FromOleHandle(OLE_HANDLE value) {
  return static_cast<Handle>(LongToHandle(static_cast<LONG>(value)));
}

void GiveToClipboard(ClipboardSetter set_data, UINT format, win::UniqueGlobal block) {
  if (set_data(format, block.get()) != nullptr) static_cast<void>(block.release());
}

HBITMAP PictureBitmap(IPicture* picture) {
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (picture == nullptr || FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle)) || handle == 0) {
    throw InvalidPictureError();
  }
  return FromOleHandle<HBITMAP>(handle);
}

HPALETTE PicturePalette(IPicture& picture) {
  OLE_HANDLE handle = 0;
  return SUCCEEDED(picture.get_hPal(&handle)) ? FromOleHandle<HPALETTE>(handle) : nullptr;
}

// The bitmap as a packed device-independent bitmap: palettised bitmaps keep
// their depth and colour table, deeper ones become 24-bit rows.
win::UniqueGlobal PackedDib(HBITMAP bitmap, HPALETTE palette, HDC dc) {
  const win::UniqueDc memory(::CreateCompatibleDC(dc));
  if (!memory) return {};
  const win::SelectedPalette selected(memory.get(), palette, true);
  ::RealizePalette(memory.get());
  BITMAPINFOHEADER native{.biSize = sizeof(BITMAPINFOHEADER)};
  if (::GetDIBits(memory.get(), bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&native),
                  DIB_RGB_COLORS) == 0 ||
      native.biWidth < 1 || native.biHeight == 0) {
    return {};
  }
  const WORD bit_count = native.biBitCount <= 8 ? native.biBitCount : WORD{24};
  const auto width = static_cast<std::size_t>(native.biWidth);
  const auto height = static_cast<UINT>(std::abs(native.biHeight));
  const std::size_t colours = bit_count <= 8 ? std::size_t{1} << bit_count : 0;
  const std::size_t table_end = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
  const std::size_t image_size = (width * bit_count + 31) / 32 * 4 * height;
  win::UniqueGlobal block(::GlobalAlloc(kClipboardBlockFlags, table_end + image_size));
  if (!block) return {};
  const win::LockedGlobal locked(block.get());
  if (!locked) return {};
  auto* bytes = static_cast<std::uint8_t*>(locked.data());
  std::memset(bytes, 0, table_end);
  auto* info = static_cast<BITMAPINFO*>(locked.data());
  info->bmiHeader = BITMAPINFOHEADER{.biSize = sizeof(BITMAPINFOHEADER),
                                     .biWidth = native.biWidth,
                                     .biHeight = static_cast<LONG>(height),
                                     .biPlanes = 1,
                                     .biBitCount = bit_count,
                                     .biCompression = BI_RGB,
                                     .biSizeImage = static_cast<DWORD>(image_size)};
  if (::GetDIBits(memory.get(), bitmap, 0, height, bytes + table_end, info, DIB_RGB_COLORS) !=
      static_cast<int>(height)) {
    return {};
  }
  // The table always has all its entries, so readers find the rows after it.
  info->bmiHeader.biClrUsed = 0;
  return block;
}

// False when the clipboard could not be opened.
bool PutPictureOnClipboard(HBITMAP bitmap, HPALETTE palette, HDC dc, ClipboardSetter set_data,
                           ClipboardPatience& patience) {
  win::UniqueGlobal dib = PackedDib(bitmap, palette, dc);
  if (!dib) return true;
  const win::OpenedClipboard clipboard(nullptr, [&] { return patience.Wait(); });
  if (!clipboard) return false;
  GiveToClipboard(set_data, CF_DIB, std::move(dib));
  return true;
}

void PutMask(HBITMAP mask, HDC dc, ClipboardSetter set_data, ClipboardPatience& patience);

// The toolbar wants its own copy of the face, of exactly the CF_DIB block.
void CopyDibAsFace(UINT face_format, ClipboardSetter set_data) {
  const HANDLE dib = face_format == 0 ? nullptr : ::GetClipboardData(CF_DIB);
  if (dib == nullptr) return;
  const SIZE_T size = ::GlobalSize(dib);
  const win::LockedGlobal source(dib);
  if (size == 0 || !source) return;
  win::UniqueGlobal block(::GlobalAlloc(kClipboardBlockFlags, size));
  if (!block) return;
  {
    const win::LockedGlobal target(block.get());
    if (!target) return;
    std::memcpy(target.data(), source.data(), size);
  }
  GiveToClipboard(set_data, face_format, std::move(block));
}

}  // namespace

namespace {

// The picture's bitmap and palette with the key colour as the palette
// renders it, and the screen to paint against.
class FaceSource {
 public:
  FaceSource(IPicture* picture, OLE_COLOR key_colour)
      : bitmap_(PictureBitmap(picture)), screen_(nullptr), palette_(PicturePalette(*picture)) {
    if (palette_ == nullptr) {
      halftone_.reset(::CreateHalftonePalette(screen_.get()));
      palette_ = halftone_.get();
    }
    const HRESULT translated = ::OleTranslateColor(key_colour, palette_, &key_);
    if (FAILED(translated)) throw HostError(translated, L"The key colour is not a colour");
  }

  HBITMAP bitmap() const noexcept { return bitmap_; }
  HDC screen() const noexcept { return screen_.get(); }
  HPALETTE palette() const noexcept { return palette_; }
  win::UniqueBitmap Mask() const { return CreateMaskBitmap(bitmap_, key_, screen(), palette_); }

 private:
  HBITMAP bitmap_;
  win::WindowDc screen_;
  HPALETTE palette_;
  win::UniquePalette halftone_;
  COLORREF key_ = 0;
};

}  // namespace

FacePictures MakeFacePictures(IPicture* picture, OLE_COLOR key_colour) {
  const FaceSource source(picture, key_colour);
  win::UniqueBitmap mask = source.Mask();
  if (!mask) throw HostError(E_FAIL, L"The button's mask cannot be made");
  FacePictures pictures;
  HRESULT hr = picture->QueryInterface(IID_PPV_ARGS(&pictures.face));
  if (FAILED(hr)) throw HostError(hr, L"The button's picture is no picture object");
  pictures.mask = com::MakePicture<IPictureDisp>(std::move(mask), L"The button's mask");
  return pictures;
}

bool PaintButtonFace(IPicture* picture, OLE_COLOR key_colour, ClipboardSetter set_data,
                     ClipboardPause pause) {
  const FaceSource source(picture, key_colour);
  const HBITMAP bitmap = source.bitmap();
  const HPALETTE palette = source.palette();
  const HDC screen = source.screen();
  const win::UniqueBitmap mask = source.Mask();
  ClipboardPatience patience(pause, kClipboardPatienceMs);
  if (!PutPictureOnClipboard(bitmap, palette, screen, set_data, patience)) return false;
  PutMask(mask.get(), screen, set_data, patience);
  return true;
}

win::UniqueBitmap CreateMaskBitmap(HBITMAP bitmap, COLORREF key, HDC dc, HPALETTE palette) {
  BITMAP size{};
  if (::GetObjectW(bitmap, sizeof size, &size) == 0 ||
      !MaskSizeAllowed(size.bmWidth, size.bmHeight)) {
    return {};
  }
  const win::UniqueDc source(::CreateCompatibleDC(dc));
  if (!source) return {};
  const win::SelectedPalette source_palette(source.get(), palette, true);
  ::RealizePalette(source.get());
  const win::SelectedObject source_bitmap(source.get(), bitmap);
  if (!source_bitmap) return {};
  win::UniqueBitmap mask(::CreateBitmap(size.bmWidth, size.bmHeight, 1, 1, nullptr));
  if (!mask) return {};
  const win::UniqueDc target(::CreateCompatibleDC(dc));
  if (!target) return {};
  {
    const win::SelectedObject target_bitmap(target.get(), mask.get());
    if (!target_bitmap) return {};
    // Colour to monochrome: the background colour turns white, all else black.
    ::SetBkColor(source.get(), key);
    ::SetTextColor(source.get(), RGB(255, 255, 255));
    if (!::BitBlt(target.get(), 0, 0, size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY)) {
      return {};
    }
  }
  return mask;
}

void PutMaskOnClipboard(HBITMAP mask, HDC dc, ClipboardSetter set_data) {
  ClipboardPatience patience(&::Sleep, kClipboardPatienceMs);
  PutMask(mask, dc, set_data, patience);
}

namespace {

void PutMask(HBITMAP mask, HDC dc, ClipboardSetter set_data, ClipboardPatience& patience) {
  MaskInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  if (mask != nullptr) {
    ::GetDIBits(dc, mask, 0, 0, nullptr, AsBitmapInfo(info), DIB_RGB_COLORS);
  }
  const LONG width = info.header.biWidth;
  const LONG height = std::abs(info.header.biHeight);
  if (info.header.biBitCount != 1 || info.header.biSizeImage < 1 ||
      !MaskSizeAllowed(width, height) || info.header.biSizeImage != MaskImageSize(width, height)) {
    return;
  }
  const std::size_t image_size = info.header.biSizeImage;
  std::vector<std::uint8_t> rows(image_size);
  const win::OpenedClipboard clipboard(nullptr, [&] { return patience.Wait(); });
  if (!clipboard) return;
  const UINT face_format = ::RegisterClipboardFormatA(kToolbarButtonFaceFormat);
  const UINT mask_format = ::RegisterClipboardFormatA(kToolbarButtonMaskFormat);
  CopyDibAsFace(face_format, set_data);
  // Reading the rows also fills the colour table: black, then white.
  if (mask_format == 0 || ::GetDIBits(dc, mask, 0, static_cast<UINT>(height), rows.data(),
                                      AsBitmapInfo(info), DIB_RGB_COLORS) != height) {
    return;
  }
  win::UniqueGlobal block(::GlobalAlloc(kClipboardBlockFlags, MaskBlockSize(image_size)));
  if (!block) return;
  {
    const win::LockedGlobal target(block.get());
    if (!target) return;
    auto* bytes = static_cast<std::uint8_t*>(target.data());
    std::memcpy(bytes, &info, kMaskRowsOffset);
    std::memcpy(bytes + kMaskRowsOffset, rows.data(), image_size);
    std::memset(bytes + kMaskRowsOffset + image_size, 0, kMaskBlockSlack);
  }
  GiveToClipboard(set_data, mask_format, std::move(block));
}

}  // namespace

}  // namespace parvel::host
