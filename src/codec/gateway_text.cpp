#include "codec/gateway_text.h"

#include <algorithm>
#include <map>

#include "codec/secret_text.h"

namespace parvel {
namespace {

constexpr std::wstring_view kNothingLeft = L"Unknown";

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char32_t CodePoint(std::wstring_view character) {
  if (character.size() == 2) {
    return 0x10000 + ((static_cast<char32_t>(character[0]) - 0xD800) << 10) +
           (static_cast<char32_t>(character[1]) - 0xDC00);
  }
  return static_cast<char32_t>(character[0]);
}

void AddOnce(std::vector<std::wstring>& characters, std::wstring_view character) {
  if (std::find(characters.begin(), characters.end(), character) == characters.end()) {
    characters.emplace_back(character);
  }
}

// The code page is asked once per distinct character of a text.
class CarriedCache {
 public:
  explicit CarriedCache(const CodePage& code_page) : code_page_(code_page) {}

  bool operator()(std::wstring_view character) {
    if (character.size() == 1 && character[0] < 0x80) return true;
    const auto known = known_.find(std::wstring(character));
    if (known != known_.end()) return known->second;
    const bool carried = AlwaysCarried(character, code_page_);
    known_.emplace(character, carried);
    return carried;
  }

 private:
  const CodePage& code_page_;
  std::map<std::wstring, bool, std::less<>> known_;
};

}  // namespace

std::vector<std::wstring_view> Characters(std::wstring_view text) {
  std::vector<std::wstring_view> characters;
  characters.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool pair =
        IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
    characters.push_back(text.substr(i, pair ? 2 : 1));
    if (pair) ++i;
  }
  return characters;
}

bool AlwaysCarried(std::wstring_view character, const CodePage& code_page) {
  const std::string bytes = code_page.ToBytes(character);
  if (bytes.empty() || code_page.FromBytes(bytes) != character) return false;
  return std::all_of(bytes.begin(), bytes.end(), [](char byte) {
    return static_cast<unsigned char>(byte) <= kAlwaysEncodableByte;
  });
}

GatewayText ToGatewayText(std::wstring_view text, const CodePage& code_page,
                          TransliterationRules rules) {
  GatewayText result;
  result.text.reserve(text.size());
  CarriedCache carried(code_page);
  const std::vector<std::wstring_view> characters = Characters(text);
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const std::wstring_view character = characters[i];
    if (carried(character)) {
      result.text.append(character);
      continue;
    }
    const bool before_lowercase =
        i + 1 < characters.size() && IsLowercaseLetter(CodePoint(characters[i + 1]));
    const std::optional<std::string_view> plain =
        PlainForm(CodePoint(character), before_lowercase, rules);
    if (!plain) {
      result.text.append(character);
      AddOnce(result.unsendable, character);
      ++result.unsendable_places;
      continue;
    }
    result.text.append(plain->begin(), plain->end());
    AddOnce(result.replaced, character);
    ++result.replaced_places;
  }
  return result;
}

std::wstring GatewayLabel(std::wstring_view name, const CodePage& code_page,
                          TransliterationRules rules) {
  const GatewayText gateway = ToGatewayText(name, code_page, rules);
  if (gateway.Sendable()) return gateway.text;
  std::wstring kept;
  for (const std::wstring_view character : Characters(gateway.text)) {
    if (std::find(gateway.unsendable.begin(), gateway.unsendable.end(), character) ==
        gateway.unsendable.end()) {
      kept.append(character);
    }
  }
  const bool nothing_left =
      std::all_of(kept.begin(), kept.end(), [](wchar_t ch) { return ch == L' '; });
  return nothing_left ? std::wstring(kNothingLeft) : kept;
}

}  // namespace parvel
