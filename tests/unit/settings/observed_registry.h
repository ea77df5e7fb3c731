#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/registry_port.h"

namespace parvel::settings_test {

// One call that went through an ObservedRegistry.
struct RegistryCall {
  enum class Op { Create, Open, QueryInfo, QueryData, Set, Delete, Close };
  Op op;
  std::wstring name;        // path or value name; empty for Close
  std::uint32_t flags = 0;  // access of Create and Open, type of Set
  std::string data;         // bytes given to Set
  bool operator==(const RegistryCall&) const = default;
};

// Passes every call on to another registry and records it; can change the
// registry between the two queries of a read.
class ObservedRegistry final : public RegistryPort {
 public:
  explicit ObservedRegistry(RegistryPort& inner) : inner_(inner) {}

  std::vector<RegistryCall> calls;
  // Runs before each data query is passed on.
  std::function<void()> before_data_query;

  std::int32_t CreateKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                         RegKey& key) override {
    calls.push_back({RegistryCall::Op::Create, std::wstring(path), access});
    return inner_.CreateKey(parent, path, access, key);
  }
  std::int32_t OpenKey(RegKey parent, std::wstring_view path, std::uint32_t access,
                       RegKey& key) override {
    calls.push_back({RegistryCall::Op::Open, std::wstring(path), access});
    return inner_.OpenKey(parent, path, access, key);
  }
  std::int32_t QueryValueInfo(RegKey key, std::wstring_view name, std::uint32_t& type,
                              std::uint32_t& size) override {
    calls.push_back({RegistryCall::Op::QueryInfo, std::wstring(name)});
    return inner_.QueryValueInfo(key, name, type, size);
  }
  std::int32_t QueryValueData(RegKey key, std::wstring_view name, std::uint32_t& type,
                              std::span<char> buffer, std::uint32_t& size) override {
    calls.push_back({RegistryCall::Op::QueryData, std::wstring(name)});
    if (before_data_query) before_data_query();
    return inner_.QueryValueData(key, name, type, buffer, size);
  }
  std::int32_t SetValue(RegKey key, std::wstring_view name, std::uint32_t type,
                        std::string_view data) override {
    calls.push_back({RegistryCall::Op::Set, std::wstring(name), type, std::string(data)});
    return inner_.SetValue(key, name, type, data);
  }
  const CodePage& TextCodePage() const override { return inner_.TextCodePage(); }
  std::int32_t DeleteKey(RegKey parent, std::wstring_view path) override {
    calls.push_back({RegistryCall::Op::Delete, std::wstring(path)});
    return inner_.DeleteKey(parent, path);
  }
  std::int32_t CloseKey(RegKey key) override {
    calls.push_back({RegistryCall::Op::Close});
    return inner_.CloseKey(key);
  }

 private:
  RegistryPort& inner_;
};

}  // namespace parvel::settings_test
