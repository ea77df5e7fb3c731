#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The account window (OLAccount): each control's constant, its name (the one
// users, scenarios and tests address) and the id of the dialog template.
#define PARVEL_ACCOUNT_CONTROLS(X)                     \
  X(kAccountLabel, Label1, IDC_OLACCOUNT_LABEL1)       \
  X(kAccountBox, Text1, IDC_OLACCOUNT_TEXT1)           \
  X(kPasswordLabel, Label2, IDC_OLACCOUNT_LABEL2)      \
  X(kPasswordBox, Text2, IDC_OLACCOUNT_TEXT2)          \
  X(kConfirmLabel, Label3, IDC_OLACCOUNT_LABEL3)       \
  X(kConfirmBox, Text3, IDC_OLACCOUNT_TEXT3)           \
  X(kDefaultFolderLabel, Label4, IDC_OLACCOUNT_LABEL4) \
  X(kDefaultFolderBox, Text4, IDC_OLACCOUNT_TEXT4)     \
  X(kNamePrefixLabel, Label5, IDC_OLACCOUNT_LABEL5)    \
  X(kNamePrefixBox, Text5, IDC_OLACCOUNT_TEXT5)        \
  X(kSaveButton, Command2, IDC_OLACCOUNT_COMMAND2)     \
  X(kCloseButton, Command1, IDC_OLACCOUNT_COMMAND1)

namespace parvel::account_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_ACCOUNT_CONTROLS)

}  // namespace parvel::account_controls
