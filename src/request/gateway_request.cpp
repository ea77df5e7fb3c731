#include "request/gateway_request.h"

#include <algorithm>

#include <vector>

#include "codec/plain_text.h"
#include "parvel/version.h"

namespace parvel {
namespace {

constexpr std::wstring_view kCrLf = L"\r\n";

bool IsUnknown(std::wstring_view text) { return EqualsIgnoringCase(text, L"unknown"); }

// The section text together with where each value in it came from.
class Section {
 public:
  void Line(std::wstring_view key, std::wstring_view value, RequestField field,
            std::size_t row = 0) {
    text_.append(key);
    spans_.push_back({text_.size(), value.size(), field, row});
    text_.append(value).append(kCrLf);
  }

  // Enciphers the whole section, or reports every character that the codec
  // would refuse where it stands.
  std::wstring Encode(const CodePage& code_page) const {
    const std::string bytes = code_page.ToBytes(text_);
    if (bytes.size() == text_.size()) {
      std::vector<RefusedCharacter> refused;
      std::size_t first = bytes.size();
      for (const Span& span : spans_) {
        for (std::size_t i = span.start; i < span.start + span.length; ++i) {
          if (!IsEncodableAt(static_cast<unsigned char>(bytes[i]), i)) {
            refused.push_back({span.field, span.row, text_[i]});
            first = std::min(first, i);
          }
        }
      }
      if (!refused.empty()) throw RequestEncodingError(first, std::move(refused));
    }
    return EncodeSecretBytes(bytes);
  }

 private:
  struct Span {
    std::size_t start;
    std::size_t length;
    RequestField field;
    std::size_t row;
  };
  std::wstring text_;
  std::vector<Span> spans_;
};

std::wstring VersionText(const AddinVersion& version) {
  return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
         std::to_wstring(version.revision);
}

}  // namespace

RequestEncodingError::RequestEncodingError(std::size_t position,
                                           std::vector<RefusedCharacter> refused)
    : SecretTextError(SecretTextErrorKind::InvalidArgument, position,
                      "the request holds characters that cannot be enciphered"),
      refused_(std::move(refused)) {}

AddinVersion CurrentAddinVersion() { return {kVersionMajor, kVersionMinor, kVersionRevision}; }

GatewayRequest BuildGatewayRequest(const GatewayRequestInput& input, const Locale& locale,
                                   const CodePage& code_page) {
  GatewayRequest request;
  request.ToAddress = input.settings.MailAddress;

  Section section;
  std::wstring visible = L"To: ";
  section.Line(L"SMS-AccountId:=", input.settings.Account, RequestField::Account);
  section.Line(L"SMS-SecurityKey:=", input.settings.Password, RequestField::Password);
  section.Line(L"SMS-Version:=", VersionText(input.version), RequestField::Fixed);
  section.Line(L"SMS-BPID:=", L"0", RequestField::Fixed);
  if (!input.settings.NamePrefix.empty()) {
    section.Line(L"SMS-NamePrefix:=", input.settings.NamePrefix, RequestField::NamePrefix);
  }
  if (input.delayed_send) {
    section.Line(L"SMS-DelayedSend:=", FormatGatewayDate(*input.delayed_send, locale, code_page),
                 RequestField::DelayedSend);
  }

  for (std::size_t index = 0; index < input.rows.size(); ++index) {
    const RecipientEntry& row = input.rows[index];
    if (row.Kind != kKindEnvelope) continue;
    const std::wstring mobile = RemoveCrLf(row.Mobile);
    const std::wstring name = RemoveCrLf(row.Name);
    if (request.RecipientCount == 0) {
      request.FirstRecipient = IsUnknown(mobile) ? name : mobile;
    }
    ++request.RecipientCount;
    section.Line(L"SMS-Recp:=", mobile, RequestField::Mobile, index);
    section.Line(L"SMS-Recn:=", name, RequestField::Name, index);
    visible.append(row.Mobile).append(L" (").append(row.Name).append(L"), ");
  }

  const std::wstring message = RemoveCrLf(input.message);
  visible.append(kCrLf).append(L"Message: ").append(message).append(kCrLf);
  section.Line(L"SMS-Body:=", message, RequestField::Message);
  section.Line(L"SMS-Name:=", input.user_name, RequestField::UserName);

  request.Body = visible;
  request.Body.append(kStartMarker).append(kCrLf);
  request.Body.append(section.Encode(code_page)).append(kCrLf);
  request.Body.append(kEndMarker);

  request.Subject = request.RecipientCount == 1
                        ? std::wstring(kSubjectSinglePrefix) + request.FirstRecipient
                        : std::wstring(kSubjectMultiple);
  return request;
}

}  // namespace parvel
