#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/host_model.h"
#include "recipients/recipient_entry.h"
#include "workflows/address_book.h"

namespace parvel {

struct SelectedItemRows {
  std::vector<RecipientEntry> rows;
  // Outlook's description of why the selection could not be read to its
  // end; the rows hold the items read before.
  std::optional<std::wstring> unread;
};

// The rows that the picker's "&Select" would hand the compose window for
// the items of a selection, in their order: a contact with a mobile number
// as its "Envelope" row, a distribution list as the members it expands to
// (the list is kept among the known lists, as a listing keeps it), other
// items and contacts without a mobile number left out. An item that cannot be
// read is reported to the session's diagnostics and left out. Duplicates stay:
// the compose window skips them by Tag. Each item is let go of before the
// next is taken: Exchange lets a session hold only so many open at once.
SelectedItemRows RowsOfSelectedItems(host::ItemEnumerator& items, AddressBook& address_book,
                                     Session& session);

// How many items of a selection the context menu's entry looks at to decide
// whether it shows: Outlook asks each time the menu opens, and a selection
// may hold thousands of mails.
inline constexpr int kSelectionItemsLookedAt = 10;

// Whether one of the selection's first kSelectionItemsLookedAt items is a
// contact or a distribution list. An item whose kind cannot be read counts
// as neither.
bool SelectionHasRecipients(host::ItemEnumerator& items);

}  // namespace parvel
