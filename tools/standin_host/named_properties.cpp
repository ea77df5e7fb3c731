#include "standin_host/named_properties.h"

#include <algorithm>
#include <cwctype>

namespace parvel::standin {
namespace {

std::wstring NormalGuid(std::wstring_view text) {
  static constexpr std::wstring_view kShape = L"{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
  if (text.size() != kShape.size()) throw std::invalid_argument("not a GUID in braces");
  std::wstring guid;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t ch = text[i];
    if (kShape[i] == L'x' ? !std::iswxdigit(static_cast<std::wint_t>(ch)) : ch != kShape[i]) {
      throw std::invalid_argument("not a GUID in braces");
    }
    guid += static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(ch)));
  }
  return guid;
}

}  // namespace

std::uint32_t NamedProperties::TagFor(std::wstring_view property_set, std::wstring_view name) {
  return Assign(NormalGuid(property_set) + L"/" + std::wstring(name));
}

std::uint32_t NamedProperties::TagFor(std::wstring_view property_set, std::uint32_t id) {
  return Assign(NormalGuid(property_set) + L"#" + std::to_wstring(id));
}

std::uint32_t NamedProperties::Assign(std::wstring key) {
  const auto [found, added] = tags_.try_emplace(std::move(key), next_id_ << 16);
  if (added) ++next_id_;
  return found->second;
}

}  // namespace parvel::standin
