#pragma once

#include <string>
#include <string_view>

namespace parvel {

inline constexpr std::wstring_view kKindEnvelope = L"Envelope";
inline constexpr std::wstring_view kKindDistribution = L"Distribution";

// One row of a recipient list.
struct RecipientEntry {
  std::wstring Name;
  std::wstring Mobile;
  std::wstring Kind;  // kKindEnvelope or kKindDistribution: the row's icon key
  std::wstring Key;   // set only on rows typed by hand
  std::wstring Tag;   // identity of the address-book entry the row came from

  bool operator==(const RecipientEntry&) const = default;
};

}  // namespace parvel
