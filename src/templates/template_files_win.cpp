#include <windows.h>

#include "templates/template_files.h"

namespace parvel {
namespace {

class UniqueFile {
 public:
  explicit UniqueFile(HANDLE handle) noexcept : handle_(handle) {}
  ~UniqueFile() {
    if (valid()) CloseHandle(handle_);
  }
  UniqueFile(const UniqueFile&) = delete;
  UniqueFile& operator=(const UniqueFile&) = delete;
  bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const noexcept { return handle_; }

 private:
  HANDLE handle_;
};

// The content reaches the disk before the name points at it, so a crash
// right after the move cannot leave an empty file behind.
bool Flush(const std::filesystem::path& file) noexcept {
  const UniqueFile handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle.valid() && FlushFileBuffers(handle.get()) != FALSE;
}

}  // namespace

bool MoveIntoPlace(const std::filesystem::path& written,
                   const std::filesystem::path& target) noexcept {
  // One step: readers see the old file or the new one, never a part. Windows
  // refuses to replace a read-only file.
  return Flush(written) && MoveFileExW(written.c_str(), target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace parvel
