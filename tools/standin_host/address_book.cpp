#include "standin_host/address_book.h"

#include <algorithm>
#include <cwctype>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>
#include <unordered_map>

#include "common/utf8.h"

namespace parvel::standin {
namespace {

using nlohmann::json;

std::wstring Upper(std::wstring_view text) {
  std::wstring upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t ch) {
    return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(ch)));
  });
  return upper;
}

bool IsHexText(std::wstring_view text) {
  return !text.empty() && text.size() % 2 == 0 &&
         std::all_of(text.begin(), text.end(), [](wchar_t ch) {
           return (ch >= L'0' && ch <= L'9') || (ch >= L'A' && ch <= L'F') ||
                  (ch >= L'a' && ch <= L'f');
         });
}

// Walks the document keeping the path of the value at hand for messages.
class Reader {
 public:
  Reader(const json& value, std::string path) : value_(value), path_(std::move(path)) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw AddressBookError(path_ + ": " + what);
  }

  const json& value() const { return value_; }
  const std::string& path() const { return path_; }

  void ExpectObject(std::initializer_list<std::string_view> keys) const {
    if (!value_.is_object()) Fail("expected an object");
    for (const auto& item : value_.items()) {
      if (std::find(keys.begin(), keys.end(), item.key()) == keys.end()) {
        Reader(item.value(), path_ + "." + item.key()).Fail("unknown key");
      }
    }
  }

  bool Has(const char* key) const { return value_.contains(key); }

  Reader At(const char* key) const {
    if (!value_.contains(key)) Fail(std::string("missing \"") + key + "\"");
    return Reader(value_.at(key), path_ + "." + key);
  }

  std::vector<Reader> Elements() const {
    if (!value_.is_array()) Fail("expected an array");
    std::vector<Reader> elements;
    for (std::size_t i = 0; i < value_.size(); ++i) {
      elements.emplace_back(value_[i], path_ + "[" + std::to_string(i) + "]");
    }
    return elements;
  }

  std::vector<Reader> OptionalElements(const char* key) const {
    return Has(key) ? At(key).Elements() : std::vector<Reader>{};
  }

  std::wstring Text() const {
    if (!value_.is_string()) Fail("expected a text");
    try {
      return tools::Utf8ToWide(value_.get<std::string>());
    } catch (const tools::Utf8Error&) {
      Fail("not UTF-8");
    }
  }

  std::wstring OptionalText(const char* key) const { return Has(key) ? At(key).Text() : L""; }

  int Int() const {
    if (!value_.is_number_integer()) Fail("expected a whole number");
    return value_.get<int>();
  }

  bool Bool() const {
    if (!value_.is_boolean()) Fail("expected true or false");
    return value_.get<bool>();
  }

  std::wstring EntryId() const {
    const std::wstring text = Text();
    if (!IsHexText(text)) Fail("not hexadecimal text of whole bytes");
    return Upper(text);
  }

 private:
  const json& value_;
  std::string path_;
};

DistListMember ParseMember(const Reader& reader) {
  reader.ExpectObject({"contact", "distList", "oneOff", "address"});
  DistListMember member;
  const int kinds = (reader.Has("contact") ? 1 : 0) + (reader.Has("distList") ? 1 : 0) +
                    (reader.Has("oneOff") ? 1 : 0);
  if (kinds != 1) reader.Fail("expected exactly one of \"contact\", \"distList\", \"oneOff\"");
  if (reader.Has("contact")) {
    member.kind = DistListMember::Kind::Contact;
    member.entry_id = reader.At("contact").EntryId();
  } else if (reader.Has("distList")) {
    member.kind = DistListMember::Kind::DistList;
    member.entry_id = reader.At("distList").EntryId();
  } else {
    member.kind = DistListMember::Kind::OneOff;
    member.name = reader.At("oneOff").Text();
    member.address = reader.At("address").Text();
  }
  if (member.kind != DistListMember::Kind::OneOff && reader.Has("address")) {
    reader.At("address").Fail("only a one-off member has an address");
  }
  return member;
}

