#include "standin_host/screenshot_win.h"

#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace parvel::standin {
namespace {

using Microsoft::WRL::ComPtr;

struct ScreenDcReleaser {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;

void Check(HRESULT result, const char* what) {
  if (FAILED(result)) throw std::runtime_error(std::string(what) + " failed");
}

RECT CaptureArea(const std::vector<HWND>& windows) {
  RECT area{};
  for (HWND window : windows) {
    RECT rect{};
    GetWindowRect(window, &rect);
    UnionRect(&area, &area, &rect);
  }
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (IsRectEmpty(&area) || !IntersectRect(&area, &area, &screen)) area = screen;
  return area;
}

void WriteBmp(HDC dc, HBITMAP bitmap, int width, int height, const std::wstring& file) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const auto stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<char> pixels(stride * static_cast<std::size_t>(height));
  header.biSizeImage = static_cast<DWORD>(pixels.size());
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == 0) {
    throw std::runtime_error("reading the screen failed");
  }
  BITMAPFILEHEADER file_header{};
  file_header.bfType = 0x4D42;
  file_header.bfOffBits = sizeof file_header + sizeof header;
  file_header.bfSize = file_header.bfOffBits + header.biSizeImage;
  std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file_header), sizeof file_header);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  if (!out) throw std::runtime_error("the file cannot be written");
}

void WritePng(HBITMAP bitmap, int width, int height, const std::wstring& file) {
  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_IWICImagingFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
        "creating the imaging factory");
  ComPtr<IWICBitmap> source;
  Check(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha,
                                         source.GetAddressOf()),
        "taking the picture");
  ComPtr<IWICStream> stream;
  Check(factory->CreateStream(stream.GetAddressOf()), "creating a stream");
  Check(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE), "opening the file");
  ComPtr<IWICBitmapEncoder> encoder;
  Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.GetAddressOf()),
        "creating the PNG encoder");
  Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "starting the PNG file");
  ComPtr<IWICBitmapFrameEncode> frame;
  Check(encoder->CreateNewFrame(frame.GetAddressOf(), nullptr), "adding a frame");
  Check(frame->Initialize(nullptr), "starting the frame");
  Check(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)), "sizing the frame");
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  Check(frame->SetPixelFormat(&format), "choosing the pixel format");
  Check(frame->WriteSource(source.Get(), nullptr), "writing the pixels");
  Check(frame->Commit(), "finishing the frame");
  Check(encoder->Commit(), "finishing the file");
}

}  // namespace

void SaveScreenshot(const std::wstring& file, const std::vector<HWND>& windows) {
  const RECT area = CaptureArea(windows);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const ScreenDc screen(GetDC(nullptr));
  const MemoryDc memory(CreateCompatibleDC(screen.get()));
  const Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!screen || !memory || !bitmap) throw std::runtime_error("no screen to capture");
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top,
         SRCCOPY | CAPTUREBLT);
  SelectObject(memory.get(), previous);
  std::wstring extension = file.substr(std::min(file.size(), file.rfind(L'.')));
  std::transform(extension.begin(), extension.end(), extension.begin(), [](wchar_t ch) {
    return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(ch)));
  });
  if (extension == L".bmp") {
    WriteBmp(memory.get(), bitmap.get(), width, height, file);
  } else {
    WritePng(bitmap.get(), width, height, file);
  }
}

}  // namespace parvel::standin
