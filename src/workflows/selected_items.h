#pragma once

#include <memory>
#include <vector>

#include "host/host_model.h"
#include "recipients/recipient_entry.h"
#include "workflows/address_book.h"

namespace parvel {

// The rows that the picker's "&Select" would hand the compose window for
// these items of a contact folder, in their order: a contact with a mobile
// number as its "Envelope" row, a distribution list as the members it expands
// to (the list is kept among the known lists, as a listing keeps it), other
// items and contacts without a mobile number left out. An item that cannot be
// read is reported to the session's diagnostics and left out. Duplicates stay:
// the compose window skips them by Tag.
std::vector<RecipientEntry> RowsOfSelectedItems(std::vector<std::unique_ptr<host::Item>> items,
                                                AddressBook& address_book, Session& session);

// How many items of a selection the context menu's entry looks at to decide
// whether it shows: Outlook asks each time the menu opens, and a selection
// may hold thousands of mails.
inline constexpr int kSelectionItemsLookedAt = 10;

// Whether one of the selection's first kSelectionItemsLookedAt items is a
// contact or a distribution list. An item whose kind cannot be read counts
// as neither.
bool SelectionHasRecipients(host::ItemEnumerator& items);

}  // namespace parvel
