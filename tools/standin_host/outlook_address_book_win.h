#pragma once

// Outlook 2007 and later's own view of the address book: NameSpace.AddressLists
// with their entries (counting from 1, as Outlook's collections do), each
// entry's Exchange user and PropertyAccessor, and the members of a contact
// folder's distribution list as DistListItem.GetMember gives them.

#include <memory>

#include "standin_host/address_book.h"
#include "standin_host/dispatch_win.h"

namespace parvel::standin {

// Outlook 2007, the first whose object model offers what these objects do.
inline constexpr int kFirstTrustedOutlook = 12;

// Raises as Outlook before 2007 would for a member it does not have.
void RequireOutlook2007(const HostContext& context, std::wstring_view member);

Variant OutlookAddressListsResult(const std::shared_ptr<HostContext>& context);
// GetMember(index): the Recipient for one member of a distribution list.
Variant DistListMemberResult(const std::shared_ptr<HostContext>& context,
                             const DistListMember& member);

}  // namespace parvel::standin