OutlookItem ParseItem(const Reader& reader) {
  const std::wstring kind = reader.At("class").Text();
  OutlookItem item;
  if (kind == L"contact") {
    reader.ExpectObject(
        {"class", "entryId", "findable", "fileAs", "fullName", "mobile", "flagged"});
    item.kind = OutlookItem::Kind::Contact;
    item.file_as = reader.At("fileAs").Text();
    item.full_name = reader.OptionalText("fullName");
    item.mobile = reader.OptionalText("mobile");
    if (reader.Has("flagged")) item.flagged = reader.At("flagged").Bool();
  } else if (kind == L"distList") {
    reader.ExpectObject({"class", "entryId", "findable", "dlName", "members"});
    item.kind = OutlookItem::Kind::DistList;
    item.dl_name = reader.At("dlName").Text();
    for (const Reader& member : reader.OptionalElements("members")) {
      item.members.push_back(ParseMember(member));
    }
  } else if (kind == L"mail") {
    reader.ExpectObject({"class", "entryId", "findable", "subject"});
    item.kind = OutlookItem::Kind::Mail;
    item.subject = reader.OptionalText("subject");
  } else {
    reader.At("class").Fail("expected \"contact\", \"distList\" or \"mail\"");
  }
  item.entry_id = reader.At("entryId").EntryId();
  if (reader.Has("findable")) item.findable = reader.At("findable").Bool();
  return item;
}

Folder ParseFolder(const Reader& reader) {
  reader.ExpectObject({"name", "defaultItemType", "failing", "folders", "items"});
  Folder folder;
  folder.name = reader.At("name").Text();
  if (reader.Has("defaultItemType")) folder.default_item_type = reader.At("defaultItemType").Int();
  if (reader.Has("failing")) folder.failing = reader.At("failing").Bool();
  for (const Reader& child : reader.OptionalElements("folders")) {
    folder.folders.push_back(ParseFolder(child));
  }
  for (const Reader& item : reader.OptionalElements("items")) {
    folder.items.push_back(ParseItem(item));
  }
  return folder;
}

class AddressListParser {
 public:
  explicit AddressListParser(AddressList& list) : list_(list) {}

  void Parse(const Reader& reader) {
    reader.ExpectObject({"name", "entries"});
    list_.name = reader.At("name").Text();
    // Members may name entries further down: take every entry first.
    std::vector<std::pair<AddressEntry*, Reader>> pending;
    for (const Reader& element : reader.OptionalElements("entries")) {
      AddressEntry& entry = ParseEntry(element, pending);
      if (!by_id_.emplace(entry.id, &entry).second) element.At("id").Fail("duplicate id");
      list_.entries.push_back(&entry);
    }
    // Inline members are parsed on the way and may add more pending lists.
    for (std::size_t i = 0; i < pending.size(); ++i) {
      auto [entry, element] = pending[i];
      for (const Reader& member : element.At("members").Elements()) {
        if (member.value().is_string()) {
          const auto found = by_id_.find(member.Text());
          if (found == by_id_.end()) member.Fail("names no entry of this list");
          entry->members.push_back(found->second);
        } else {
          entry->members.push_back(&ParseEntry(member, pending));
        }
      }
    }
  }

 private:
  AddressEntry& ParseEntry(const Reader& reader,
                           std::vector<std::pair<AddressEntry*, Reader>>& pending) {
    reader.ExpectObject({"displayType", "name", "id", "mobile", "exchange", "members"});
    AddressEntry& entry = list_.storage.emplace_back();
    entry.display_type = reader.At("displayType").Int();
    entry.name = reader.At("name").Text();
    entry.id = reader.At("id").Text();
    if (entry.id.empty()) reader.At("id").Fail("empty");
    if (reader.Has("mobile") && !reader.value().at("mobile").is_null()) {
      entry.mobile = reader.At("mobile").Text();
    }
    if (reader.Has("exchange")) entry.exchange = reader.At("exchange").Bool();
    if (reader.Has("members")) {
      if (entry.display_type != 1)
        reader.At("members").Fail("only a list (displayType 1) has members");
      pending.emplace_back(&entry, reader);
    }
    return entry;
  }

