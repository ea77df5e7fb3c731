#include "workflows/selected_items.h"

#include <exception>
#include <memory>
#include <string>
#include <utility>

namespace parvel {

SelectedItemRows RowsOfSelectedItems(host::ItemEnumerator& items, AddressBook& address_book,
                                     Session& session) {
  SelectedItemRows selected;
  std::vector<RecipientEntry>& rows = selected.rows;
  while (true) {
    std::unique_ptr<host::Item> item;
    try {
      item = items.Next();
    } catch (const host::HostError& error) {
      selected.unread = error.message();
      break;
    }
    if (!item) break;
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
  return selected;
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
