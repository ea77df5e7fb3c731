#include "workflows/gateway_message.h"

namespace parvel {
namespace {

// A line break is one character to the gateway's count.
std::size_t CountedLength(std::wstring_view text) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    ++length;
  }
  return length;
}

std::wstring Characters(std::size_t count) {
  return std::to_wstring(count) + (count == 1 ? L" character" : L" characters");
}

}  // namespace

MessagePreview PreviewMessage(std::wstring_view message, const AccountSettings& settings,
                              std::wstring_view user_name, const Locale& locale,
                              const CodePage& code_page) {
  const TransliterationRules rules = RulesForLanguage(locale.Language());
  MessagePreview preview{.message = ToGatewayText(message, code_page, rules)};
  preview.used = CountedLength(preview.message.text) + 1 +
                 GatewayLabel(settings.name_prefix, code_page, rules).size() +
                 GatewayLabel(user_name, code_page, rules).size();
  return preview;
}

std::wstring ReplacementNote(const GatewayText& message) {
  const std::size_t replaced = message.replaced_places;
  const std::size_t refused = message.unsendable_places;
  if (replaced == 0 && refused == 0) return {};
  if (refused == 0) return Characters(replaced) + L" will be replaced";
  if (replaced == 0) return Characters(refused) + L" cannot be sent";
  return Characters(replaced) + L" will be replaced, " + std::to_wstring(refused) +
         L" cannot be sent";
}

}  // namespace parvel
