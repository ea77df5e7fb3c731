#include "settings/reg_functions.h"

#include <array>
#include <limits>
#include <optional>

#include "codec/code_page.h"

namespace parvel {
namespace {

// A key opened through the port, closed when the call that opened it ends.
class OpenedKey {
 public:
  explicit OpenedKey(RegistryPort& registry) : registry_(registry) {}
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  ~OpenedKey() {
    if (key_ != kNoRegKey) registry_.CloseKey(key_);
  }
  RegKey& Receive() { return key_; }
  RegKey Get() const { return key_; }

 private:
  RegistryPort& registry_;
  RegKey key_ = kNoRegKey;
};

struct ToText {
  std::wstring operator()(std::monostate) const { return {}; }
  std::wstring operator()(const std::wstring& text) const { return text; }
  std::wstring operator()(std::int32_t number) const { return std::to_wstring(number); }
};

std::optional<std::int32_t> ParseNumber(std::wstring_view text) {
  const bool negative = text.starts_with(L'-');
  if (negative || text.starts_with(L'+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + negative;
  std::int64_t magnitude = 0;
  for (const wchar_t ch : text) {
    if (ch < L'0' || ch > L'9') return std::nullopt;
    magnitude = magnitude * 10 + (ch - L'0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

struct ToNumber {
  std::optional<std::int32_t> operator()(std::monostate) const { return 0; }
  std::optional<std::int32_t> operator()(const std::wstring& text) const {
    return ParseNumber(text);
  }
  std::optional<std::int32_t> operator()(std::int32_t number) const { return number; }
};

std::int32_t ReadText(RegistryPort& registry, RegKey key, std::wstring_view name,
                      std::uint32_t size, RegValue& value) {
  std::string buffer(size, '\0');
  std::uint32_t type = 0;
  const std::int32_t code = registry.QueryValueData(key, name, type, buffer, size);
  value = std::monostate{};
  if (code != kErrorSuccess) return code;
  // The value may have been rewritten since the first query.
  if (type != kRegSz) return kRegUnhandledType;
  buffer.resize(size);
  value = registry.TextCodePage().FromBytes(buffer);
  return kErrorSuccess;
}

std::int32_t ReadNumber(RegistryPort& registry, RegKey key, std::wstring_view name,
                        RegValue& value) {
  std::array<char, 4> bytes{};
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  const std::int32_t code = registry.QueryValueData(key, name, type, bytes, size);
  if (code != kErrorSuccess) return code;
  if (type != kRegDword) return kRegUnhandledType;
  std::uint32_t number = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) {
    number = (number << 8) | static_cast<unsigned char>(bytes[i]);
  }
  value = static_cast<std::int32_t>(number);
  return kErrorSuccess;
}

}  // namespace

std::int32_t RegWriteValue(RegistryPort& registry, RegKey key, std::wstring_view name,
                           std::uint32_t type, const RegValue& value) {
  if (type == kRegSz) {
    return registry.SetValue(key, name, kRegSz,
                             registry.TextCodePage().ToBytes(std::visit(ToText{}, value)));
  }
  if (type == kRegDword) {
    const auto number = std::visit(ToNumber{}, value);
    if (!number) return kErrorInvalidParameter;
    const auto bits = static_cast<std::uint32_t>(*number);
    const std::array<char, 4> bytes{
        static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
        static_cast<char>((bits >> 16) & 0xFF), static_cast<char>(bits >> 24)};
    return registry.SetValue(key, name, kRegDword, std::string_view(bytes.data(), bytes.size()));
  }
  return kErrorSuccess;
}

std::int32_t RegReadValue(RegistryPort& registry, RegKey key, std::wstring_view name,
                          RegValue& value) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  const std::int32_t code = registry.QueryValueInfo(key, name, type, size);
  if (code != kErrorSuccess) return code;
  if (type == kRegSz) return ReadText(registry, key, name, size, value);
  if (type == kRegDword) return ReadNumber(registry, key, name, value);
  return kRegUnhandledType;
}

void RegEnsureKey(RegistryPort& registry, RegKey root, std::wstring_view path) {
  OpenedKey key(registry);
  registry.CreateKey(root, path, kRegAccess, key.Receive());
}

std::int32_t RegStoreValue(RegistryPort& registry, RegKey root, std::wstring_view path,
                           std::wstring_view name, const RegValue& value, std::uint32_t type) {
  OpenedKey key(registry);
  // A key that cannot be opened (missing, or denied to this user) reports
  // why: writing on the absent handle would only say "invalid handle".
  const std::int32_t opened = registry.OpenKey(root, path, kRegAccess, key.Receive());
  if (opened != kErrorSuccess) return opened;
  return RegWriteValue(registry, key.Get(), name, type, value);
}

RegValue RegFetchValue(RegistryPort& registry, RegKey root, std::wstring_view path,
                       std::wstring_view name) {
  OpenedKey key(registry);
  registry.OpenKey(root, path, kRegAccess, key.Receive());
  RegValue value;
  RegReadValue(registry, key.Get(), name, value);
  return value;
}

std::int32_t RegRemoveKey(RegistryPort& registry, RegKey root, std::wstring_view path) {
  const std::int32_t code = registry.DeleteKey(root, path);
  return code == kErrorFileNotFound ? kErrorSuccess : code;
}

}  // namespace parvel
