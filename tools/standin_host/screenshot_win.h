#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace parvel::standin {

// Saves what the screen shows of the windows (the rectangle around them all):
// PNG through the Windows imaging component, or BMP when the file name ends
// in ".bmp". Throws std::runtime_error when the picture cannot be taken or
// written.
void SaveScreenshot(const std::wstring& file, const std::vector<HWND>& windows);

}  // namespace parvel::standin
