#pragma once

// The address book the stand-in host serves: the stores of an Outlook profile
// with their folders and items, and the Redemption address lists (the Global
// Address List among them). Read once from a JSON file and never changed.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parvel::standin {

// Outlook's item classes (the Class property) and default item types.
inline constexpr int kClassMail = 43;
inline constexpr int kClassContact = 40;
inline constexpr int kClassDistList = 69;
inline constexpr int kItemTypeMail = 0;
inline constexpr int kItemTypeContact = 2;

// Outlook's contact address book wraps a contact in a list member entry:
// 4 flag bytes, the provider's identifier and a type byte, then the
// contact's own entry ID. Nested lists carry another type byte.
inline constexpr std::string_view kContactEntryPrefix =
    "00000000C091ADD3519DCF11A4A900AA0047FAA4C3";
inline constexpr std::string_view kDistListEntryPrefix =
    "00000000C091ADD3519DCF11A4A900AA0047FAA4B4";
// MAPI one-off entry: flags, MAPI_ONE_OFF_UID, version 0, Unicode flags.
inline constexpr std::string_view kOneOffEntryPrefix =
    "00000000812B1FA4BEA310199D6E00DD010F540200000190";

class AddressBookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DistListMember {
  enum class Kind { Contact, OneOff, DistList };
  Kind kind = Kind::Contact;
  std::wstring entry_id;  // Contact and DistList: the item it points at
  std::wstring name;      // OneOff
  std::wstring address;   // OneOff
};

struct OutlookItem {
  enum class Kind { Contact, DistList, Mail };
  Kind kind = Kind::Contact;
  std::wstring entry_id;  // upper-case hexadecimal
  // GetItemFromID cannot find the item (it still lists in its folder).
  bool findable = true;
  // Contact.
  std::wstring file_as;
  std::wstring full_name;
  std::wstring mobile;
  // Flagged for follow-up: its context menu is ContextMenuFlaggedContactItem.
  bool flagged = false;
  // Distribution list.
  std::wstring dl_name;
  std::vector<DistListMember> members;
  // Mail.
  std::wstring subject;
};

struct Folder {
  std::wstring name;
  int default_item_type = kItemTypeMail;
  // Walking the subfolders fails with a host error.
  bool failing = false;
  std::vector<Folder> folders;
  std::vector<OutlookItem> items;
};

struct AddressEntry {
  int display_type = 0;  // 0 mail user, 1 distribution list, others as MAPI numbers them
  std::wstring name;
  std::wstring id;
  std::optional<std::wstring> mobile;  // none: the property is missing (null)
  // An entry of the Exchange directory (Outlook's GetExchangeUser gives its
  // user); false for one that only has MAPI properties.
  bool exchange = true;
  std::vector<const AddressEntry*> members;
};

struct AddressList {
  AddressList() = default;
  AddressList(AddressList&&) = default;
  AddressList& operator=(AddressList&&) = default;
  AddressList(const AddressList&) = delete;
  AddressList& operator=(const AddressList&) = delete;

  std::wstring name;
  std::vector<const AddressEntry*> entries;
  // Owns the entries and the members written inline; a deque keeps their
  // addresses when it grows or moves.
  std::deque<AddressEntry> storage;
};

struct AddressBook {
  AddressBook() = default;
  AddressBook(AddressBook&&) = default;
  AddressBook& operator=(AddressBook&&) = default;
  AddressBook(const AddressBook&) = delete;
  AddressBook& operator=(const AddressBook&) = delete;

  std::wstring current_user = L"Outlook User";
  std::vector<Folder> stores;  // the top-level folder of each store
  std::vector<AddressList> address_lists;

  // The item with this entry ID (any letter case) that GetItemFromID finds.
  const OutlookItem* FindItem(std::wstring_view entry_id) const;

  // Fills the entry-ID index; the stores must not change afterwards.
  void Index();

 private:
  std::map<std::wstring, const OutlookItem*> by_entry_id_;
};

// Throws AddressBookError naming the place in the document, for instance
// "stores[0].folders[1].items[2].entryId: not hexadecimal text".
AddressBook ParseAddressBook(std::string_view json_utf8);

std::vector<std::uint8_t> HexToBytes(std::wstring_view hex);
std::wstring BytesToHex(std::span<const std::uint8_t> bytes);  // upper case

// The binary entry that a distribution list holds for one member.
std::vector<std::uint8_t> MemberEntryBytes(const DistListMember& member);

}  // namespace parvel::standin
