#include "workflows/address_book.h"

#include <utility>
#include "codec/plain_text.h"
#include "workflows/listing_batch.h"

namespace parvel {
namespace {

constexpr std::wstring_view kGlobalAddressListName = L"global address list";

bool IsGlobalAddressListName(std::wstring_view name) {
  return EqualsIgnoringCase(name, kGlobalAddressListName);
}

// The first list named as the Global Address List. Redemption's collections
// count from 0 or from 1 (its declarations leave it open), so the indices of
// both are asked: one the collection does not have fails and is passed over.
std::unique_ptr<host::AddressList> SearchGAL(host::AddressLists& lists) {
  const int count = lists.Count();
  for (int i = 0; i <= count; ++i) {
    std::unique_ptr<host::AddressList> list;
    try {
      list = lists.Item(i);
    } catch (const host::HostError&) {
      if (i == 0 || i == count) continue;
      throw;
    }
    if (list && IsGlobalAddressListName(list->Name())) return list;
  }
  return nullptr;
}

// Where the entries' Item counts from: the first entry, as GetFirst gives it,
// is either Item(0) or Item(1).
int IndexBase(host::AddressEntries& entries) {
  const auto first = entries.GetFirst();
  if (!first) return 0;
  const std::wstring id = first->ID();
  try {
    if (const auto zero = entries.Item(0); zero && zero->ID() == id) return 0;
  } catch (const host::HostError&) {
    // There is no entry 0.
  }
  return 1;
}

}  // namespace

RecipientEntry EnvelopeRow(std::wstring name, std::wstring mobile, std::wstring tag) {
  return {.name = std::move(name),
          .mobile = std::move(mobile),
          .kind = RecipientEntry::Kind::Envelope,
          .tag = std::move(tag)};
}

RecipientEntry DistributionRow(std::wstring name, std::wstring source, std::wstring tag) {
  return {.name = std::move(name),
          .mobile = std::move(source),
          .kind = RecipientEntry::Kind::Distribution,
          .tag = std::move(tag)};
}

AddressBook::AddressBook(const Ports& ports) : ports_(ports) {}

void AddressBook::ReportFolderError(const host::HostError& error) {
  ports_.message_boxes.Show(kFolderErrorTitle, std::wstring(kFolderErrorText) + error.message());
}

void AddressBook::ListContactFolders(std::vector<FolderListEntry>& folders) {
  folders.clear();
  Session& session = ports_.session;
  if (session.ContactFolders() == nullptr && session.HeldNamespace() != nullptr) {
    auto& collection = session.StartContactFolders();
    auto stores = session.HeldNamespace()->TopLevelFolders();
    for (auto store = stores->Next(); store; store = stores->Next()) {
      ports_.pending_events.Run();
      int count = 0;
      try {
        count = store->FolderCount();
      } catch (const host::HostError& error) {
        Report(L"the folders of a store", error);
        continue;
      }
      try {
        for (int k = 1; k <= count; ++k) AddContactFolders(store->FolderAt(k), collection);
      } catch (const host::HostError& error) {
        ReportFolderError(error);
      }
    }
  }
  if (session.ContactFolders() == nullptr) return;
  int position = 0;
  for (const auto& folder : *session.ContactFolders()) {
    folders.push_back({.name = folder->Name(), .position = ++position});
  }
}

void AddressBook::AddContactFolders(std::unique_ptr<host::Folder> folder,
                                    std::vector<std::unique_ptr<host::Folder>>& collection) {
  // A store may hold thousands of folders (an online archive, public
  // folders), each a few host calls: events run before each.
  ports_.pending_events.Run();
  host::Folder& walked = *folder;
  try {
    if (walked.DefaultItemType() == host::kOlContactItem) collection.push_back(std::move(folder));
    const int count = walked.FolderCount();
    for (int k = 1; k <= count; ++k) AddContactFolders(walked.FolderAt(k), collection);
  } catch (const host::HostError& error) {
    // A deeper folder reports its own failure; this one's remaining
    // subfolders are left out and the caller goes on with its next one.
    ReportFolderError(error);
  }
}

void AddressBook::ListFolder(std::wstring_view fname, int tag, ContactListSink& contacts) {
  contacts.Clear();
  Session& session = ports_.session;
  if (session.ContactFolders() == nullptr) return;
  host::Folder* chosen = nullptr;
  std::wstring folder_name;
  int position = 0;
  for (const auto& folder : *session.ContactFolders()) {
    ++position;
    if (tag != 0) {
      if (tag != position) continue;
      folder_name = folder->Name();
    } else {
      folder_name = folder->Name();
      if (folder_name != fname) continue;
    }
    chosen = folder.get();
    break;
  }
  if (chosen == nullptr) return;
  if (ListFolderTable(*chosen, folder_name, contacts)) return;

  ListingBatch rows(contacts);
  auto items = chosen->Items();
  for (auto item = items->Next(); item; item = items->Next()) {
    switch (item->GetKind()) {
      case host::Item::Kind::Contact: {
        std::wstring mobile = item->MobileTelephoneNumber();
        if (mobile.empty()) break;
        rows.Add(EnvelopeRow(item->FileAs(), std::move(mobile), item->EntryID()));
        break;
      }
      case host::Item::Kind::DistributionList: {
        std::wstring entry_id = item->EntryID();
        rows.Add(DistributionRow(item->DLName(), folder_name, entry_id));
        session.RememberDistList(std::move(entry_id), std::move(item));
        break;
      }
      case host::Item::Kind::Other:
        break;
    }
  }
  rows.Flush();
}

bool AddressBook::HasGlobalAddressList() {
  std::unique_ptr<host::AddressLists> lists;
  try {
    lists = ports_.session.MailPath().OpenAddressLists();
  } catch (const host::HostError&) {
    return false;
  }
  return lists && SearchGAL(*lists) != nullptr;
}

std::unique_ptr<host::AddressList> AddressBook::FindGlobalAddressList() {
  const auto lists = ports_.session.MailPath().OpenAddressLists();
  return lists ? SearchGAL(*lists) : nullptr;
}

void AddressBook::LoadGlobalAddressList(ContactListSink& contacts) {
  contacts.Clear();
  const auto gal = FindGlobalAddressList();
  if (!gal) return;
  const auto entries = gal->Entries();
  if (ListGalTable(*entries, contacts)) return;
  ListingBatch rows(contacts);
  for (auto entry = entries->GetFirst(); entry; entry = entries->GetNext()) {
    ports_.pending_events.Run();
    if (contacts.Superseded()) return;
    switch (entry->DisplayType()) {
      case kDisplayTypeDistList:
        rows.Add(
            DistributionRow(entry->Name(), std::wstring(kGlobalAddressListLabel), entry->ID()));
        break;
      case kDisplayTypeMailUser: {
        std::optional<std::wstring> mobile = entry->MobileTelephoneNumber();
        if (!mobile || mobile->empty()) break;
        rows.Add(EnvelopeRow(entry->Name(), std::move(*mobile), entry->ID()));
        break;
      }
      default:
        break;
    }
  }
  rows.Flush();
}

std::unique_ptr<host::AddressEntry> AddressBook::FindGlobalEntry(const std::wstring& name) {
  if (!gal_walk_) {
    // A Global Address List that cannot be reached is reported once; the
    // lists after it yield nothing.
    GalWalk& walk = gal_walk_.emplace();
    const auto gal = FindGlobalAddressList();
    if (!gal) return nullptr;
    auto entries = gal->Entries();
    walk.count = entries->Count();
    walk.base = IndexBase(*entries);
    walk.table = GalTable(*entries);
    walk.entries = std::move(entries);
  }
  GalWalk& walk = *gal_walk_;
  if (!walk.entries) return nullptr;
  if (const auto seen = walk.first_index.find(name); seen != walk.first_index.end()) {
    return walk.entries->Item(seen->second + walk.base);
  }
  // The table's rows come in the entries' order: only the match is opened.
  // A table that fails leaves the rest to the walk, from where it stopped.
  while (walk.table) {
    std::vector<host::AddressRow> rows;
    try {
      rows = walk.table->NextRows(static_cast<int>(kListingBatch));
    } catch (const host::HostError& error) {
      Report(L"the Global Address List as a table", error);
      walk.table.reset();
      break;
    }
    if (rows.empty()) return nullptr;
    for (const host::AddressRow& row : rows) {
      const int index = walk.next++;
      if (walk.first_index.try_emplace(row.name, index).second && row.name == name) {
        return walk.entries->Item(index + walk.base);
      }
    }
  }
  while (walk.next < walk.count) {
    // An entry that fails to read, or that the host no longer has, is
    // passed over by the later searches.
    const int index = walk.next++;
    auto entry = walk.entries->Item(index + walk.base);
    if (!entry) continue;
    std::wstring entry_name = entry->Name();
    // The name was not met before, or first_index would have had it: a
    // match is the first entry of its name.
    const bool match = entry_name == name;
    walk.first_index.try_emplace(std::move(entry_name), index);
    if (match) return entry;
  }
  return nullptr;
}

void AddressBook::ExpandGlobalDistList(const RecipientEntry& row,
                                       std::vector<RecipientEntry>& members) {
  const auto list = FindGlobalEntry(row.name);
  if (!list) return;
  const auto entries = list->Members();
  for (auto member = entries->GetFirst(); member; member = entries->GetNext()) {
    std::optional<std::wstring> mobile = member->MobileTelephoneNumber();
    if (!mobile || mobile->empty()) continue;
    members.push_back(EnvelopeRow(member->Name(), std::move(*mobile), member->ID()));
  }
}

host::Item* AddressBook::ResolveDistList(const std::wstring& entry_id,
                                         std::unique_ptr<host::Item>& holder) {
  try {
    holder = ports_.session.Namespace().GetItemFromID(entry_id);
    if (holder) return holder.get();
  } catch (const host::HostError&) {
    // A list shown earlier is still known by its entry ID.
  }
  return ports_.session.KnownDistList(entry_id);
}

void AddressBook::Report(const std::wstring& what, const host::HostError& error) noexcept {
  try {
    ports_.session.Diagnostics().Report(
        L"Address book", what + L": " + host::DescribeFailure(std::make_exception_ptr(error)));
  } catch (...) {
    // No memory for the report's text: it goes unreported.
  }
}

void AddressBook::ExpandContactsDistList(const RecipientEntry& row,
                                         std::vector<RecipientEntry>& members) {
  Session& session = ports_.session;
  host::Namespace* const mapi = session.HeldNamespace();
  if (mapi == nullptr) return;
  std::unique_ptr<host::Item> looked_up;
  host::Item* list = ResolveDistList(row.tag, looked_up);
  if (list == nullptr) return;

  std::unique_ptr<host::ListContacts> contacts;
  try {
    contacts = session.MailPath().ContactsOf(*list, *mapi);
  } catch (const host::HostError& error) {
    Report(L"the members of the list " + row.name, error);
    return;
  }

  const int count = contacts->Count();
  for (int index = 0; index < count; ++index) {
    try {
      const auto contact = contacts->Contact(index);
      if (!contact) continue;
      std::wstring mobile = contact->MobileTelephoneNumber();
      if (mobile.empty()) continue;
      members.push_back(
          EnvelopeRow(RemoveCrLf(contact->FileAs()), std::move(mobile), contact->EntryID()));
    } catch (const host::HostError& error) {
      // This member cannot be read; the others still can.
      Report(L"a member of the list " + row.name, error);
    }
  }
}

}  // namespace parvel
