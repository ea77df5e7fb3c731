#include "workflows/selected_items.h"

#include <exception>
#include <string>
#include <utility>

namespace parvel {

std::vector<RecipientEntry> RowsOfSelectedItems(std::vector<std::unique_ptr<host::Item>> items,
                                                AddressBook& address_book, Session& session) {
  std::vector<RecipientEntry> rows;
  for (std::unique_ptr<host::Item>& item : items) {
    try {
      switch (item->GetKind()) {
        case host::Item::Kind::Contact: {
          std::wstring mobile = item->MobileTelephoneNumber();
          if (mobile.empty()) break;
          rows.push_back({.name = item->FileAs(),
                          .mobile = std::move(mobile),
                          .kind = RecipientEntry::Kind::Envelope,
                          .tag = item->EntryID()});
          break;
        }
        case host::Item::Kind::DistributionList: {
          const RecipientEntry list{.name = item->DLName(),
                                    .kind = RecipientEntry::Kind::Distribution,
                                    .tag = item->EntryID()};
          // The item in hand serves when the host cannot find it by its ID.
          session.RememberDistList(list.tag, std::move(item));
          address_book.ExpandContactsDistList(list, rows);
          break;
        }
        case host::Item::Kind::Other:
          break;
      }
    } catch (const host::HostError&) {
      session.Diagnostics().Report(L"Send SMS to the selection",
                                   L"an item: " + host::DescribeFailure(std::current_exception()));
    }
  }
  return rows;
}

bool SelectionHasRecipients(host::ItemEnumerator& items) {
  for (int looked_at = 0; looked_at < kSelectionItemsLookedAt; ++looked_at) {
    const std::unique_ptr<host::Item> item = items.Next();
    if (!item) return false;
    try {
      if (item->GetKind() != host::Item::Kind::Other) return true;
    } catch (const host::HostError&) {
      // Neither a contact nor a list, as far as the menu can tell.
    }
  }
  return false;
}

}  // namespace parvel
