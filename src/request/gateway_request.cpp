#include "request/gateway_request.h"

#include <vector>

#include "codec/gateway_text.h"
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
  // would refuse where it stands, and every one the code page lacks: that
  // one would otherwise travel as "?".
  std::wstring Encode(const CodePage& code_page) const {
    std::string bytes;
    bytes.reserve(text_.size());
    std::vector<RefusedCharacter> refused;
    std::size_t done = 0;
    for (const Span& span : spans_) {
      bytes.append(code_page.ToBytes(std::wstring_view(text_).substr(done, span.start - done)));
      for (const std::wstring_view character :
           Characters(std::wstring_view(text_).substr(span.start, span.length))) {
        const std::string encoded = code_page.ToBytes(character);
        bool sendable = !encoded.empty() && code_page.FromBytes(encoded) == character;
        for (const char byte : encoded) {
          sendable = sendable && IsEncodableAt(static_cast<unsigned char>(byte), bytes.size());
          bytes.push_back(byte);
        }
        if (!sendable) {
          refused.push_back({span.field, span.row, std::wstring(character)});
        }
      }
      done = span.start + span.length;
    }
    bytes.append(code_page.ToBytes(std::wstring_view(text_).substr(done)));
    if (!refused.empty()) throw RequestEncodingError(std::move(refused));
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

RequestEncodingError::RequestEncodingError(std::vector<RefusedCharacter> refused)
    : std::invalid_argument("the request holds characters that the gateway cannot carry"),
      refused_(std::move(refused)) {}

AddinVersion CurrentAddinVersion() { return {kVersionMajor, kVersionMinor, kVersionRevision}; }

GatewayRequest BuildGatewayRequest(const GatewayRequestInput& input, const Locale& locale,
                                   const CodePage& code_page) {
  const TransliterationRules rules = RulesForLanguage(locale.Language());
  const auto label = [&](std::wstring_view name) { return GatewayLabel(name, code_page, rules); };
  GatewayRequest request;
  request.to_address = input.settings.mail_address;

  Section section;
  std::wstring visible = L"To: ";
  section.Line(L"SMS-AccountId:=", input.settings.account, RequestField::Account);
  section.Line(L"SMS-SecurityKey:=", input.settings.password, RequestField::Password);
  section.Line(L"SMS-Version:=", VersionText(input.version), RequestField::Fixed);
  section.Line(L"SMS-BPID:=", L"0", RequestField::Fixed);
  if (!input.settings.name_prefix.empty()) {
    section.Line(L"SMS-NamePrefix:=", label(input.settings.name_prefix), RequestField::Label);
  }
  if (input.delayed_send) {
    section.Line(L"SMS-DelayedSend:=", FormatGatewayDate(*input.delayed_send, locale, code_page),
                 RequestField::DelayedSend);
  }

  for (std::size_t index = 0; index < input.rows.size(); ++index) {
    const RecipientEntry& row = input.rows[index];
    if (row.kind != RecipientEntry::Kind::Envelope) continue;
    const std::wstring mobile = RemoveCrLf(row.mobile);
    const std::wstring name = RemoveCrLf(row.name);
    if (request.recipient_count == 0) {
      request.first_recipient = IsUnknown(mobile) ? name : mobile;
    }
    ++request.recipient_count;
    section.Line(L"SMS-Recp:=", mobile, RequestField::Mobile, index);
    section.Line(L"SMS-Recn:=", label(name), RequestField::Label);
    visible.append(row.mobile).append(L" (").append(row.name).append(L"), ");
  }

  const std::wstring message = RemoveCrLf(input.message);
  visible.append(kCrLf).append(L"Message: ").append(message).append(kCrLf);
  section.Line(L"SMS-Body:=", message, RequestField::Message);
  section.Line(L"SMS-Name:=", label(input.user_name), RequestField::Label);

  request.body = visible;
  request.body.append(kStartMarker).append(kCrLf);
  request.body.append(section.Encode(code_page)).append(kCrLf);
  request.body.append(kEndMarker);

  request.subject = request.recipient_count == 1
                        ? std::wstring(kSubjectSinglePrefix) + request.first_recipient
                        : std::wstring(kSubjectMultiple);
  return request;
}

}  // namespace parvel
