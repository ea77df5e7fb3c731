#pragma once

// Pictures for the host's buttons: a bitmap handed to an OLE picture object,
// which owns and deletes it from then on.

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>
#include <wrl/client.h>

#include <string_view>

#include "platform/handles_win.h"

namespace parvel::com {

// Hands bitmap to a new picture object with the interface iid; throws
// ComError with the system's text (or naming what) when OLE refuses (the bitmap is deleted then).
void MakePicture(win::UniqueBitmap bitmap, REFIID iid, void** picture, std::wstring_view what);

// The DLL's bitmap resource id (as a DIB section, alpha kept) as a picture.
void LoadPicture(int resource_id, REFIID iid, void** picture, std::wstring_view what);

template <typename Picture>
Microsoft::WRL::ComPtr<Picture> MakePicture(win::UniqueBitmap bitmap, std::wstring_view what) {
  Microsoft::WRL::ComPtr<Picture> picture;
  MakePicture(std::move(bitmap), __uuidof(Picture),
              reinterpret_cast<void**>(picture.GetAddressOf()), what);
  return picture;
}

template <typename Picture>
Microsoft::WRL::ComPtr<Picture> LoadPicture(int resource_id, std::wstring_view what) {
  Microsoft::WRL::ComPtr<Picture> picture;
  LoadPicture(resource_id, __uuidof(Picture), reinterpret_cast<void**>(picture.GetAddressOf()),
              what);
  return picture;
}

}  // namespace parvel::com
