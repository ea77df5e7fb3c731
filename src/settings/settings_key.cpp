#include "settings/settings_key.h"

#include <variant>

#include "settings/reg_functions.h"

namespace parvel {
namespace {

struct AsSettingText {
  std::wstring operator()(std::monostate) const { return {}; }
  // Only the terminating zero goes: should a read ever bring a text without
  // one, no character of the text is lost.
  std::wstring operator()(std::wstring text) const {
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
  }
  std::wstring operator()(std::int32_t number) const { return std::to_wstring(number); }
};

}  // namespace

std::wstring FetchSettingText(RegistryPort& registry, std::wstring_view name) {
  return std::visit(AsSettingText{},
                    RegFetchValue(registry, kHkeyCurrentUser, SettingsKeyPath, name));
}

bool ReadNewBar(RegistryPort& registry) { return FetchSettingText(registry, L"NewBar") == L"1"; }

}  // namespace parvel
