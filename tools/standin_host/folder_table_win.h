#pragma once

// Outlook 2007's Table over a folder's items (Folder.GetTable): rows of the
// columns asked for, read many at a time with GetArray, no item opened.

#include <memory>

#include "standin_host/address_book.h"
#include "standin_host/dispatch_win.h"

namespace parvel::standin {

// Folder.GetTable(Filter, TableContents): the folder's items in the order of
// its Items collection. A filter is refused: the stand-in does not evaluate
// DASL or Jet restrictions.
Variant FolderTableResult(const std::shared_ptr<HostContext>& context, const Folder& folder,
                          Arguments& args);

}  // namespace parvel::standin
