#include "dialogs/stored_text.h"

#include "codec/gateway_text.h"

namespace parvel {

std::optional<std::wstring> UnstorableTextMessage(std::wstring_view what, std::wstring_view text,
                                                  const CodePage& code_page) {
  std::wstring lost;
  for (const std::wstring_view character : Characters(text)) {
    const std::wstring one(character);
    if (code_page.FromBytes(code_page.ToBytes(one)) == one || lost.find(one) != std::wstring::npos)
      continue;
    if (!lost.empty()) lost.push_back(L' ');
    lost.append(one);
  }
  if (lost.empty()) return std::nullopt;
  std::wstring message(what);
  message.append(L" holds characters that cannot be stored: ").append(lost);
  message.append(L"...Please write it without them...");
  return message;
}

}  // namespace parvel
