#pragma once

#include <filesystem>

#include "templates/template_files.h"
#include "windows/dialog_window_win.h"
#include "windows/message_boxes_win.h"
#include "windows/zn_sms_templates.h"

namespace parvel::windows {

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

}  // namespace parvel::windows
