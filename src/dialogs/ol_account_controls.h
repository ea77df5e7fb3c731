#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The account window (OLAccount): each control's name and the id of the dialog template.
#define PARVEL_OLACCOUNT_CONTROLS(X)  \
  X(Label1, IDC_OLACCOUNT_LABEL1)     \
  X(Text1, IDC_OLACCOUNT_TEXT1)       \
  X(Label2, IDC_OLACCOUNT_LABEL2)     \
  X(Text2, IDC_OLACCOUNT_TEXT2)       \
  X(Label3, IDC_OLACCOUNT_LABEL3)     \
  X(Text3, IDC_OLACCOUNT_TEXT3)       \
  X(Label4, IDC_OLACCOUNT_LABEL4)     \
  X(Text4, IDC_OLACCOUNT_TEXT4)       \
  X(Label5, IDC_OLACCOUNT_LABEL5)     \
  X(Text5, IDC_OLACCOUNT_TEXT5)       \
  X(Command2, IDC_OLACCOUNT_COMMAND2) \
  X(Command1, IDC_OLACCOUNT_COMMAND1)

namespace parvel::ol_account_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_OLACCOUNT_CONTROLS)

}  // namespace parvel::ol_account_controls
