#pragma once

// Address books with a large Global Address List, for benchmarks of the
// add-in's listing and list expansion.

#include <string>

namespace parvel::standin {

// A complete address-book document (UTF-8 JSON) whose Global Address List
// holds `entries` entries: mostly users with a mobile number, some without
// one (missing or empty), every 20th a list of the five users before it and
// every 25th an entry of another display type.
std::string GenerateGlobalAddressList(int entries);

}  // namespace parvel::standin
