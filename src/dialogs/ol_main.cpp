#include "dialogs/ol_main.h"

#include <cstdint>
#include <exception>
#include <unordered_set>
#include <utility>

#include "dialogs/ol_main_controls.h"
#include "parvel/version.h"
#include "platform/scope_exit.h"
#include "request/delayed_send.h"
#include "workflows/account_settings_load.h"
#include "workflows/gateway_message.h"
#include "workflows/send_workflow.h"
#include "workflows/unsent_work.h"

namespace parvel {
namespace {

using namespace ol_main_controls;

constexpr std::wstring_view kHandTypedName = L"Unknown";
constexpr int kDelayedSendHours = 12;
// After the caption while the window holds work that was kept when it last
// went away with Outlook.
constexpr std::wstring_view kRestoredCaption = L" - Restored, not sent yet";

std::wstring Caption() {
  return L"Parvel" + std::wstring(44, L' ') + L"- " + std::wstring(kVersionText);
}

}  // namespace

OLMain::OLMain(const OLMainPorts& ports) : ports_(ports) {}

void OLMain::Form_Load() {
  Session& session = ports_.session;
  try {
    session.ReadCurrentUser();
  } catch (const std::exception& error) {
    // The window still opens: sending needs the host again and says so then.
    ports_.message_boxes.Show(kOutlookErrorTitle, host::FailureText(error));
  }
  ShowList();
  const std::wstring show_account =
      LoadAccountSettings(ports_.registry, ports_.message_boxes, session.AccountSettings);
  if (show_account == L"0") ports_.view.SetVisible(kCommand5, false);
  const LocalDateTime later =
      FromMinuteNumber(MinuteNumber(ports_.clock.Now()) + std::int64_t{kDelayedSendHours} * 60);
  ports_.view.SetDateTime(kMaskEdBox1, later);
  ports_.view.SetCaption(Caption());
  RestoreUnsentWork();
}

void OLMain::RestoreUnsentWork() {
  host::Diagnostics& diagnostics = ports_.session.Diagnostics();
  std::optional<UnsentWork> work;
  try {
    work = ReadUnsentWork(ports_.registry);
    if (!work) return;
    TakeSelection();
    recipients_.AddAll(std::move(work->Rows));
  } catch (const std::exception&) {
    // Kept values changed by hand: nothing comes back, and nothing stays.
    diagnostics.Report(L"Unsent work", host::DescribeFailure(std::current_exception()));
    ForgetUnsentWork(ports_.registry);
    return;
  }
  ShowList();
  SetMessage(work->Message);
  ports_.view.SetChecked(kCheck1, work->DelayedSend);
  if (work->DelayedSendTime) ports_.view.SetDateTime(kMaskEdBox1, *work->DelayedSendTime);
  ports_.view.SetCaption(Caption() + std::wstring(kRestoredCaption));
  restored_ = true;
}

void OLMain::KeepUnsentWork() {
  const std::wstring message = MessageText();
  std::int32_t code = kErrorSuccess;
  if (message.empty() && recipients_.Count() == 0) {
    code = ForgetUnsentWork(ports_.registry);
  } else {
    code = parvel::KeepUnsentWork(ports_.registry, {.Message = message,
                                                    .Rows = recipients_.Rows(),
                                                    .DelayedSend = DelayedSendTicked(),
                                                    .DelayedSendTime = DelayedSendTime()});
  }
  if (code != kErrorSuccess) {
    ports_.session.Diagnostics().Report(L"Unsent work",
                                        L"cannot be kept, registry error " + std::to_wstring(code));
  }
}

void OLMain::ForgetRestoredWork() {
  if (!restored_) return;
  restored_ = false;
  ForgetUnsentWork(ports_.registry);
  ports_.view.SetCaption(Caption());
}

void OLMain::ForgetRestoredWorkIfCleared() {
  if (restored_ && recipients_.Count() == 0 && MessageText().empty()) ForgetRestoredWork();
}

// The count is of the text as the gateway will get it, and the line under it
// says which characters will not reach it as typed.
void OLMain::Text1_Change() {
  const Session& session = ports_.session;
  const MessagePreview preview =
      PreviewMessage(ports_.view.Text(kText1), session.AccountSettings, session.UserDisplayName,
                     ports_.locale, ports_.code_page);
  ports_.view.SetText(kLabel5,
                      L"Used : " + std::to_wstring(preview.used) + L" chars (incl. EMail name)");
  ports_.view.SetText(kLabel10, ReplacementNote(preview.message));
  ForgetRestoredWorkIfCleared();
}

std::wstring OLMain::HandTypedKey(std::wstring_view mobile) const {
  const std::wstring key = L"x" + std::wstring(mobile) + std::to_wstring(recipients_.Count() + 1);
  // "x" + "12" + "1" and "x" + "1" + "21" are the same text; the later row
  // gets a suffix so that every key stays distinct.
  std::wstring distinct = key;
  for (int suffix = 2; recipients_.ContainsKey(distinct); ++suffix) {
    distinct = key + L"#" + std::to_wstring(suffix);
  }
  return distinct;
}

void OLMain::Command1_Click() {
  const std::wstring mobile = ports_.view.Text(kText2);
  if (mobile.empty()) return;
  TakeSelection();
  recipients_.Add({.Name = std::wstring(kHandTypedName),
                   .Mobile = mobile,
                   .Kind = std::wstring(kKindEnvelope),
                   .Key = HandTypedKey(mobile)});
  ShowList();
  ports_.view.SetText(kText2, L"");
  ports_.view.Focus(kText1);
}

void OLMain::Command2_Click() {
  // The user may click again while the window loads.
  ports_.view.SetEnabled(kCommand2, false);
  const ScopeExit enable([this] { ports_.view.SetEnabled(kCommand2, true); });
  ports_.windows.ShowContactsPicker();
}

void OLMain::Command3_Click() {
  const bool sent = RunSendWorkflow({.session = ports_.session,
                                     .view = *this,
                                     .message_boxes = ports_.message_boxes,
                                     .clock = ports_.clock,
                                     .locale = ports_.locale,
                                     .code_page = ports_.code_page});
  if (sent) ForgetRestoredWork();
}

// Closing is the user's own clearing: the window's work is lost, kept or not.
void OLMain::Command4_Click() {
  ForgetRestoredWork();
  ports_.view.Close();
}

void OLMain::Command5_Click() {
  ports_.view.SetEnabled(kCommand5, false);
  const ScopeExit enable([this] { ports_.view.SetEnabled(kCommand5, true); });
  ports_.windows.ShowAccountWindow();
}

void OLMain::Command6_Click() {
  recipients_.SetSorted(false);
  TakeSelection();
  recipients_.RemoveSelected();
  recipients_.SetSorted(true);
  ShowList();
  ForgetRestoredWorkIfCleared();
}

void OLMain::Command7_Click() { ports_.windows.ShowTemplatesWindow(); }

void OLMain::ListView1_ColumnClick(int column) {
  TakeSelection();
  recipients_.SetSortColumn(column == 1 ? RecipientList::Column::Mobile
                                        : RecipientList::Column::Name);
  recipients_.SetSorted(true);
  ShowList();
}

void OLMain::AddPickedRecipients(std::vector<RecipientEntry> rows) {
  std::vector<RecipientEntry> fresh;
  fresh.reserve(rows.size());
  std::unordered_set<std::wstring> seen;
  for (RecipientEntry& row : rows) {
    if (!row.Tag.empty() && (recipients_.ContainsTag(row.Tag) || !seen.insert(row.Tag).second)) {
      continue;
    }
    fresh.push_back(std::move(row));
  }
  TakeSelection();
  recipients_.AddAll(std::move(fresh));
  ShowList();
}

void OLMain::SetMessage(std::wstring_view text) {
  ports_.view.SetText(kText1, text);
  Text1_Change();
}

// The user's selection, read from the list view before the rows change, so
// that the redraw keeps it on the same rows as the platform list does.
void OLMain::TakeSelection() { recipients_.SelectOnly(ports_.view.SelectedRows(kListView1)); }

void OLMain::ShowList() { ports_.view.ShowRows(kListView1, recipients_); }

std::wstring OLMain::MessageText() const { return ports_.view.Text(kText1); }

std::vector<RecipientEntry> OLMain::RecipientRows() const { return recipients_.Rows(); }

bool OLMain::DelayedSendTicked() const { return ports_.view.Checked(kCheck1); }

std::optional<LocalDateTime> OLMain::DelayedSendTime() const {
  return ports_.view.DateTime(kMaskEdBox1);
}

bool OLMain::AccountButtonShown() const { return ports_.view.Visible(kCommand5); }

void OLMain::SetMessageText(std::wstring_view text) { SetMessage(text); }

void OLMain::SetMobileText(std::wstring_view text) { ports_.view.SetText(kText2, text); }

void OLMain::ClearRecipients() {
  recipients_.Clear();
  ShowList();
}

void OLMain::SetDelayedSendTicked(bool ticked) { ports_.view.SetChecked(kCheck1, ticked); }

void OLMain::FocusMessage() { ports_.view.Focus(kText1); }

void OLMain::FocusMobile() { ports_.view.Focus(kText2); }

void OLMain::FocusAccountButton() { ports_.view.Focus(kCommand5); }

}  // namespace parvel
