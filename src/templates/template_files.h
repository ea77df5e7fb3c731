#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace parvel {

// Whole-file access for the templates file: it is read at once and replaced
// at once, never edited in place.
class TemplateFiles {
 public:
  virtual ~TemplateFiles() = default;
  // The file's bytes, or nothing when it is missing or cannot be read.
  virtual std::optional<std::string> ReadAll(const std::filesystem::path& file) = 0;
  // Gives the file exactly these bytes, creating it when missing. Either the
  // new content is complete on disk or the old file is left as it was: false
  // says the latter.
  virtual bool Replace(const std::filesystem::path& file, std::string_view bytes) = 0;
};

// The files on disk. A replacement is written to a companion file in the same
// folder first and moved over the old file only once it is complete, so a
// failure half-way (full disk, a vanished folder) cannot cost the templates
// already stored. A read-only file is never replaced.
class DiskFiles final : public TemplateFiles {
 public:
  std::optional<std::string> ReadAll(const std::filesystem::path& file) override;
  bool Replace(const std::filesystem::path& file, std::string_view bytes) override;

  // Where Replace writes before the move; it is gone again when Replace returns.
  static std::filesystem::path PendingPath(const std::filesystem::path& file);
};

// Makes the complete file at written take the place of target in one step,
// flushed to disk first. On false target is as it was and written remains.
bool MoveIntoPlace(const std::filesystem::path& written,
                   const std::filesystem::path& target) noexcept;

}  // namespace parvel
