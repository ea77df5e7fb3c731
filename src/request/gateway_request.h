#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "codec/code_page.h"
#include "codec/secret_text.h"
#include "recipients/recipient_entry.h"
#include "request/delayed_send.h"
#include "settings/account_settings.h"

namespace parvel {

inline constexpr std::wstring_view kStartMarker = L"=====Start Qel encryption======";
inline constexpr std::wstring_view kEndMarker = L"=====End Qel encryption======";
inline constexpr std::wstring_view kSubjectMultiple = L"SMS Message (Multiple recipients)";
inline constexpr std::wstring_view kSubjectSinglePrefix = L"SMS Message to ";

// The one e-mail that a send produces for the gateway.
struct GatewayRequest {
  std::wstring to_address;
  std::wstring subject;
  std::wstring body;
  // Envelope rows that took part; the subject names the recipient when it is 1.
  int recipient_count = 0;
  std::wstring first_recipient;
};

struct AddinVersion {
  int major;
  int minor;
  int revision;
};

AddinVersion CurrentAddinVersion();

struct GatewayRequestInput {
  const AccountSettings& settings;
  std::wstring_view user_name;
  AddinVersion version = CurrentAddinVersion();
  std::optional<LocalDateTime> delayed_send;  // none when delayed send is not ticked
  std::span<const RecipientEntry> rows;
  std::wstring_view message;
};

// Where a value of the enciphered section comes from. Fixed values and the
// names (labels, written in their plain form) are never refused.
enum class RequestField { Fixed, Label, Account, Password, DelayedSend, Mobile, Message };

// One character of the section that cannot reach the gateway as it is.
struct RefusedCharacter {
  RequestField field;
  std::size_t row;  // index into the input rows, for Mobile
  std::wstring character;

  bool operator==(const RefusedCharacter&) const = default;
};

// Raised instead of a codec error so that the user can be told which
// characters of which field cannot be sent.
class RequestEncodingError : public std::invalid_argument {
 public:
  explicit RequestEncodingError(std::vector<RefusedCharacter> refused);
  const std::vector<RefusedCharacter>& refused() const noexcept { return refused_; }

 private:
  std::vector<RefusedCharacter> refused_;
};

// Builds address, subject and body. Only Envelope rows take part. The names
// in the section (sender, recipients, name prefix) are written in their plain
// form by the locale's rules where the gateway cannot carry them; the visible
// half keeps them as they are. Throws RequestEncodingError, listing every
// refused character, when the section cannot be enciphered.
GatewayRequest BuildGatewayRequest(const GatewayRequestInput& input,
                                   const Locale& locale = UserLocale(),
                                   const CodePage& code_page = SystemCodePage());

}  // namespace parvel
