#pragma once

#include "settings/registry_port.h"

namespace parvel {

// The Windows registry through the advapi32 ANSI functions. Key and value
// names pass through the system ANSI code page.
class WindowsRegistry final : public RegistryPort {
 public:
  explicit WindowsRegistry(const CodePage& code_page = SystemCodePage()) noexcept
      : code_page_(code_page) {}

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

 private:
  const CodePage& code_page_;
};

}  // namespace parvel
