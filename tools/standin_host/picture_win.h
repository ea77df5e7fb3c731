#pragma once

// Pictures an add-in hands the host (IPictureDisp of a bitmap), read as
// 32-bit pixels: a ribbon callback's getImage, a button's Picture and Mask.

#include <oaidl.h>

#include <string>

#include "standin_host/face_image.h"

namespace parvel::standin {

// The picture's pixels. 32-bit pixels keep their alpha; a picture without
// alpha (fewer bits) is opaque. Raises (DispatchError) naming `what` when
// the value is no picture of a bitmap or cannot be read.
FaceImage ReadPicture(const VARIANT& value, const std::wstring& what);

}  // namespace parvel::standin
