#include "support/memory_registry.h"

#include <algorithm>
#include <optional>

namespace parvel {
namespace {

wchar_t FoldCase(wchar_t ch) { return ch >= L'a' && ch <= L'z' ? ch - L'a' + L'A' : ch; }

struct NameLess {
  using is_transparent = void;
  bool operator()(std::wstring_view left, std::wstring_view right) const {
    return std::lexicographical_compare(
        left.begin(), left.end(), right.begin(), right.end(),
        [](wchar_t a, wchar_t b) { return FoldCase(a) < FoldCase(b); });
  }
};

bool IsText(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The names of a path; nothing when a name is empty (a doubled, leading or
// trailing backslash). The empty path names the key itself.
std::optional<std::vector<std::wstring_view>> SplitPath(std::wstring_view path) {
  std::vector<std::wstring_view> names;
  if (path.empty()) return names;
  while (true) {
    const auto end = path.find(L'\\');
    const auto name = path.substr(0, end);
    if (name.empty()) return std::nullopt;
    names.push_back(name);
    if (end == std::wstring_view::npos) return names;
    path.remove_prefix(end + 1);
  }
}

}  // namespace

struct MemoryRegistry::Node {
  std::map<std::wstring, std::unique_ptr<Node>, NameLess> keys;
  std::map<std::wstring, RegistryData, NameLess> values;
  std::int32_t write_failure = kErrorSuccess;
};

MemoryRegistry::MemoryRegistry(const CodePage& code_page) : code_page_(code_page) {
  for (std::uint32_t root = 0x80000000U; root <= 0x80000006U; ++root) {
    roots_.emplace(RegKey{static_cast<std::int32_t>(root)}, std::make_unique<Node>());
  }
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::Resolve(RegKey key) const {
  if (const auto root = roots_.find(key); root != roots_.end()) return root->second.get();
  if (const auto handle = handles_.find(key); handle != handles_.end()) return handle->second.node;
  return nullptr;
}

MemoryRegistry::Node* MemoryRegistry::Walk(RegKey from, std::wstring_view path) const {
  Node* node = Resolve(from);
  const auto names = SplitPath(path);
  if (node == nullptr || !names) return nullptr;
  for (const auto name : *names) {
    const auto child = node->keys.find(name);
    if (child == node->keys.end()) return nullptr;
    node = child->second.get();
  }
  return node;
}

RegKey MemoryRegistry::Issue(Node* node, std::uint32_t access) {
  const RegKey key{next_handle_};
  next_handle_ += 4;
  handles_.emplace(key, Handle{node, access});
  return key;
}

std::int32_t MemoryRegistry::FindValue(RegKey key, std::wstring_view name,
                                       const RegistryData*& data) const {
  const auto handle = handles_.find(key);
  const Node* node = Resolve(key);
  if (node == nullptr) return kErrorInvalidHandle;
  if (handle != handles_.end() && (handle->second.access & kKeyQueryValue) == 0) {
    return kErrorAccessDenied;
  }
  const auto value = node->values.find(name);
  if (value == node->values.end()) return kErrorFileNotFound;
  data = &value->second;
  return kErrorSuccess;
}

std::int32_t MemoryRegistry::CreateKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                                       RegKey& key) {
  key = kNoRegKey;
  Node* node = Resolve(parent);
  if (node == nullptr) return kErrorInvalidHandle;
  const auto names = SplitPath(path);
  if (!names) return kErrorBadPathname;
  for (const auto name : *names) {
    auto child = node->keys.find(name);
    if (child == node->keys.end()) {
      if (node->write_failure != kErrorSuccess) return node->write_failure;
      child = node->keys.emplace(std::wstring(name), std::make_unique<Node>()).first;
    }
    node = child->second.get();
  }
  key = Issue(node, access);
  return kErrorSuccess;
}

std::int32_t MemoryRegistry::OpenKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                                     RegKey& key) {
  key = kNoRegKey;
  if (Resolve(parent) == nullptr) return kErrorInvalidHandle;
  if (!SplitPath(path)) return kErrorBadPathname;
  Node* node = Walk(parent, path);
  if (node == nullptr) return kErrorFileNotFound;
  key = Issue(node, access);
  return kErrorSuccess;
}

std::int32_t MemoryRegistry::QueryValueInfo(RegKey key, std::wstring_view name, std::uint32_t& type,
                                            std::uint32_t& size) {
  const RegistryData* data = nullptr;
  const std::int32_t code = FindValue(key, name, data);
  if (code != kErrorSuccess) return code;
  type = data->type;
  size = static_cast<std::uint32_t>(data->bytes.size());
  return kErrorSuccess;
}

std::int32_t MemoryRegistry::QueryValueData(RegKey key, std::wstring_view name, std::uint32_t& type,
                                            std::span<char> buffer, std::uint32_t& size) {
  const RegistryData* data = nullptr;
  const std::int32_t code = FindValue(key, name, data);
  if (code != kErrorSuccess) return code;
  type = data->type;
  size = static_cast<std::uint32_t>(data->bytes.size());
  if (buffer.size() < data->bytes.size()) return kErrorMoreData;
  std::copy(data->bytes.begin(), data->bytes.end(), buffer.begin());
  return kErrorSuccess;
}

std::int32_t MemoryRegistry::SetValue(RegKey key, std::wstring_view name, std::uint32_t type,
                                      std::string_view data) {
  const auto handle = handles_.find(key);
  Node* node = Resolve(key);
  if (node == nullptr) return kErrorInvalidHandle;
  if (handle != handles_.end() && (handle->second.access & kKeySetValue) == 0) {
    return kErrorAccessDenied;
  }
  if (node->write_failure != kErrorSuccess) return node->write_failure;
  if (!failing_value_.empty() && !NameLess()(name, failing_value_) &&
      !NameLess()(failing_value_, name)) {
    return failing_value_code_;
  }
  RegistryData stored{.type = type, .bytes = std::string(data)};
  if (IsText(type) && !data.empty() && data.back() != '\0') stored.bytes.push_back('\0');
  node->values.insert_or_assign(std::wstring(name), std::move(stored));
  return kErrorSuccess;
}

std::int32_t MemoryRegistry::DeleteKey(RegKey parent, std::wstring_view path) {
  if (Resolve(parent) == nullptr) return kErrorInvalidHandle;
  const auto names = SplitPath(path);
  if (!names || names->empty()) return kErrorBadPathname;
  const auto split = path.rfind(L'\\');
  Node* above = Walk(parent, split == std::wstring_view::npos ? L"" : path.substr(0, split));
  if (above == nullptr) return kErrorFileNotFound;
  const auto found = above->keys.find(names->back());
  if (found == above->keys.end()) return kErrorFileNotFound;
  if (!found->second->keys.empty()) return kErrorAccessDenied;
  if (above->write_failure != kErrorSuccess) return above->write_failure;
  // Handles still open on the key stay valid and reach nothing of the tree.
  deleted_.push_back(std::move(found->second));
  above->keys.erase(found);
  return kErrorSuccess;
}

std::int32_t MemoryRegistry::CloseKey(RegKey key) {
  if (roots_.contains(key)) return kErrorSuccess;
  return handles_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

void MemoryRegistry::FailWrites(RegKey root, std::wstring_view path, std::int32_t code) {
  RegKey key = kNoRegKey;
  if (CreateKey(root, path, 0, key) != kErrorSuccess) return;
  handles_.at(key).node->write_failure = code;
  CloseKey(key);
}

void MemoryRegistry::Put(RegKey root, std::wstring_view path, std::wstring_view name,
                         RegistryData data) {
  RegKey key = kNoRegKey;
  if (CreateKey(root, path, 0, key) != kErrorSuccess) return;
  handles_.at(key).node->values.insert_or_assign(std::wstring(name), std::move(data));
  CloseKey(key);
}

bool MemoryRegistry::KeyExists(RegKey root, std::wstring_view path) const {
  return Walk(root, path) != nullptr;
}

std::optional<RegistryData> MemoryRegistry::Find(RegKey root, std::wstring_view path,
                                                 std::wstring_view name) const {
  const Node* node = Walk(root, path);
  if (node == nullptr) return std::nullopt;
  const auto value = node->values.find(name);
  if (value == node->values.end()) return std::nullopt;
  return value->second;
}

std::vector<std::wstring> MemoryRegistry::ValueNames(RegKey root, std::wstring_view path) const {
  std::vector<std::wstring> names;
  if (const Node* node = Walk(root, path)) {
    for (const auto& [name, data] : node->values) names.push_back(name);
  }
  return names;
}

}  // namespace parvel
