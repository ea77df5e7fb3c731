#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The contacts picker (OLContacts): each control's name and the id of the dialog template.
#define PARVEL_OLCONTACTS_CONTROLS(X)  \
  X(Option1, IDC_OLCONTACTS_OPTION1)   \
  X(Option2, IDC_OLCONTACTS_OPTION2)   \
  X(Label1, IDC_OLCONTACTS_LABEL1)     \
  X(List1, IDC_OLCONTACTS_LIST1)       \
  X(Label3, IDC_OLCONTACTS_LABEL3)     \
  X(Label4, IDC_OLCONTACTS_LABEL4)     \
  X(lvw, IDC_OLCONTACTS_LVW)           \
  X(Command1, IDC_OLCONTACTS_COMMAND1) \
  X(Command4, IDC_OLCONTACTS_COMMAND4) \
  X(Label2, IDC_OLCONTACTS_LABEL2)     \
  X(lvw2, IDC_OLCONTACTS_LVW2)         \
  X(Command3, IDC_OLCONTACTS_COMMAND3) \
  X(Command2, IDC_OLCONTACTS_COMMAND2)

namespace parvel::ol_contacts_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_OLCONTACTS_CONTROLS)

}  // namespace parvel::ol_contacts_controls
