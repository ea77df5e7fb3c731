#pragma once

#include <string>
#include <utility>

#include "recipients/recipient_entry.h"

namespace parvel::test {

inline constexpr RecipientEntry::Kind kEnvelope = RecipientEntry::Kind::Envelope;
inline constexpr RecipientEntry::Kind kDistribution = RecipientEntry::Kind::Distribution;

// A recipient row as the lists hold it; a key only on rows typed by hand, a tag
// only on rows from the address book.
inline RecipientEntry Row(std::wstring name, std::wstring mobile,
                          RecipientEntry::Kind kind = kEnvelope, std::wstring tag = L"",
                          std::wstring key = L"") {
  return {.name = std::move(name),
          .mobile = std::move(mobile),
          .kind = kind,
          .key = std::move(key),
          .tag = std::move(tag)};
}

}  // namespace parvel::test
