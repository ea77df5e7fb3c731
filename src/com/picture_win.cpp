#include "com/picture_win.h"

#include <utility>

#include "com/com_module_win.h"
#include "com/dispatch_win.h"

namespace parvel::com {

void MakePicture(win::UniqueBitmap bitmap, REFIID iid, void** picture, std::wstring_view what) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap.get();
  const HRESULT hr = OleCreatePictureIndirect(&description, iid, TRUE, picture);
  if (FAILED(hr)) ThrowComError(hr, what);
  static_cast<void>(bitmap.release());
}

void LoadPicture(int resource_id, REFIID iid, void** picture, std::wstring_view what) {
  win::UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(
      ModuleInstance(), MAKEINTRESOURCEW(resource_id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) ThrowComError(HRESULT_FROM_WIN32(GetLastError()), what);
  MakePicture(std::move(bitmap), iid, picture, what);
}

}  // namespace parvel::com
