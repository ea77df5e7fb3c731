#include "standin_host/clipboard_win.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "standin_host/face_image.h"

namespace parvel::standin {
namespace {

constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenPauseMs = 10;

class OpenClipboardFor {
 public:
  explicit OpenClipboardFor(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(kOpenPauseMs);
    }
  }
  ~OpenClipboardFor() {
    if (open_) CloseClipboard();
  }
  OpenClipboardFor(const OpenClipboardFor&) = delete;
  OpenClipboardFor& operator=(const OpenClipboardFor&) = delete;
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

// A packed 24-bit DIB of 16 x 16 pixels, diagonal stripes of three colours.
std::vector<std::uint8_t> CopiedImage() {
  constexpr int kSide = kCopiedImageSide;
  constexpr int kRowBytes = (kSide * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> block(sizeof(BITMAPINFOHEADER) + std::size_t{kRowBytes} * kSide, 0);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = kSide;
  header.biHeight = kSide;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = kRowBytes * kSide;
  std::memcpy(block.data(), &header, sizeof header);
  constexpr std::uint8_t kColours[3][3] = {{0x20, 0x80, 0xE0}, {0xF0, 0xF0, 0x10}, {0x90, 0, 0x40}};
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const std::uint8_t* colour = kColours[(x + y) % 3];
      std::memcpy(
          &block[sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(y * kRowBytes + x * 3)],
          colour, 3);
    }
  }
  return block;
}

bool Give(UINT format, const void* bytes, std::size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (block == nullptr) return false;
  void* target = GlobalLock(block);
  if (target == nullptr) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(block);
  if (SetClipboardData(format, block) != nullptr) return true;
  GlobalFree(block);
  return false;
}

std::optional<std::vector<std::uint8_t>> Read(UINT format) {
  HANDLE data = GetClipboardData(format);
  if (data == nullptr) return std::nullopt;
  const void* bytes = GlobalLock(data);
  if (bytes == nullptr) return std::nullopt;
  const auto* first = static_cast<const std::uint8_t*>(bytes);
  std::vector<std::uint8_t> copy(first, first + GlobalSize(data));
  GlobalUnlock(data);
  return copy;
}

}  // namespace

bool CopyToClipboard(const std::optional<std::wstring>& text, bool image) {
  if (!text && !image) return true;
  HWND owner =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (owner == nullptr) return false;
  bool done = false;
  {
    const OpenClipboardFor clipboard(owner);
    if (clipboard.open() && EmptyClipboard()) {
      done = true;
      if (text) {
        done = Give(CF_UNICODETEXT, text->c_str(), (text->size() + 1) * sizeof(wchar_t));
      }
      if (image) {
        const std::vector<std::uint8_t> dib = CopiedImage();
        done = Give(CF_DIB, dib.data(), dib.size()) && done;
      }
    }
  }
  DestroyWindow(owner);
  return done;
}

std::optional<ClipboardFacts> ReadClipboard() {
  const OpenClipboardFor clipboard(nullptr);
  if (!clipboard.open()) return std::nullopt;
  ClipboardFacts facts;
  if (const auto text = Read(CF_UNICODETEXT)) {
    const auto* chars = reinterpret_cast<const wchar_t*>(text->data());
    facts.text = std::wstring(chars, wcsnlen(chars, text->size() / sizeof(wchar_t)));
  }
  if (const auto dib = Read(CF_DIB)) {
    try {
      const FaceImage picture = DecodeDib(*dib);
      facts.image = std::to_wstring(picture.width) + L"x" + std::to_wstring(picture.height);
      const std::vector<std::uint8_t> copied = CopiedImage();
      const FaceImage original = DecodeDib(copied);
      facts.copied_image = picture.width == original.width && picture.height == original.height &&
                           picture.pixels == original.pixels;
    } catch (const FaceError&) {
      facts.image = L"unreadable";
    }
  }
  return facts;
}

DWORD ClipboardSequence() { return GetClipboardSequenceNumber(); }

}  // namespace parvel::standin