  AddressList& list_;
  std::unordered_map<std::wstring, const AddressEntry*> by_id_;
};

void IndexFolder(const Folder& folder, std::map<std::wstring, const OutlookItem*>& index,
                 std::set<std::wstring>& seen) {
  for (const OutlookItem& item : folder.items) {
    if (!seen.insert(item.entry_id).second) {
      throw AddressBookError("entry ID " + tools::WideToUtf8(item.entry_id) + " is used twice");
    }
    if (item.findable) index.emplace(item.entry_id, &item);
  }
  for (const Folder& child : folder.folders) IndexFolder(child, index, seen);
}

}  // namespace

const OutlookItem* AddressBook::FindItem(std::wstring_view entry_id) const {
  const auto found = by_entry_id_.find(Upper(entry_id));
  return found == by_entry_id_.end() ? nullptr : found->second;
}

void AddressBook::Index() {
  by_entry_id_.clear();
  std::set<std::wstring> seen;
  for (const Folder& store : stores) IndexFolder(store, by_entry_id_, seen);
}

AddressBook ParseAddressBook(std::string_view json_utf8) {
  json document;
  try {
    document = json::parse(json_utf8);
  } catch (const json::parse_error& error) {
    throw AddressBookError(std::string("not JSON: ") + error.what());
  }
  const Reader root(document, "$");
  root.ExpectObject({"currentUser", "stores", "addressLists"});
  AddressBook book;
  if (root.Has("currentUser")) book.current_user = root.At("currentUser").Text();
  for (const Reader& store : root.OptionalElements("stores")) {
    book.stores.push_back(ParseFolder(store));
  }
  for (const Reader& list : root.OptionalElements("addressLists")) {
    AddressListParser(book.address_lists.emplace_back()).Parse(list);
  }
  book.Index();
  return book;
}

std::vector<std::uint8_t> HexToBytes(std::wstring_view hex) {
  if (hex.size() % 2 != 0) throw AddressBookError("odd number of hexadecimal digits");
  const auto digit = [](wchar_t ch) -> int {
    if (ch >= L'0' && ch <= L'9') return ch - L'0';
    if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
    if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
    throw AddressBookError("not a hexadecimal digit");
  };
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(digit(hex[i]) * 16 + digit(hex[i + 1])));
  }
  return bytes;
}

std::wstring BytesToHex(std::span<const std::uint8_t> bytes) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex;
  hex.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0xF]);
  }
  return hex;
}

std::vector<std::uint8_t> MemberEntryBytes(const DistListMember& member) {
  const auto prefixed = [](std::string_view prefix, std::wstring_view rest) {
    std::vector<std::uint8_t> bytes = HexToBytes(std::wstring(prefix.begin(), prefix.end()));
    const std::vector<std::uint8_t> tail = HexToBytes(rest);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
  };
  switch (member.kind) {
    case DistListMember::Kind::Contact:
      return prefixed(kContactEntryPrefix, member.entry_id);
    case DistListMember::Kind::DistList:
      return prefixed(kDistListEntryPrefix, member.entry_id);
    case DistListMember::Kind::OneOff:
      break;
  }
  // Display name, address type and address, each UTF-16LE with its zero.
  std::vector<std::uint8_t> bytes = prefixed(kOneOffEntryPrefix, L"");
  for (const std::wstring& text : {member.name, std::wstring(L"SMTP"), member.address}) {
    for (const wchar_t ch : text) {
      bytes.push_back(static_cast<std::uint8_t>(ch & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((ch >> 8) & 0xFF));
    }
    bytes.push_back(0);
    bytes.push_back(0);
  }
  return bytes;
}

}  // namespace parvel::standin
