#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/handles_win.h"
#include "templates/template_files.h"

namespace parvel {
namespace {

// Writes all of bytes at the file's position and flushes them to the disk,
// so a crash after the file takes its place cannot leave it empty.
bool WriteAllAndFlush(HANDLE file, std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(
        std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max() / 2));
    DWORD written = 0;
    if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == FALSE || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return FlushFileBuffers(file) != FALSE;
}

}  // namespace

NewFileResult WriteNewFile(const std::filesystem::path& file, std::string_view bytes) noexcept {
  bool written = false;
  {
    const win::UniqueKernelHandle handle = win::OpenedFile(CreateFileW(
        file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS
                 ? NewFileResult::NameTaken
                 : NewFileResult::NotCreated;
    }
    written = WriteAllAndFlush(handle.get(), bytes);
  }
  if (written) return NewFileResult::Written;
  DeleteFileW(file.c_str());
  return NewFileResult::NotWritten;
}

bool MoveIntoPlace(const std::filesystem::path& written,
                   const std::filesystem::path& target) noexcept {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // Only a file is replaced, never a folder of that name.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    // ReplaceFileW gives the new content the old file's identity: its
    // permissions, attributes, creation time and short name. Without a
    // backup name, a failure leaves the old file as it was. The attributes
    // are given first as well, for file systems that do not carry them over.
    SetFileAttributesW(written.c_str(), attributes);
    return ReplaceFileW(target.c_str(), written.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                        nullptr, nullptr) != FALSE;
  }
  return MoveFileExW(written.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool WriteOver(const std::filesystem::path& file, std::string_view bytes) noexcept {
  const win::UniqueKernelHandle handle =
      win::OpenedFile(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle && WriteAllAndFlush(handle.get(), bytes) && SetEndOfFile(handle.get()) != FALSE;
}

}  // namespace parvel
