#include "workflows/send_workflow.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "request/delayed_send.h"
#include "request/gateway_request.h"
#include "workflows/gateway_message.h"
#include "workflows/send_problem_text.h"

namespace parvel {
namespace {

constexpr std::wstring_view kNoMessageTitle = L"No Message";
constexpr std::wstring_view kNoMessageText = L"You must enter the message text...";
constexpr std::wstring_view kNoRecipientsTitle = L"No Recipients";
constexpr std::wstring_view kNoRecipientsText = L"There are no recipients to send to...";
constexpr std::wstring_view kNoAccountTitle = L"No Account";
constexpr std::wstring_view kNoAccountText =
    L"There is no account information. Please use the account button to complete the "
    L"information required and try again...";
constexpr std::wstring_view kNoMailAddressTitle = L"No Mail Address";
constexpr std::wstring_view kNoMailAddressText =
    L"There is no mail address to send to. You need help from the system suppliers and we "
    L"cannot procede...";
constexpr std::wstring_view kBadDelayedSendTitle = L"Bad Delayed Send";
constexpr std::wstring_view kDelayedSendInvalidText =
    L"If you use delayed send you must specify a valid date and time...";
constexpr std::wstring_view kDelayedSendPastText =
    L"If you use delayed send, the time must be in the future...";
constexpr std::wstring_view kUnknownUserTitle = L"Outlook Error";
constexpr std::wstring_view kUnknownUserText =
    L"Outlook cannot tell who you are, and the SMS gateway needs your Outlook user name:\r\n\r\n";
constexpr std::wstring_view kUnknownUserTail =
    L"\r\n\r\nNothing has been sent. Your recipients and message have been kept so that you "
    L"can try again...";
constexpr std::wstring_view kEmptyUserName = L"Outlook gave an empty user name.";
constexpr std::wstring_view kReplaceCharactersTitle = L"Replace Characters";
constexpr std::wstring_view kReplaceIntro =
    L"These characters cannot be sent through the SMS gateway: ";
constexpr std::wstring_view kReplaceSentAs = L"The message will be sent as:";
constexpr std::wstring_view kReplaceQuestion = L"Send it like this?";
constexpr std::wstring_view kCrLf = L"\r\n";
constexpr std::wstring_view kOutlookWithoutExchangeTitle = L"Outlook without Exchange";
constexpr std::wstring_view kOutlookWithoutExchangeText =
    L"You do not appear to be using Outlook with Microsoft Exchange. This version is designed to "
    L"be used with Outlook and Exchange only. \r\n\r\nYou will need to download and install the "
    L"stand-alone version if you you wish to send SMS messages.";

class SendClick {
 public:
  explicit SendClick(const SendWorkflowPorts& ports)
      : ports_(ports),
        typed_message_(ports.view.MessageText()),
        message_(typed_message_),
        rows_(ports.view.RecipientRows()) {}

  // The checks in their fixed order; the first failure is shown and ends the click.
  bool Validate() {
    ComposeView& view = ports_.view;
    if (message_.empty()) {
      Warn(kNoMessageTitle, kNoMessageText);
      view.FocusMessage();
      return false;
    }
    if (rows_.empty()) {
      Warn(kNoRecipientsTitle, kNoRecipientsText);
      view.FocusMobile();
      return false;
    }
    const AccountSettings& settings = ports_.session.account_settings;
    if (settings.account.empty()) {
      Warn(kNoAccountTitle, kNoAccountText);
      if (view.AccountButtonShown()) view.FocusAccountButton();
      return false;
    }
    if (settings.mail_address.empty()) {
      Warn(kNoMailAddressTitle, kNoMailAddressText);
      return false;
    }
    if (!view.DelayedSendTicked()) return true;
    // The picked value itself, full year included: read back as text it
    // would depend on the locale's month names.
    const std::optional<LocalDateTime> when = view.DelayedSendTime();
    if (!when || !IsRealDateTime(*when)) {
      Warn(kBadDelayedSendTitle, kDelayedSendInvalidText);
      return false;
    }
    // Whole minutes only: a time earlier in the present minute still counts as now.
    if (MinuteNumber(*when) < MinuteNumber(ports_.clock.Now())) {
      Warn(kBadDelayedSendTitle, kDelayedSendPastText);
      return false;
    }
    delayed_send_ = when;
    return true;
  }

  // The gateway needs the sender's name. When Outlook could not give it as
  // the window loaded, it is asked again now rather than sent empty.
  bool KnowUser() {
    Session& session = ports_.session;
    if (!session.user_display_name.empty()) return true;
    std::wstring reason(kEmptyUserName);
    try {
      session.ReadCurrentUser();
    } catch (const host::HostError& error) {
      reason = error.message();
    }
    if (!session.user_display_name.empty()) return true;
    Warn(kUnknownUserTitle,
         std::wstring(kUnknownUserText) + reason + std::wstring(kUnknownUserTail));
    return false;
  }

