#include "templates/template_files.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
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

// A name for the new content beside file that no one else uses: another
// program's "ZNSMSTemplates.txt.tmp" is none of ours.
fs::path PendingName(const fs::path& file) {
  static std::mt19937_64 random{
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::uint64_t value = random();
  std::wstring suffix(16, L'0');
  for (wchar_t& digit : suffix) {
    digit = static_cast<wchar_t>(kDigits[value & 0xF]);
    value >>= 4;
  }
  fs::path pending = file;
  pending += L"." + suffix + L".tmp";
  return pending;
}

constexpr int kPendingNameAttempts = 4;

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
  for (int attempt = 0; attempt < kPendingNameAttempts; ++attempt) {
    const fs::path pending = PendingName(file);
    switch (WriteNewFile(pending, bytes)) {
      case NewFileResult::Written:
        if (MoveIntoPlace(pending, file)) return true;
        {
          std::error_code error;
          fs::remove(pending, error);
        }
        return false;
      case NewFileResult::NameTaken:
        continue;
      case NewFileResult::NotWritten:
        return false;
      case NewFileResult::NotCreated:
        // No new file in this folder: the old one is written over, as long
        // as there is one (creating it would need the same right).
        {
          std::error_code error;
          return fs::is_regular_file(file, error) && WriteOver(file, bytes);
        }
    }
  }
  return false;
}

bool DiskFiles::CreateFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  return fs::is_directory(folder, error);
}

}  // namespace parvel
