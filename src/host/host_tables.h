#pragma once

// Tables of the host: many rows and columns of an address list or a contact
// folder per call. In Outlook every call that reaches an address entry or an
// item opens a MAPI object (a server round trip in online mode), so a long
// listing reads tables and opens nothing. A host without tables (Redemption
// missing its MAPITable, Outlook before 2007) refuses them with HostError and
// the listing walks the items as before.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvel::host {

// The properties an address entry's row holds, as the item walk reads them.
inline constexpr std::uint32_t kPrDisplayName = 0x3001001F;
inline constexpr std::uint32_t kPrEntryId = 0x0FFF0102;
inline constexpr std::uint32_t kPrDisplayType = 0x39000003;

struct AddressRow {
  int display_type = 0;
  std::wstring name;
  std::wstring id;  // the entry ID as AddressEntry.ID writes it: upper-case hexadecimal
  std::optional<std::wstring> mobile;  // nullopt when the property is null or missing

  bool operator==(const AddressRow&) const = default;
};

// The rows of one AddressEntries collection, in its order.
class AddressTable {
 public:
  virtual ~AddressTable() = default;
  // Up to count further rows: fewer near the end, none after the last.
  virtual std::vector<AddressRow> NextRows(int count) = 0;
};

struct ContactRow {
  std::wstring entry_id;
  std::wstring message_class;  // IPM.Contact, IPM.DistList, or a form's class below them
  std::wstring file_as;        // empty when missing
  std::wstring mobile;         // empty when missing

  bool operator==(const ContactRow&) const = default;
};

// The rows of a contact folder's items, in the order its Items walk gives.
class ContactTable {
 public:
  virtual ~ContactTable() = default;
  virtual std::vector<ContactRow> NextRows(int count) = 0;
};

}  // namespace parvel::host
