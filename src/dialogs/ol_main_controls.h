#pragma once

#include "dialogs/control_name.h"
#include "dialogs/window_ids.h"

// The compose window (OLMain): each control's name and the id of the dialog template.
#define PARVEL_OLMAIN_CONTROLS(X)      \
  X(Label6, IDC_OLMAIN_LABEL6)         \
  X(Label7, IDC_OLMAIN_LABEL7)         \
  X(Label8, IDC_OLMAIN_LABEL8)         \
  X(Label3, IDC_OLMAIN_LABEL3)         \
  X(Text2, IDC_OLMAIN_TEXT2)           \
  X(Command1, IDC_OLMAIN_COMMAND1)     \
  X(Command2, IDC_OLMAIN_COMMAND2)     \
  X(Label4, IDC_OLMAIN_LABEL4)         \
  X(ListView1, IDC_OLMAIN_LISTVIEW1)   \
  X(Command6, IDC_OLMAIN_COMMAND6)     \
  X(Label1, IDC_OLMAIN_LABEL1)         \
  X(Text1, IDC_OLMAIN_TEXT1)           \
  X(Label5, IDC_OLMAIN_LABEL5)         \
  X(Label10, IDC_OLMAIN_LABEL10)       \
  X(Frame2, IDC_OLMAIN_FRAME2)         \
  X(Check1, IDC_OLMAIN_CHECK1)         \
  X(MaskEdBox1, IDC_OLMAIN_MASKEDBOX1) \
  X(Label9, IDC_OLMAIN_LABEL9)         \
  X(Command3, IDC_OLMAIN_COMMAND3)     \
  X(Command5, IDC_OLMAIN_COMMAND5)     \
  X(Command7, IDC_OLMAIN_COMMAND7)     \
  X(Command4, IDC_OLMAIN_COMMAND4)

namespace parvel::ol_main_controls {

PARVEL_DECLARE_CONTROLS(PARVEL_OLMAIN_CONTROLS)

}  // namespace parvel::ol_main_controls
