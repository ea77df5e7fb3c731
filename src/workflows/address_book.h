#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/host_model.h"
#include "host/session.h"
#include "recipients/pending_events.h"
#include "recipients/recipient_entry.h"
#include "ui/message_box.h"

namespace parvel {

inline constexpr std::wstring_view kGlobalAddressListLabel = L"Global Address List";
inline constexpr std::wstring_view kFolderErrorTitle = L"Folder Error";
inline constexpr std::wstring_view kFolderErrorText =
    L"An unexpected error was caused while retrieving contact folders : ";
// One entry of the picker's folder list: a contact folder's name and its
// position in the session's ContactFolders (from 1).
struct FolderListEntry {
  std::wstring name;
  int position = 0;

  bool operator==(const FolderListEntry&) const = default;
};

// The picker's contact list as a listing fills it.
class ContactListSink {
 public:
  virtual ~ContactListSink() = default;
  // Empties the list and turns its sorted flag off.
  virtual void Clear() = 0;
  // Appends rows and shows them; a listing hands its rows over in batches.
  virtual void Append(std::vector<RecipientEntry> rows) = 0;
  // True once the list has gone to another listing or its window is
  // closing: a listing that lets events run checks this and stops.
  virtual bool Superseded() const = 0;
};

// The Global Address List's entries as far as AddressBook::ExpandGALDistList
// has walked them by index, with the first index of each name seen: several
// lists in one hand-over cost one walk. It stands outside AddressBook because
// clang does not count a nested class with member initializers as
// default-constructible where std::optional asks, inside the enclosing class.
struct AddressBookGalWalk {
  std::unique_ptr<host::AddressEntries> entries;
  // The entries' names read as a table, many a call, where the host has one.
  std::unique_ptr<host::AddressTable> table;
  int count = 0;
  int base = 0;  // the index of the first entry: 0 or 1
  int next = 0;  // counted from 0, as first_index
  std::unordered_map<std::wstring, int> first_index;
};

// The address-book side of the contacts picker: contact folders, the Global
// Address List and the expansion of distribution lists, through the host
// ports. The folder collection and the known distribution lists live in the
// session; this object lives with one picker window.
//
// Host errors are handled where noted; the others reach the caller, which
// reports them, after the rows found until then have been handed over.
class AddressBook {
 public:
  struct Ports {
    Session& session;
    MessageBoxes& message_boxes;
    PendingEvents& pending_events;
  };
  explicit AddressBook(const Ports& ports);

  // The folder list: builds the session's ContactFolders first (once per session), showing
  // a "Folder Error" for each folder that fails and skipping, silently, a
  // store whose subfolders cannot be counted.
  void ListContactFolders(std::vector<FolderListEntry>& folders);
  // Lists one contact folder: with tag 0 the first named fname, otherwise the
  // one at position tag.
  void ListFolder(std::wstring_view fname, int tag, ContactListSink& contacts);
  // Whether the profile has a Global Address List; false, without a message,
  // when the connection's mail path cannot read address lists.
  bool HasGlobalAddressList();
  std::unique_ptr<host::AddressList> FindGlobalAddressList();
  void LoadGlobalAddressList(ContactListSink& contacts);
  // Appends to members the members with a mobile number of the Global Address
  // List's first entry named like row.
  void ExpandGlobalDistList(const RecipientEntry& row, std::vector<RecipientEntry>& members);
  // Appends to members the contacts with a mobile number that the contact
  // folder list row stands for; every host error only drops its own member.
  void ExpandContactsDistList(const RecipientEntry& row, std::vector<RecipientEntry>& members);

 private:
  void AddContactFolders(std::unique_ptr<host::Folder> folder,
                         std::vector<std::unique_ptr<host::Folder>>& collection);
  void ReportFolderError(const host::HostError& error);
  host::Item* ResolveDistList(const std::wstring& entry_id, std::unique_ptr<host::Item>& holder);
  std::unique_ptr<host::AddressEntry> FindGlobalEntry(const std::wstring& name);
  // The table reads of the listings: false, with nothing listed, when the
  // host refuses the table, and the caller walks the items instead.
  bool ListGalTable(host::AddressEntries& entries, ContactListSink& contacts);
  // Redemption's table over the entries; none without one.
  std::unique_ptr<host::AddressTable> GalTable(host::AddressEntries& entries);
  bool ListFolderTable(host::Folder& folder, const std::wstring& folder_name,
                       ContactListSink& contacts);
  std::unique_ptr<host::Item> OpenDistList(host::Folder& folder, const std::wstring& entry_id);

  // A failure passed over, for the administrator.
  void Report(const std::wstring& what, const host::HostError& error) noexcept;

  Ports ports_;

  using GalWalk = AddressBookGalWalk;
  std::optional<GalWalk> gal_walk_;
};

}  // namespace parvel
