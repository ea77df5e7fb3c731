#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/registry_port.h"

namespace parvel {

// One stored value: its type and its bytes as the registry keeps them.
struct RegistryData {
  std::uint32_t type = kRegSz;
  std::string bytes;
  bool operator==(const RegistryData&) const = default;
};

// An in-memory registry that answers like the Windows one: key and value
// names compare without regard to ASCII letter case, paths use backslashes,
// closed or unknown handles give kErrorInvalidHandle, and a handle can only
// query or set values when its access allows it. Every predefined root key
// (0x80000000 to 0x80000006) is present and empty at the start.
class MemoryRegistry final : public RegistryPort {
 public:
  explicit MemoryRegistry(const CodePage& code_page = SystemCodePage());
  ~MemoryRegistry() override;

  std::int32_t CreateKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                         RegKey& key) override;
  std::int32_t OpenKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                       RegKey& key) override;
  std::int32_t QueryValueInfo(RegKey key, std::wstring_view name, std::uint32_t& type,
                              std::uint32_t& size) override;
  std::int32_t QueryValueData(RegKey key, std::wstring_view name, std::uint32_t& type,
                              std::span<char> buffer, std::uint32_t& size) override;
  std::int32_t SetValue(RegKey key, std::wstring_view name, std::uint32_t type,
                        std::string_view data) override;
  std::int32_t DeleteKey(RegKey parent, std::wstring_view path) override;
  std::int32_t CloseKey(RegKey key) override;
  const CodePage& TextCodePage() const override { return code_page_; }

  // Creates the key when missing; from then on every value write and every
  // subkey creation in it fails with code, as in a key the user may only read.
  void FailWrites(RegKey root, std::wstring_view path, std::int32_t code = kErrorAccessDenied);
  // From now on every write of a value of this name, in any key, fails with
  // code; an empty name lets them all through again.
  void FailWritesOf(std::wstring_view name, std::int32_t code) {
    failing_value_ = name;
    failing_value_code_ = code;
  }

  // Stores the bytes exactly as given, creating the key when missing: a text
  // without its terminating zero, say, as another program may write one.
  void Put(RegKey root, std::wstring_view path, std::wstring_view name, RegistryData data);

  bool KeyExists(RegKey root, std::wstring_view path) const;
  // The value as stored, or nothing when the key or the value is missing.
  std::optional<RegistryData> Find(RegKey root, std::wstring_view path,
                                   std::wstring_view name) const;
  // The names of the key's values, ordered without regard to letter case.
  std::vector<std::wstring> ValueNames(RegKey root, std::wstring_view path) const;
  // Handles handed out and not closed yet.
  std::size_t OpenHandleCount() const { return handles_.size(); }

 private:
  const CodePage& code_page_;
  struct Node;
  struct Handle {
    Node* node;
    std::uint32_t access;
  };

  Node* Resolve(RegKey key) const;
  Node* Walk(RegKey from, std::wstring_view path) const;
  RegKey Issue(Node* node, std::uint32_t access);
  std::int32_t FindValue(RegKey key, std::wstring_view name, const RegistryData*& data) const;

  std::map<RegKey, std::unique_ptr<Node>> roots_;
  std::map<RegKey, Handle> handles_;
  std::vector<std::unique_ptr<Node>> deleted_;  // keys deleted while handles were open
  std::intptr_t next_handle_ = 0x100;
  std::wstring failing_value_;
  std::int32_t failing_value_code_ = kErrorSuccess;
};

}  // namespace parvel