  // The message as the gateway will carry it. A character it cannot carry
  // but that has a plain form is offered in that form, everywhere in the
  // message, and sent so only when the user agrees; one without is refused.
  bool SettleMessage() {
    const Session& session = ports_.session;
    const MessagePreview preview =
        PreviewMessage(message_, session.account_settings, session.user_display_name, ports_.locale,
                       ports_.code_page);
    const GatewayText& gateway = preview.message;
    if (!gateway.Sendable()) {
      std::vector<RefusedCharacter> refused;
      for (const std::wstring& character : gateway.unsendable) {
        refused.push_back({RequestField::Message, 0, character});
      }
      Warn(kUnsupportedCharactersTitle, DescribeRefusedCharacters(refused, rows_));
      return false;
    }
    if (gateway.replaced.empty()) return true;
    std::wstring offer(kReplaceIntro);
    offer.append(JoinedCharacters(gateway.replaced)).append(kCrLf).append(kCrLf);
    offer.append(kReplaceSentAs).append(kCrLf).append(gateway.text).append(kCrLf).append(kCrLf);
    if (preview.used > kAdvisedLength) {
      offer.append(L"It is then " + std::to_wstring(preview.used) +
                   L" characters long with your name, more than " +
                   std::to_wstring(kAdvisedLength) + L".");
      offer.append(kCrLf).append(kCrLf);
    }
    offer.append(kReplaceQuestion);
    if (!ports_.message_boxes.Ask(kReplaceCharactersTitle, offer)) return false;
    message_ = gateway.text;
    return true;
  }

  // Built before anything exists on the host, so text the gateway cannot
  // carry is reported without a half-made mail item left behind.
  std::optional<GatewayRequest> Build() {
    try {
      return BuildGatewayRequest({.settings = ports_.session.account_settings,
                                  .user_name = ports_.session.user_display_name,
                                  .delayed_send = delayed_send_,
                                  .rows = rows_,
                                  .message = message_},
                                 ports_.locale, ports_.code_page);
    } catch (const RequestEncodingError& error) {
      Warn(kUnsupportedCharactersTitle, DescribeRefusedCharacters(error.refused(), rows_));
    }
    return std::nullopt;
  }

  // Whether the host took the e-mail, through the path this connection sends
  // by. The mail item is released when this ends.
  bool Submit(const GatewayRequest& request) {
    Session& session = ports_.session;
    std::unique_ptr<host::OutgoingMail> mail;
    try {
      mail = session.MailPath().NewMail(session.Host());
      if (!mail) {
        Warn(kOutlookWithoutExchangeTitle, kOutlookWithoutExchangeText);
        return false;
      }
      mail->AddressTo(request.to_address);
      mail->SetSubject(std::wstring(kSubjectMultiple));
      if (request.recipient_count == 1) mail->SetSubject(request.subject);
      mail->SetBody(request.body);
      mail->Save();
      mail->Send();
    } catch (...) {
      Warn(kSendFailedTitle, DescribeSendFailure(std::current_exception()));
      return false;
    }
    return true;
  }

  // Flushes the outbox at once, through the path the mail went by (chosen
  // by then); failures are passed over.
  void DeliverNow() {
    Session& session = ports_.session;
    session.MailPath().DeliverNow(session.Diagnostics());
  }

  // Ready for the next message; the delayed-send box keeps its text. Rows
  // and a message that other windows put in while the question was open
  // were not sent, and stay.
  void ClearWindow() {
    ComposeView& view = ports_.view;
    view.RemoveRecipients(rows_);
    if (view.MessageText() == typed_message_) view.SetMessageText(L"");
    view.SetMobileText(L"");
    view.FocusMobile();
    view.SetDelayedSendTicked(false);
  }

 private:
  void Warn(std::wstring_view title, std::wstring_view text) {
    ports_.message_boxes.Show(title, text, MessageIcon::Exclamation);
  }

  const SendWorkflowPorts& ports_;
  const std::wstring typed_message_;
  std::wstring message_;  // as it is sent
  std::vector<RecipientEntry> rows_;
  std::optional<LocalDateTime> delayed_send_;
};

}  // namespace

bool RunSendWorkflow(const SendWorkflowPorts& ports) {
  SendClick click(ports);
  if (!click.Validate() || !click.KnowUser() || !click.SettleMessage()) return false;
  const std::optional<GatewayRequest> request = click.Build();
  if (!request || !click.Submit(*request)) return false;
  click.DeliverNow();
  click.ClearWindow();
  return true;
}

}  // namespace parvel
