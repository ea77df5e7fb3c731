#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_model.h"
#include "recipients/pending_events.h"
#include "support/call_recorder.h"
#include "support/fake_outlook.h"

namespace parvel::fakes {

// --- Contact folders ----------------------------------------------------------

// An item of a folder, and what GetItemFromID finds by its entry ID.
struct FakeItemData {
  host::Item::Kind kind = host::Item::Kind::Contact;
  std::wstring entry_id;
  std::wstring file_as;  // contacts
  std::wstring mobile;   // contacts
  std::wstring dl_name;  // distribution lists
  // Distribution lists: the member entries as the list stores them.
  std::vector<std::vector<std::uint8_t>> members;
  // GetItemFromID finds it (it lists in its folder either way).
  bool findable = true;
};

FakeItemData Contact(std::wstring entry_id, std::wstring file_as, std::wstring mobile);
FakeItemData DistList(std::wstring entry_id, std::wstring dl_name,
                      std::vector<std::vector<std::uint8_t>> members);
FakeItemData OtherItem(std::wstring entry_id);
// The bytes of hexadecimal text (either letter case).
std::vector<std::uint8_t> Bytes(std::wstring_view hex);
// The member entry of a distribution list that wraps the contact with this
// entry ID (hexadecimal, as the host writes it).
std::vector<std::uint8_t> ContactMember(std::wstring_view entry_id);

struct FakeFolderData {
  std::wstring name;
  int default_item_type = host::kOlContactItem;
  std::vector<FakeItemData> items;
  std::vector<std::shared_ptr<FakeFolderData>> folders;
  // Folder.GetTable: refused when unset; otherwise the table's reads fail
  // once this many rows were given (never when nullopt).
  bool offers_table = false;
  std::optional<std::size_t> table_fails_after;
};

std::shared_ptr<FakeFolderData> ContactFolder(
    std::wstring name, std::vector<FakeItemData> items = {},
    std::vector<std::shared_ptr<FakeFolderData>> folders = {});
std::shared_ptr<FakeFolderData> MailFolder(
    std::wstring name, std::vector<std::shared_ptr<FakeFolderData>> folders = {});

// An item handed out by the fakes. Calls are logged as
// "Item(<entry ID>).<property>", e.g. "Item(0A01).MobileTelephoneNumber".
class FakeItem final : public host::Item {
 public:
  FakeItem(CallRecorder& recorder, FakeItemData data);

  Kind GetKind() override;
  std::wstring EntryID() override;
  std::wstring FileAs() override;
  std::wstring MobileTelephoneNumber() override;
  std::wstring DLName() override;

  const FakeItemData& data() const noexcept { return data_; }

 private:
  std::wstring Read(const wchar_t* property, const std::wstring& value);

  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  FakeItemData data_;
};

// A namespace whose stores are the given top-level folders (shared: a test
// may add folders later). Folder calls are logged with the folder's path from
// its store, e.g. "Folder(Mailbox/Contacts).DefaultItemType",
// "Folder(Mailbox).Folders.Count", "Folder(Mailbox).Folders.Item(2)",
// "Folder(Mailbox/Contacts).Name", "Folder(Mailbox/Contacts).Items",
// "Folder(Mailbox/Contacts).GetTable", "Table(Mailbox/Contacts).GetArray(256)".
// The table's rows carry the message classes IPM.Contact, IPM.DistList and
// IPM.Note (for other items).
// GetItemFromID finds any item of any folder of any store.
class FakeStoreNamespace final : public FakeNamespace {
 public:
  FakeStoreNamespace(CallRecorder& recorder, std::vector<std::shared_ptr<FakeFolderData>> stores);

  std::unique_ptr<host::FolderEnumerator> TopLevelFolders() override;
  std::unique_ptr<host::Item> GetItemFromID(const std::wstring& entry_id) override;

 private:
  std::vector<std::shared_ptr<FakeFolderData>> stores_;
};

// --- Address lists ------------------------------------------------------------

struct FakeAddressEntryData {
  int display_type = 0;
  std::wstring name;
  std::wstring id;
  std::optional<std::wstring> mobile;  // nullopt: the property is null
  std::vector<FakeAddressEntryData> members;
  bool nothing = false;  // AddressEntries.Item gives Nothing for it
};

FakeAddressEntryData MailUser(std::wstring name, std::wstring id,
                              std::optional<std::wstring> mobile);
FakeAddressEntryData GalList(std::wstring name, std::wstring id,
                             std::vector<FakeAddressEntryData> members);

struct FakeAddressListData {
  std::wstring name;
  std::vector<FakeAddressEntryData> entries;
};

// Redemption's address lists over this data. Logged as "AddressLists.Count",
// "AddressLists.Item(0)", "AddressList(<name>).Name",
// "AddressList(<name>).AddressEntries", "AddressEntries(<owner>).GetFirst",
// ".GetNext", ".Count", ".Item(3)" (owner: the list's name, or the ID of the
// entry whose members they are), "AddressEntry(<ID>).DisplayType", ".Name",
// ".ID", ".Fields(974913566)", ".Members".
// Item counts from base, 0 or 1, in both collections.
std::function<std::unique_ptr<host::AddressLists>()> FakeAddressListsMaker(
    CallRecorder& recorder, std::vector<FakeAddressListData> lists, int base = 0);

// Redemption's MAPITable over the fake address entries (those of a list or
// of an entry's members), for FakeRedemption::make_address_table. Logged as
// "MAPITable(<owner>).GetRows(256)"; its reads fail once fails_after rows
// were given.
std::function<std::unique_ptr<host::AddressTable>(host::AddressEntries&)> FakeAddressTableMaker(
    CallRecorder& recorder, std::optional<std::size_t> fails_after = std::nullopt);

// --- Redemption's safe distribution list ------------------------------------------

// The tag that the fake maps the distribution list members property to.
inline constexpr std::uint32_t kFakeMembersPropertyTag = 0x80550000;

// Logged as "SafeDistList.Item=<entry ID>", "SafeDistList.GetIDsFromNames(<set>,<id>)"
// and "SafeDistList.Fields(<tag>)", numbers in decimal. Only the members
// property of PSETID_Address, as multi-valued binary, holds the members.
class FakeSafeDistList final : public host::SafeDistList {
 public:
  explicit FakeSafeDistList(CallRecorder& recorder) : recorder_(recorder), lifetime_(recorder) {}

  void SetItem(host::Item& distribution_list) override;
  std::uint32_t GetIDsFromNames(const std::wstring& property_set, std::uint32_t id) override;
  std::vector<std::vector<std::uint8_t>> BinaryFields(std::uint32_t tag) override;

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  std::vector<std::vector<std::uint8_t>> members_;
};

// --- Pending events -----------------------------------------------------------

// Counts the times a walk lets events run; on_run plays what the user does
// meanwhile (it gets the number of the run, from 1).
class ScriptedPendingEvents final : public PendingEvents {
 public:
  void Run() override {
    ++runs;
    if (on_run) on_run(runs);
  }

  int runs = 0;
  std::function<void(int run)> on_run;
};

}  // namespace parvel::fakes
