#include "standin_host/picture_win.h"

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>
#include <wrl/client.h>

#include "standin_host/dispatch_win.h"

namespace parvel::standin {

FaceImage ReadPicture(const VARIANT& value, const std::wstring& what) {
  ComPtr<IPicture> picture;
  if (value.vt != VT_DISPATCH || value.pdispVal == nullptr ||
      FAILED(value.pdispVal->QueryInterface(IID_PPV_ARGS(&picture)))) {
    Raise(DISP_E_TYPEMISMATCH, what + L" is no picture");
  }
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle)) || handle == 0) {
    Raise(DISP_E_TYPEMISMATCH, what + L" is a picture that is no bitmap");
  }
  const auto bitmap = static_cast<HBITMAP>(LongToHandle(static_cast<LONG>(handle)));
  BITMAP size{};
  if (GetObjectW(bitmap, sizeof size, &size) == 0 || size.bmWidth < 1 || size.bmHeight < 1) {
    Raise(E_FAIL, what + L" is an unreadable bitmap");
  }
  FaceImage face{.width = size.bmWidth, .height = size.bmHeight};
  face.pixels.resize(static_cast<std::size_t>(size.bmWidth) *
                     static_cast<std::size_t>(size.bmHeight));
  BITMAPINFO info{};
  info.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER),
                    .biWidth = size.bmWidth,
                    .biHeight = -size.bmHeight,
                    .biPlanes = 1,
                    .biBitCount = 32,
                    .biCompression = BI_RGB};
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight),
                             face.pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != size.bmHeight) Raise(E_FAIL, what + L" is an unreadable bitmap");
  if (size.bmBitsPixel != 32) {
    for (std::uint32_t& pixel : face.pixels) pixel |= 0xFF000000U;
  }
  return face;
}

}  // namespace parvel::standin
