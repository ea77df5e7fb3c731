#include "dialogs/compose_presenter.h"

#include <cstdint>
#include <exception>
#include <unordered_set>
#include <utility>

#include "dialogs/compose_controls.h"
#include "parvel/version.h"
#include "platform/scope_exit.h"
#include "request/delayed_send.h"
#include "workflows/account_settings_load.h"
#include "workflows/gateway_message.h"
#include "workflows/send_workflow.h"
#include "workflows/unsent_work.h"

namespace parvel {
namespace {

using namespace compose_controls;

constexpr std::wstring_view kHandTypedName = L"Unknown";
constexpr int kDelayedSendHours = 12;
// After the caption while the window holds work that was kept when it last
// went away with Outlook.
constexpr std::wstring_view kRestoredCaption = L" - Restored, not sent yet";

std::wstring Caption() {
  return L"Parvel" + std::wstring(44, L' ') + L"- " + std::wstring(kVersionText);
}

}  // namespace

ComposePresenter::ComposePresenter(const ComposePorts& ports) : ports_(ports) {}

void ComposePresenter::Load() {
  Session& session = ports_.session;
  try {
    session.ReadCurrentUser();
  } catch (const std::exception& error) {
    // The window still opens: sending needs the host again and says so then.
    ports_.message_boxes.Show(kOutlookErrorTitle, host::FailureText(error));
  }
  ShowList();
  const std::wstring show_account =
      LoadAccountSettings(ports_.registry, ports_.message_boxes, session.account_settings);
  if (show_account == L"0") ports_.view.SetVisible(kAccountButton, false);
  const LocalDateTime later =
      FromMinuteNumber(MinuteNumber(ports_.clock.Now()) + std::int64_t{kDelayedSendHours} * 60);
  ports_.view.SetDateTime(kDelayedSendTime, later);
  ports_.view.SetCaption(Caption());
  RestoreUnsentWork();
}

void ComposePresenter::RestoreUnsentWork() {
  host::Diagnostics& diagnostics = ports_.session.Diagnostics();
  std::optional<UnsentWork> work;
  try {
    work = ReadUnsentWork(ports_.registry);
    if (!work) return;
    TakeSelection();
    recipients_.AddAll(std::move(work->rows));
  } catch (const std::exception&) {
    // Kept values changed by hand: nothing comes back, and nothing stays.
    diagnostics.Report(L"Unsent work", host::DescribeFailure(std::current_exception()));
    ForgetUnsentWork(ports_.registry);
    return;
  }
  ShowList();
  SetMessage(work->message);
  ports_.view.SetChecked(kDelayedSendCheck, work->delayed_send);
  if (work->delayed_send_time) ports_.view.SetDateTime(kDelayedSendTime, *work->delayed_send_time);
  ports_.view.SetCaption(Caption() + std::wstring(kRestoredCaption));
  restored_ = true;
}

void ComposePresenter::KeepUnsentWork() {
  const std::wstring message = MessageText();
  std::int32_t code = kErrorSuccess;
  if (message.empty() && recipients_.Count() == 0) {
    code = ForgetUnsentWork(ports_.registry);
  } else {
    code = parvel::KeepUnsentWork(ports_.registry, {.message = message,
                                                    .rows = recipients_.Rows(),
                                                    .delayed_send = DelayedSendTicked(),
                                                    .delayed_send_time = DelayedSendTime()});
  }
  if (code != kErrorSuccess) {
    ports_.session.Diagnostics().Report(L"Unsent work",
                                        L"cannot be kept, registry error " + std::to_wstring(code));
  }
}

void ComposePresenter::ForgetRestoredWork() {
  if (!restored_) return;
  restored_ = false;
  ForgetUnsentWork(ports_.registry);
  ports_.view.SetCaption(Caption());
}

void ComposePresenter::ForgetRestoredWorkIfCleared() {
  if (restored_ && recipients_.Count() == 0 && MessageText().empty()) ForgetRestoredWork();
}

// The count is of the text as the gateway will get it, and the line under it
// says which characters will not reach it as typed.
void ComposePresenter::OnMessageChanged() {
  const Session& session = ports_.session;
  const MessagePreview preview =
      PreviewMessage(ports_.view.Text(kMessageBox), session.account_settings,
                     session.user_display_name, ports_.locale, ports_.code_page);
  ports_.view.SetText(kCounterLabel,
                      L"Used : " + std::to_wstring(preview.used) + L" chars (incl. EMail name)");
  ports_.view.SetText(kReplacementLabel, ReplacementNote(preview.message));
  ForgetRestoredWorkIfCleared();
}

std::wstring ComposePresenter::HandTypedKey(std::wstring_view mobile) const {
  const std::wstring key = L"x" + std::wstring(mobile) + std::to_wstring(recipients_.Count() + 1);
  // "x" + "12" + "1" and "x" + "1" + "21" are the same text; the later row
  // gets a suffix so that every key stays distinct.
  std::wstring distinct = key;
  for (int suffix = 2; recipients_.ContainsKey(distinct); ++suffix) {
    distinct = key + L"#" + std::to_wstring(suffix);
  }
  return distinct;
}

void ComposePresenter::OnAddMobileClicked() {
  const std::wstring mobile = ports_.view.Text(kMobileBox);
  if (mobile.empty()) return;
  TakeSelection();
  recipients_.Add({.name = std::wstring(kHandTypedName),
                   .mobile = mobile,
                   .kind = RecipientEntry::Kind::Envelope,
                   .key = HandTypedKey(mobile)});
  ShowList();
  ports_.view.SetText(kMobileBox, L"");
  ports_.view.Focus(kMessageBox);
}

void ComposePresenter::OnContactsClicked() {
  // The user may click again while the window loads. Its first load reads
  // every store's folders before it shows: this window shows the wait.
  ports_.view.SetEnabled(kContactsButton, false);
  ports_.view.SetBusy(true);
  const ScopeExit enable([this] {
    ports_.view.SetBusy(false);
    ports_.view.SetEnabled(kContactsButton, true);
  });
  ports_.windows.ShowContactsPicker();
}

void ComposePresenter::OnSendClicked() {
  const bool sent = RunSendWorkflow({.session = ports_.session,
                                     .view = *this,
                                     .message_boxes = ports_.message_boxes,
                                     .clock = ports_.clock,
                                     .locale = ports_.locale,
                                     .code_page = ports_.code_page});
  if (sent) ForgetRestoredWork();
}

// Closing is the user's own clearing: the window's work is lost, kept or not.
void ComposePresenter::OnCloseClicked() {
  ForgetRestoredWork();
  ports_.view.Close();
}

void ComposePresenter::OnAccountClicked() {
  ports_.view.SetEnabled(kAccountButton, false);
  const ScopeExit enable([this] { ports_.view.SetEnabled(kAccountButton, true); });
  ports_.windows.ShowAccountWindow();
}

void ComposePresenter::OnRemoveClicked() {
  recipients_.SetSorted(false);
  TakeSelection();
  recipients_.RemoveSelected();
  recipients_.SetSorted(true);
  ShowList();
  ForgetRestoredWorkIfCleared();
}

void ComposePresenter::OnTemplatesClicked() { ports_.windows.ShowTemplatesWindow(); }

void ComposePresenter::OnRecipientsColumnClicked(int column) {
  TakeSelection();
  recipients_.SetSortColumn(column == 1 ? RecipientList::Column::Mobile
                                        : RecipientList::Column::Name);
  recipients_.SetSorted(true);
  ShowList();
}

void ComposePresenter::AddPickedRecipients(std::vector<RecipientEntry> rows) {
  std::vector<RecipientEntry> fresh;
  fresh.reserve(rows.size());
  std::unordered_set<std::wstring> seen;
  for (RecipientEntry& row : rows) {
    if (!row.tag.empty() && (recipients_.ContainsTag(row.tag) || !seen.insert(row.tag).second)) {
      continue;
    }
    fresh.push_back(std::move(row));
  }
  TakeSelection();
  recipients_.AddAll(std::move(fresh));
  ShowList();
}

void ComposePresenter::AddSelectedItems(SelectedItemRows selected) {
  AddPickedRecipients(std::move(selected.rows));
  if (selected.unread) {
    ports_.message_boxes.Show(kOutlookErrorTitle,
                              std::wstring(kSelectionUnreadText) + *selected.unread);
  }
}

void ComposePresenter::SetMessage(std::wstring_view text) {
  ports_.view.SetText(kMessageBox, text);
  OnMessageChanged();
}

// The user's selection, read from the list view before the rows change, so
// that the redraw keeps it on the same rows as the platform list does.
void ComposePresenter::TakeSelection() {
  recipients_.SelectOnly(ports_.view.SelectedRows(kRecipientList));
}

void ComposePresenter::ShowList() { ports_.view.ShowRows(kRecipientList, recipients_); }

std::wstring ComposePresenter::MessageText() const { return ports_.view.Text(kMessageBox); }

std::vector<RecipientEntry> ComposePresenter::RecipientRows() const { return recipients_.Rows(); }

bool ComposePresenter::DelayedSendTicked() const { return ports_.view.Checked(kDelayedSendCheck); }

std::optional<LocalDateTime> ComposePresenter::DelayedSendTime() const {
  return ports_.view.DateTime(kDelayedSendTime);
}

bool ComposePresenter::AccountButtonShown() const { return ports_.view.Visible(kAccountButton); }

void ComposePresenter::SetMessageText(std::wstring_view text) { SetMessage(text); }

void ComposePresenter::SetMobileText(std::wstring_view text) {
  ports_.view.SetText(kMobileBox, text);
}

void ComposePresenter::RemoveRecipients(std::span<const RecipientEntry> rows) {
  recipients_.Remove(rows);
  ShowList();
}

void ComposePresenter::SetDelayedSendTicked(bool ticked) {
  ports_.view.SetChecked(kDelayedSendCheck, ticked);
}

void ComposePresenter::FocusMessage() { ports_.view.Focus(kMessageBox); }

void ComposePresenter::FocusMobile() { ports_.view.Focus(kMobileBox); }

void ComposePresenter::FocusAccountButton() { ports_.view.Focus(kAccountButton); }

}  // namespace parvel
