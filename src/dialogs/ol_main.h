#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/code_page.h"
#include "dialogs/command_map.h"
#include "dialogs/ol_main_controls.h"
#include "host/session.h"
#include "recipients/recipient_list.h"
#include "request/clock.h"
#include "request/locale.h"
#include "settings/registry_port.h"
#include "ui/addin_windows.h"
#include "ui/compose_view.h"
#include "ui/message_box.h"
#include "ui/window_view.h"

namespace parvel {

struct OLMainPorts {
  Session& session;
  WindowView& view;
  MessageBoxes& message_boxes;
  RegistryPort& registry;
  const Clock& clock;
  AddinWindows& windows;
  const Locale& locale = UserLocale();
  const CodePage& code_page = SystemCodePage();
};

inline constexpr std::wstring_view kOutlookErrorTitle = L"Outlook Error";

// The compose window: its recipient list, message, character counter and
// delayed send, and the buttons that open the other windows and send.
class OLMain final : private ComposeView {
 public:
  explicit OLMain(const OLMainPorts& ports);

  void Form_Load();
  void Text1_Change();
  void Command1_Click();  // "&Add mobile"
  void Command2_Click();  // "&Contacts"
  void Command3_Click();  // "&Send message"
  void Command4_Click();  // "Clos&e"
  void Command5_Click();  // "Account info"
  void Command6_Click();  // "&Remove selected recipients from list"
  void Command7_Click();  // "&Templates"
  void ListView1_ColumnClick(int column);

  // For the contacts picker: rows it hands over, each unless its Tag is
  // already in the list.
  void AddPickedRecipients(std::vector<RecipientEntry> rows);
  // For the templates window: the message replaced, the counter updated.
  void SetMessage(std::wstring_view text);
  // The window goes away with the host (Outlook closes, or disconnects the
  // add-in): its message, recipients and delayed-send choice are kept for
  // the next load, which brings them back; an empty window keeps nothing.
  void KeepUnsentWork();

  const RecipientList& Recipients() const noexcept { return recipients_; }

 private:
  // The send workflow's view of the window.
  std::wstring MessageText() const override;
  std::vector<RecipientEntry> RecipientRows() const override;
  bool DelayedSendTicked() const override;
  std::optional<LocalDateTime> DelayedSendTime() const override;
  bool AccountButtonShown() const override;
  void SetMessageText(std::wstring_view text) override;
  void SetMobileText(std::wstring_view text) override;
  void ClearRecipients() override;
  void SetDelayedSendTicked(bool ticked) override;
  void FocusMessage() override;
  void FocusMobile() override;
  void FocusAccountButton() override;

  std::wstring HandTypedKey(std::wstring_view mobile) const;
  void TakeSelection();
  void ShowList();
  void RestoreUnsentWork();
  // The work brought back is sent or cleared by the user: what was kept goes.
  void ForgetRestoredWork();
  void ForgetRestoredWorkIfCleared();

  OLMainPorts ports_;
  RecipientList recipients_;
  bool restored_ = false;  // the window holds work kept when it last went away
};

// The compose window's command map.
inline constexpr Command<OLMain> kOLMainCommands[] = {
    {ol_main_controls::kText1, ControlEvent::Changed, &OLMain::Text1_Change},
    {ol_main_controls::kCommand1, ControlEvent::Clicked, &OLMain::Command1_Click},
    {ol_main_controls::kCommand2, ControlEvent::Clicked, &OLMain::Command2_Click},
    {ol_main_controls::kCommand3, ControlEvent::Clicked, &OLMain::Command3_Click},
    {ol_main_controls::kCommand4, ControlEvent::Clicked, &OLMain::Command4_Click},
    {ol_main_controls::kCommand5, ControlEvent::Clicked, &OLMain::Command5_Click},
    {ol_main_controls::kCommand6, ControlEvent::Clicked, &OLMain::Command6_Click},
    {ol_main_controls::kCommand7, ControlEvent::Clicked, &OLMain::Command7_Click},
    {ol_main_controls::kListView1, ControlEvent::ColumnClicked, &OLMain::ListView1_ColumnClick},
};

}  // namespace parvel
