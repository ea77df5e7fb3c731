#pragma once

// Address books with a large Global Address List, for benchmarks of the
// add-in's listing and list expansion.

#include <string>

namespace parvel::standin {

// A complete address-book document (UTF-8 JSON) whose Global Address List
// holds `entries` entries: mostly users with a mobile number, some without
// one (missing or empty), every 20th a list of the five users before it and
// every 25th an entry of another display type. With contacts, the book has a
// store "Mailbox" whose folder "Contacts" holds that many items: mostly
// contacts with a mobile number, some without one, some with a line break in
// their name, every 20th a distribution list of the five contacts before it.
std::string GenerateGlobalAddressList(int entries, int contacts = 0);

}  // namespace parvel::standin
