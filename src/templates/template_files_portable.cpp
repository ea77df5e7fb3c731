#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "templates/template_files.h"

namespace parvel {
namespace {

// The content reaches the disk before the name points at it, so a crash
// right after the rename cannot leave an empty file behind.
bool Flush(const std::filesystem::path& file) noexcept {
  const int descriptor = ::open(file.c_str(), O_WRONLY);
  if (descriptor < 0) return false;
  const bool flushed = ::fsync(descriptor) == 0;
  return ::close(descriptor) == 0 && flushed;
}

}  // namespace

bool MoveIntoPlace(const std::filesystem::path& written,
                   const std::filesystem::path& target) noexcept {
  // rename() replaces the target atomically when it names a file.
  return Flush(written) && std::rename(written.c_str(), target.c_str()) == 0;
}

}  // namespace parvel
