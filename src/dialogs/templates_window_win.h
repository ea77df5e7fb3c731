#pragma once

#include "dialogs/dialog_window_win.h"
#include "dialogs/message_boxes_win.h"
#include "dialogs/templates_presenter.h"
#include "templates/template_files.h"
#include "templates/templates_location.h"

namespace parvel::dialogs {

// The templates window ZNSMSTemplates as a Win32 dialog around its
// presenter, with the templates file at location (the add-in's,
// AddinTemplatesLocation).
class TemplatesWindow final : public DialogWindow {
 public:
  TemplatesWindow(AddinWindows& windows, const TemplatesLocation& location);

  TemplatesPresenter& presenter() noexcept { return presenter_; }

 private:
  void OnInit() override;

  OwnedMessageBoxes message_boxes_;
  DiskFiles files_;
  TemplatesPresenter presenter_;
};

}  // namespace parvel::dialogs
