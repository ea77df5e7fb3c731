#include "standin_host/scenario_files_win.h"

#include <sddl.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "standin_host/registry_win.h"

namespace parvel::standin {
namespace {

std::wstring FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

struct LocalFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};

// Everyone may read and change permissions; nobody may set values (2) or
// create subkeys (4).
constexpr wchar_t kDenyWrites[] = L"D:(D;;0x6;;;WD)(A;;KA;;;WD)";

bool SetDacl(HKEY root, const std::wstring& path, PSECURITY_DESCRIPTOR descriptor) {
  const UniqueKey key = OpenKey(root, path, READ_CONTROL | WRITE_DAC);
  return key &&
         RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
}

}  // namespace

std::optional<FileLines> ReadFileLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  FileLines read;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      read.lines.push_back(FromAnsi(bytes.substr(start)));
      read.last_line_ended = false;
      break;
    }
    read.lines.push_back(FromAnsi(bytes.substr(start, end - start)));
    start = end + 2;
  }
  return read;
}

bool WriteFileLines(const std::filesystem::path& file, const std::vector<std::wstring>& lines) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (const std::wstring& line : lines) out << ToAnsi(line) << "\r\n";
  out.close();
  return !out.fail();
}

bool SetReadOnly(const std::filesystem::path& file, bool read_only) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD wanted = read_only ? attributes | FILE_ATTRIBUTE_READONLY
                                 : attributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
  return SetFileAttributesW(file.c_str(), wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

WriteProtectedKey::WriteProtectedKey(HKEY root, const std::wstring& path)
    : root_(root), path_(path) {
  if (!CreateKey(root, path)) throw std::runtime_error("the key cannot be created");
  {
    const UniqueKey key = OpenKey(root, path, READ_CONTROL);
    DWORD size = 0;
    if (!key || RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size) !=
                    ERROR_INSUFFICIENT_BUFFER) {
      throw std::runtime_error("the key's permissions cannot be read");
    }
    former_.resize(size);
    if (RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, former_.data(), &size) !=
        ERROR_SUCCESS) {
      throw std::runtime_error("the key's permissions cannot be read");
    }
  }
  PSECURITY_DESCRIPTOR deny = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kDenyWrites, SDDL_REVISION_1, &deny,
                                                            nullptr)) {
    throw std::runtime_error("no security descriptor");
  }
  const std::unique_ptr<void, LocalFreer> owned(deny);
  if (!SetDacl(root, path, deny))
    throw std::runtime_error("the key's permissions cannot be changed");
}

WriteProtectedKey::~WriteProtectedKey() { SetDacl(root_, path_, former_.data()); }

}  // namespace parvel::standin
