#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "templates/template_files.h"

namespace parvel {
namespace {

class UniqueDescriptor {
 public:
  explicit UniqueDescriptor(int descriptor) noexcept : descriptor_(descriptor) {}
  ~UniqueDescriptor() {
    if (valid()) ::close(descriptor_);
  }
  UniqueDescriptor(const UniqueDescriptor&) = delete;
  UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;
  bool valid() const noexcept { return descriptor_ >= 0; }
  int get() const noexcept { return descriptor_; }

 private:
  int descriptor_;
};

// Writes all of bytes and flushes them to the disk, so a crash after the
// file takes its place cannot leave it empty.
bool WriteAllAndFlush(int descriptor, std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written <= 0) {
      if (written < 0 && errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return ::fsync(descriptor) == 0;
}

}  // namespace

NewFileResult WriteNewFile(const std::filesystem::path& file, std::string_view bytes) noexcept {
  bool written = false;
  {
    const UniqueDescriptor descriptor(::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
    if (!descriptor.valid()) {
      return errno == EEXIST ? NewFileResult::NameTaken : NewFileResult::NotCreated;
    }
    written = WriteAllAndFlush(descriptor.get(), bytes);
  }
  if (written) return NewFileResult::Written;
  ::unlink(file.c_str());
  return NewFileResult::NotWritten;
}

bool MoveIntoPlace(const std::filesystem::path& written,
                   const std::filesystem::path& target) noexcept {
  // The new file takes the old one's permissions; rename() then replaces
  // the target atomically when it names a file.
  struct stat old_file {};
  if (::stat(target.c_str(), &old_file) == 0 && S_ISREG(old_file.st_mode) &&
      ::chmod(written.c_str(), old_file.st_mode & 07777) != 0) {
    return false;
  }
  return std::rename(written.c_str(), target.c_str()) == 0;
}

bool WriteOver(const std::filesystem::path& file, std::string_view bytes) noexcept {
  const UniqueDescriptor descriptor(::open(file.c_str(), O_WRONLY | O_TRUNC));
  return descriptor.valid() && WriteAllAndFlush(descriptor.get(), bytes);
}

}  // namespace parvel
