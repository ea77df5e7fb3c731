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
  // Creates the folder with any missing parents; true when it is there.
  virtual bool CreateFolder(const std::filesystem::path& folder) = 0;
};

// The files on disk. A replacement is written to a new file of its own in the
// same folder first ("ZNSMSTemplates.txt.<random>.tmp", never a name that
// exists) and takes the old file's place only once it is complete, keeping
// the old file's permissions and attributes, so a failure half-way (full
// disk, a vanished folder) cannot cost the templates already stored. Where
// no file can be created in the folder (a user who may change the file but
// not the folder), the file itself is written over instead. A read-only file
// is never replaced.
class DiskFiles final : public TemplateFiles {
 public:
  std::optional<std::string> ReadAll(const std::filesystem::path& file) override;
  bool Replace(const std::filesystem::path& file, std::string_view bytes) override;
  bool CreateFolder(const std::filesystem::path& folder) override;
};

// The platform's part of DiskFiles.
enum class NewFileResult {
  Written,     // the file exists with exactly the bytes, flushed to disk
  NameTaken,   // something has that name already; it is untouched
  NotCreated,  // the folder refuses a new file (rights, a name too long, no folder)
  NotWritten,  // created but not filled (a full disk, say); removed again
};
// Creates file, which must not exist yet, with exactly these bytes.
NewFileResult WriteNewFile(const std::filesystem::path& file, std::string_view bytes) noexcept;
// Makes the complete file at written take the place of target in one step,
// keeping target's permissions and attributes when target exists. On false
// target is as it was and written remains.
bool MoveIntoPlace(const std::filesystem::path& written,
                   const std::filesystem::path& target) noexcept;
// Gives the existing file exactly these bytes by writing over it.
bool WriteOver(const std::filesystem::path& file, std::string_view bytes) noexcept;

}  // namespace parvel
