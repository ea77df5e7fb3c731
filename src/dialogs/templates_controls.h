#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The templates window (ZNSMSTemplates): each control's constant, its name (the one
// users, scenarios and tests address) and the id of the dialog template.
#define PARVEL_TEMPLATES_CONTROLS(X)                      \
  X(kTemplateList, List1, IDC_ZNSMSTEMPLATES_LIST1)       \
  X(kSelectButton, Command1, IDC_ZNSMSTEMPLATES_COMMAND1) \
  X(kCloseButton, Command2, IDC_ZNSMSTEMPLATES_COMMAND2)  \
  X(kDeleteButton, Command4, IDC_ZNSMSTEMPLATES_COMMAND4) \
  X(kSeparatorLine, Line1, IDC_ZNSMSTEMPLATES_LINE1)      \
  X(kNewTextLabel, Label1, IDC_ZNSMSTEMPLATES_LABEL1)     \
  X(kNewTextBox, Text1, IDC_ZNSMSTEMPLATES_TEXT1)         \
  X(kNewNameLabel, Label2, IDC_ZNSMSTEMPLATES_LABEL2)     \
  X(kNewNameBox, Text2, IDC_ZNSMSTEMPLATES_TEXT2)         \
  X(kAddButton, Command3, IDC_ZNSMSTEMPLATES_COMMAND3)

namespace parvel::templates_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_TEMPLATES_CONTROLS)

}  // namespace parvel::templates_controls
