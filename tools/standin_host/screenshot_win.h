#pragma once

#include <string>

namespace parvel::standin {

// Saves what the screen shows of this process's windows: PNG through the
// Windows imaging component, or BMP when the file name ends in ".bmp".
// Throws std::runtime_error when the picture cannot be taken or written.
void SaveScreenshot(const std::wstring& file);

}  // namespace parvel::standin
