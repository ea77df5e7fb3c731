#include "templates/template_files.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace parvel {
namespace {

namespace fs = std::filesystem;

// The file carries the read-only mark (or, on POSIX, no write permission for
// its owner): the user has asked for it to stay as it is.
bool IsReadOnly(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (error || !fs::exists(status)) return false;
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

}  // namespace

fs::path DiskFiles::PendingPath(const fs::path& file) {
  fs::path pending = file;
  pending += L".tmp";
  return pending;
}

std::optional<std::string> DiskFiles::ReadAll(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  std::ifstream stream(file, std::ios::binary);
  if (!stream.is_open()) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  if (stream.bad()) return std::nullopt;
  return bytes;
}

bool DiskFiles::Replace(const fs::path& file, std::string_view bytes) {
  if (IsReadOnly(file)) return false;
  const fs::path pending = PendingPath(file);
  std::error_code error;
  // Something that is not a file of ours (a folder, say) under that name stays.
  if (fs::exists(pending, error) && !fs::is_regular_file(pending, error)) return false;
  {
    std::ofstream stream(pending, std::ios::binary | std::ios::trunc);
    if (!stream.is_open()) return false;
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    stream.close();
    if (!stream.fail() && MoveIntoPlace(pending, file)) return true;
  }
  fs::remove(pending, error);
  return false;
}

}  // namespace parvel
