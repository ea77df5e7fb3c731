#pragma once

// The toolbar button's face. MakeFacePictures makes the face and its mask as
// picture objects for the button's Picture and Mask (Office XP and later),
// which touch no clipboard. PaintButtonFace is the way of older hosts: it
// leaves the picture (CF_DIB), a copy of it ("Toolbar Button Face") and its
// transparency mask ("Toolbar Button Mask") on the clipboard, where the
// button's PasteFace takes them from; it neither empties the clipboard first
// nor restores it (KeptClipboard does, around it).

#include <ocidl.h>
#include <windows.h>
#include <wrl/client.h>

#include "host/button_face.h"
#include "platform/handles_win.h"

namespace parvel::host {

inline constexpr char kToolbarButtonFaceFormat[] = "Toolbar Button Face";
inline constexpr char kToolbarButtonMaskFormat[] = "Toolbar Button Mask";

// Hands a memory block to the open clipboard: SetClipboardData. The clipboard
// owns a block it accepted; a refused block stays ours and is freed.
using ClipboardSetter = HANDLE(WINAPI*)(UINT format, HANDLE data);

// Waits between attempts to open a clipboard that another program holds: Sleep.
using ClipboardPause = void(WINAPI*)(DWORD milliseconds);

// How long one painting waits, in all, for a clipboard held by another
// program (a remote desktop's clipboard, for example): Outlook counts it
// against the add-in's start-up.
inline constexpr DWORD kClipboardPatienceMs = 60;

struct FacePictures {
  Microsoft::WRL::ComPtr<IPictureDisp> face;  // the picture itself
  Microsoft::WRL::ComPtr<IPictureDisp> mask;  // 1 bit per pixel, white where transparent
};

// The face and its mask (the mask rule of button_face.h) as picture objects.
// Throws InvalidPictureError for a missing picture, one that is not a bitmap
// or one without a bitmap handle; HostError when the key colour cannot be
// translated or the mask cannot be made.
FacePictures MakeFacePictures(IPicture* picture, OLE_COLOR key_colour);

// Throws InvalidPictureError for a missing picture, one that is not a bitmap
// or one without a bitmap handle, before touching anything; HostError when
// the key colour cannot be translated. False when the clipboard could not be
// opened for the picture: nothing was put there.
bool PaintButtonFace(IPicture* picture, OLE_COLOR key_colour,
                     ClipboardSetter set_data = &::SetClipboardData,
                     ClipboardPause pause = &::Sleep);

// The 1-bit mask of bitmap: white where a pixel, as palette renders it, has
// the key colour, black elsewhere. Empty when the bitmap's size is outside
// the limits or the bitmap cannot be read.
win::UniqueBitmap CreateMaskBitmap(HBITMAP bitmap, COLORREF key, HDC dc, HPALETTE palette);

// Adds "Toolbar Button Face" (a copy of the clipboard's CF_DIB block) and
// "Toolbar Button Mask" (mask as a packed 1-bit bitmap). Adds nothing for a
// null mask or when the clipboard cannot be opened within kClipboardPatienceMs.
void PutMaskOnClipboard(HBITMAP mask, HDC dc, ClipboardSetter set_data = &::SetClipboardData);

}  // namespace parvel::host
