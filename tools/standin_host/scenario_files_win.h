#pragma once

// Files and registry permissions a scenario arranges or checks: the add-in
// keeps its templates in a text file and its settings in the registry, and
// a scenario must be able to make either refuse writes as a locked-down
// machine would.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace parvel::standin {

// The lines of a text file in the ANSI code page, each ended by CR LF.
struct FileLines {
  std::vector<std::wstring> lines;
  bool last_line_ended = true;  // false: the last line has no CR LF
};

// None when the file cannot be read.
std::optional<FileLines> ReadFileLines(const std::filesystem::path& file);
// Writes each line followed by CR LF; false when the file cannot be written.
bool WriteFileLines(const std::filesystem::path& file, const std::vector<std::wstring>& lines);
// Sets or clears the read-only attribute; false when the file is missing.
bool SetReadOnly(const std::filesystem::path& file, bool read_only);

// While it lives, nobody may set values in or create keys below the key;
// reading goes on. The key's former permissions come back at the end.
class WriteProtectedKey {
 public:
  // Throws std::runtime_error when the key's permissions cannot be changed.
  WriteProtectedKey(HKEY root, const std::wstring& path);
  ~WriteProtectedKey();
  WriteProtectedKey(const WriteProtectedKey&) = delete;
  WriteProtectedKey& operator=(const WriteProtectedKey&) = delete;

 private:
  HKEY root_;
  std::wstring path_;
  std::vector<BYTE> former_;  // the key's DACL as a self-relative descriptor
};

}  // namespace parvel::standin
