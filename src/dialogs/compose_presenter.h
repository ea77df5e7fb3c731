#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/code_page.h"
#include "dialogs/command_map.h"
#include "dialogs/compose_controls.h"
#include "host/session.h"
#include "recipients/recipient_list.h"
#include "request/clock.h"
#include "request/locale.h"
#include "settings/registry_port.h"
#include "ui/addin_windows.h"
#include "ui/compose_view.h"
#include "ui/message_box.h"
#include "ui/window_view.h"
#include "workflows/selected_items.h"

namespace parvel {

struct ComposePorts {
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
inline constexpr std::wstring_view kSelectionUnreadText =
    L"Outlook could not hand over all the selected items. The recipients among those it did "
    L"hand over have been added:\r\n\r\n";

// The compose window: its recipient list, message, character counter and
// delayed send, and the buttons that open the other windows and send.
class ComposePresenter final : private ComposeView {
 public:
  explicit ComposePresenter(const ComposePorts& ports);

  void Load();
  void OnMessageChanged();
  void OnAddMobileClicked();  // "&Add mobile"
  void OnContactsClicked();   // "&Contacts"
  void OnSendClicked();       // "&Send message"
  void OnCloseClicked();      // "Clos&e"
  void OnAccountClicked();    // "Account info"
  void OnRemoveClicked();     // "&Remove selected recipients from list"
  void OnTemplatesClicked();  // "&Templates"
  void OnRecipientsColumnClicked(int column);

  // For the contacts picker: rows it hands over, each unless its Tag is
  // already in the list.
  void AddPickedRecipients(std::vector<RecipientEntry> rows);
  // For the context menu: the selection's rows as the picker's, then an
  // "Outlook Error" when the selection could not be read to its end.
  void AddSelectedItems(SelectedItemRows selected);
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
  void RemoveRecipients(std::span<const RecipientEntry> rows) override;
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

  ComposePorts ports_;
  RecipientList recipients_;
  bool restored_ = false;  // the window holds work kept when it last went away
};

// The compose window's command map.
inline constexpr Command<ComposePresenter> kComposeCommands[] = {
    {compose_controls::kMessageBox, ControlEvent::Changed, &ComposePresenter::OnMessageChanged},
    {compose_controls::kAddMobileButton, ControlEvent::Clicked,
     &ComposePresenter::OnAddMobileClicked},
    {compose_controls::kContactsButton, ControlEvent::Clicked,
     &ComposePresenter::OnContactsClicked},
    {compose_controls::kSendButton, ControlEvent::Clicked, &ComposePresenter::OnSendClicked},
    {compose_controls::kCloseButton, ControlEvent::Clicked, &ComposePresenter::OnCloseClicked},
    {compose_controls::kAccountButton, ControlEvent::Clicked, &ComposePresenter::OnAccountClicked},
    {compose_controls::kRemoveButton, ControlEvent::Clicked, &ComposePresenter::OnRemoveClicked},
    {compose_controls::kTemplatesButton, ControlEvent::Clicked,
     &ComposePresenter::OnTemplatesClicked},
    {compose_controls::kRecipientList, ControlEvent::ColumnClicked,
     &ComposePresenter::OnRecipientsColumnClicked},
};

}  // namespace parvel
