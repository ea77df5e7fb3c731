// The listings of the contacts picker read from the host's tables: a few
// calls per batch of rows instead of several per entry, each of which opens a
// MAPI object in Outlook. The rows are those the item walks make.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codec/plain_text.h"
#include "workflows/address_book.h"

#include "host/mail_path.h"
#include "workflows/listing_batch.h"

namespace parvel {
namespace {

constexpr std::int32_t kMapiNotFound = static_cast<std::int32_t>(0x8004010F);
// The Global Address List's rows reach the list after its first batch, then
// after runs of batches twice as long each time, up to this many: under a
// busy window, drawing the grown list costs more than reading its rows.
constexpr int kLongestRun = 64;
constexpr std::wstring_view kContactClass = L"IPM.Contact";
constexpr std::wstring_view kDistListClass = L"IPM.DistList";

// The class itself or a form's class below it ("IPM.Contact.Customer"), as
// Outlook gives such items the Class of the class they derive from.
bool IsOfClass(std::wstring_view message_class, std::wstring_view base) {
  if (message_class.size() < base.size()) return false;
  if (!EqualsIgnoringCase(message_class.substr(0, base.size()), base)) return false;
  return message_class.size() == base.size() || message_class[base.size()] == L'.';
}

host::Item::Kind KindOf(std::wstring_view message_class) {
  if (IsOfClass(message_class, kContactClass)) return host::Item::Kind::Contact;
  if (IsOfClass(message_class, kDistListClass)) return host::Item::Kind::DistributionList;
  return host::Item::Kind::Other;
}

}  // namespace

std::unique_ptr<host::AddressTable> AddressBook::GalTable(host::AddressEntries& entries) {
  if (ports_.session.MailPath().Kind() != host::MailPathKind::Redemption) return nullptr;
  try {
    return ports_.session.Redemption().CreateAddressTable(entries);
  } catch (const host::HostError& error) {
    Report(L"the Global Address List as a table", error);
    return nullptr;
  }
}

bool AddressBook::ListGalTable(host::AddressEntries& entries, ContactListSink& contacts) {
  // The table is Redemption's: without it, the entries are walked.
  const std::unique_ptr<host::AddressTable> table = GalTable(entries);
  if (!table) return false;
  std::vector<host::AddressRow> batch;
  try {
    batch = table->NextRows(static_cast<int>(kListingBatch));
  } catch (const host::HostError& error) {
    Report(L"the Global Address List as a table", error);
    return false;
  }
  ListingBatch rows(contacts, 0);
  int run = 1;
  int until_shown = 1;
  while (!batch.empty()) {
    for (host::AddressRow& row : batch) {
      switch (row.display_type) {
        case kDisplayTypeDistList:
          rows.Add(DistributionRow(std::move(row.name), std::wstring(kGlobalAddressListLabel),
                                   std::move(row.id)));
          break;
        case kDisplayTypeMailUser:
          if (!row.mobile || row.mobile->empty()) break;
          rows.Add(EnvelopeRow(std::move(row.name), std::move(*row.mobile), std::move(row.id)));
          break;
        default:
          break;
      }
    }
    if (--until_shown == 0) {
      rows.Flush();
      until_shown = run = std::min(2 * run, kLongestRun);
    }
    // Events run after every batch: the user may act meanwhile.
    ports_.pending_events.Run();
    if (contacts.Superseded()) return true;
    batch = table->NextRows(static_cast<int>(kListingBatch));
  }
  rows.Flush();
  return true;
}

bool AddressBook::ListFolderTable(host::Folder& folder, const std::wstring& folder_name,
                                  ContactListSink& contacts) {
  std::unique_ptr<host::ContactTable> table;
  std::vector<host::ContactRow> batch;
  try {
    table = folder.Table();
    batch = table->NextRows(static_cast<int>(kListingBatch));
  } catch (const host::HostError& error) {
    Report(L"the contact folder " + folder_name + L" as a table", error);
    return false;
  }
  ListingBatch rows(contacts);
  while (!batch.empty()) {
    for (host::ContactRow& row : batch) {
      switch (KindOf(row.message_class)) {
        case host::Item::Kind::Contact:
          if (row.mobile.empty()) break;
          rows.Add(
              EnvelopeRow(std::move(row.file_as), std::move(row.mobile), std::move(row.entry_id)));
          break;
        case host::Item::Kind::DistributionList: {
          // Lists are few: each is opened, as its expansion needs the item.
          auto list = OpenDistList(folder, row.entry_id);
          if (!list) break;
          rows.Add(DistributionRow(list->DLName(), folder_name, row.entry_id));
          ports_.session.RememberDistList(std::move(row.entry_id), std::move(list));
          break;
        }
        case host::Item::Kind::Other:
          break;
      }
    }
    batch = table->NextRows(static_cast<int>(kListingBatch));
  }
  rows.Flush();
  return true;
}

std::unique_ptr<host::Item> AddressBook::OpenDistList(host::Folder& folder,
                                                      const std::wstring& entry_id) {
  if (host::Namespace* const mapi = ports_.session.HeldNamespace()) {
    try {
      if (auto item = mapi->GetItemFromID(entry_id)) return item;
    } catch (const host::HostError&) {
      // Some stores do not find their items by entry ID: the folder still has it.
    }
  }
  auto items = folder.Items();
  for (auto item = items->Next(); item; item = items->Next()) {
    if (item->GetKind() == host::Item::Kind::DistributionList && item->EntryID() == entry_id) {
      return item;
    }
  }
  Report(L"the distribution list " + entry_id,
         host::HostError(kMapiNotFound, L"The table lists it, the folder's items do not."));
  return nullptr;
}

}  // namespace parvel
