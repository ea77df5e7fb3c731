#pragma once

#include <filesystem>

#include "dialogs/dialog_window_win.h"
#include "dialogs/message_boxes_win.h"
#include "dialogs/zn_sms_templates.h"
#include "templates/template_files.h"

namespace parvel::dialogs {

// The templates window ZNSMSTemplates as a Win32 dialog around its
// presenter, with the templates file in folder (the add-in's own folder,
// AddinFolder()).
class TemplatesWindow final : public DialogWindow {
 public:
  TemplatesWindow(AddinWindows& windows, const std::filesystem::path& folder);

  ZNSMSTemplates& presenter() noexcept { return presenter_; }

 private:
  void OnInit() override;
  void OnCommand(int id, int code) override;

  OwnedMessageBoxes message_boxes_;
  DiskFiles files_;
  ZNSMSTemplates presenter_;
};

}  // namespace parvel::dialogs
