#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The compose window (OLMain): each control's constant, its name (the one
// users, scenarios and tests address) and the id of the dialog template.
#define PARVEL_COMPOSE_CONTROLS(X)                       \
  X(kStepOneLabel, Label6, IDC_OLMAIN_LABEL6)            \
  X(kStepTwoLabel, Label7, IDC_OLMAIN_LABEL7)            \
  X(kStepThreeLabel, Label8, IDC_OLMAIN_LABEL8)          \
  X(kMobileLabel, Label3, IDC_OLMAIN_LABEL3)             \
  X(kMobileBox, Text2, IDC_OLMAIN_TEXT2)                 \
  X(kAddMobileButton, Command1, IDC_OLMAIN_COMMAND1)     \
  X(kContactsButton, Command2, IDC_OLMAIN_COMMAND2)      \
  X(kRecipientsLabel, Label4, IDC_OLMAIN_LABEL4)         \
  X(kRecipientList, ListView1, IDC_OLMAIN_LISTVIEW1)     \
  X(kRemoveButton, Command6, IDC_OLMAIN_COMMAND6)        \
  X(kMessageLabel, Label1, IDC_OLMAIN_LABEL1)            \
  X(kMessageBox, Text1, IDC_OLMAIN_TEXT1)                \
  X(kCounterLabel, Label5, IDC_OLMAIN_LABEL5)            \
  X(kReplacementLabel, Label10, IDC_OLMAIN_LABEL10)      \
  X(kDelayedSendFrame, Frame2, IDC_OLMAIN_FRAME2)        \
  X(kDelayedSendCheck, Check1, IDC_OLMAIN_CHECK1)        \
  X(kDelayedSendTime, MaskEdBox1, IDC_OLMAIN_MASKEDBOX1) \
  X(kDelayedSendFormatLabel, Label9, IDC_OLMAIN_LABEL9)  \
  X(kSendButton, Command3, IDC_OLMAIN_COMMAND3)          \
  X(kAccountButton, Command5, IDC_OLMAIN_COMMAND5)       \
  X(kTemplatesButton, Command7, IDC_OLMAIN_COMMAND7)     \
  X(kCloseButton, Command4, IDC_OLMAIN_COMMAND4)

namespace parvel::compose_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_COMPOSE_CONTROLS)

}  // namespace parvel::compose_controls
