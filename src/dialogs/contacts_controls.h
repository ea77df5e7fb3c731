#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The contacts picker (OLContacts): each control's constant, its name (the one
// users, scenarios and tests address) and the id of the dialog template.
#define PARVEL_CONTACTS_CONTROLS(X)                            \
  X(kContactsOption, Option1, IDC_OLCONTACTS_OPTION1)          \
  X(kGlobalAddressListOption, Option2, IDC_OLCONTACTS_OPTION2) \
  X(kFoldersLabel, Label1, IDC_OLCONTACTS_LABEL1)              \
  X(kFolderList, List1, IDC_OLCONTACTS_LIST1)                  \
  X(kContactsLabel, Label3, IDC_OLCONTACTS_LABEL3)             \
  X(kSortHintLabel, Label4, IDC_OLCONTACTS_LABEL4)             \
  X(kContactList, lvw, IDC_OLCONTACTS_LVW)                     \
  X(kAddButton, Command1, IDC_OLCONTACTS_COMMAND1)             \
  X(kRemoveButton, Command4, IDC_OLCONTACTS_COMMAND4)          \
  X(kSelectedLabel, Label2, IDC_OLCONTACTS_LABEL2)             \
  X(kSelectedList, lvw2, IDC_OLCONTACTS_LVW2)                  \
  X(kCancelButton, Command3, IDC_OLCONTACTS_COMMAND3)          \
  X(kSelectButton, Command2, IDC_OLCONTACTS_COMMAND2)

namespace parvel::contacts_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_CONTACTS_CONTROLS)

}  // namespace parvel::contacts_controls
