#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "recipients/recipient_entry.h"

namespace parvel::test {

// A recipient row as the lists hold it; Key only on rows typed by hand, Tag
// only on rows from the address book.
inline RecipientEntry Row(std::wstring name, std::wstring mobile,
                          std::wstring_view kind = kKindEnvelope, std::wstring tag = L"",
                          std::wstring key = L"") {
  return {.Name = std::move(name),
          .Mobile = std::move(mobile),
          .Kind = std::wstring(kind),
          .Key = std::move(key),
          .Tag = std::move(tag)};
}

}  // namespace parvel::test
