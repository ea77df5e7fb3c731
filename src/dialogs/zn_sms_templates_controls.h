#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The templates window (ZNSMSTemplates): each control's name and the id of the dialog template.
#define PARVEL_ZNSMSTEMPLATES_CONTROLS(X)  \
  X(List1, IDC_ZNSMSTEMPLATES_LIST1)       \
  X(Command1, IDC_ZNSMSTEMPLATES_COMMAND1) \
  X(Command2, IDC_ZNSMSTEMPLATES_COMMAND2) \
  X(Command4, IDC_ZNSMSTEMPLATES_COMMAND4) \
  X(Line1, IDC_ZNSMSTEMPLATES_LINE1)       \
  X(Label1, IDC_ZNSMSTEMPLATES_LABEL1)     \
  X(Text1, IDC_ZNSMSTEMPLATES_TEXT1)       \
  X(Label2, IDC_ZNSMSTEMPLATES_LABEL2)     \
  X(Text2, IDC_ZNSMSTEMPLATES_TEXT2)       \
  X(Command3, IDC_ZNSMSTEMPLATES_COMMAND3)

namespace parvel::zn_sms_templates_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_ZNSMSTEMPLATES_CONTROLS)

}  // namespace parvel::zn_sms_templates_controls
