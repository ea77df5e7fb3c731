#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace parvel {

// One row of a recipient list.
struct RecipientEntry {
  // A number to send to, or a distribution list whose members are looked up
  // when it is sent; the row's icon shows which.
  enum class Kind { Envelope, Distribution };

  std::wstring name;
  std::wstring mobile;
  Kind kind = Kind::Envelope;
  std::wstring key;  // set only on rows typed by hand
  std::wstring tag;  // identity of the address-book entry the row came from

  bool operator==(const RecipientEntry&) const = default;
};

// The kind as rows kept between sessions write it: "Envelope", "Distribution".
constexpr std::wstring_view KindText(RecipientEntry::Kind kind) noexcept {
  return kind == RecipientEntry::Kind::Distribution ? L"Distribution" : L"Envelope";
}
constexpr std::optional<RecipientEntry::Kind> KindFromText(std::wstring_view text) noexcept {
  if (text == KindText(RecipientEntry::Kind::Envelope)) return RecipientEntry::Kind::Envelope;
  if (text == KindText(RecipientEntry::Kind::Distribution)) {
    return RecipientEntry::Kind::Distribution;
  }
  return std::nullopt;
}

}  // namespace parvel
