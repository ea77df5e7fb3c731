#pragma once

#include <memory>

#include "com/dispatch_win.h"
#include "host/host_tables.h"

namespace parvel::host {

// Folder.GetTable (Outlook 2007 and later) with the columns a contact row
// needs. Throws HostError where the folder has no tables.
std::unique_ptr<ContactTable> MakeContactTable(const com::Dispatch& folder);
// Redemption's MAPITable (a created Redemption.MAPITable) over the entries,
// with the columns an address row needs. Throws HostError when it refuses.
std::unique_ptr<AddressTable> MakeAddressTable(com::Dispatch table, const com::Dispatch& entries);

}  // namespace parvel::host
