#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codec/code_page.h"
#include "codec/secret_text.h"
#include "request/gateway_request.h"

namespace parvel::test {

// A gateway mail's body: the visible half (up to the start marker, with its
// last line end) and the section between the markers, deciphered.
struct OpenedBody {
  std::wstring visible;
  std::wstring section;
};

// Opens a body, expecting the markers each on a line of its own and nothing
// after the end marker.
inline OpenedBody OpenSentBody(const std::wstring& body) {
  const std::wstring start = std::wstring(kStartMarker) + L"\r\n";
  const auto at = body.find(start);
  EXPECT_NE(at, std::wstring::npos) << "no start marker";
  if (at == std::wstring::npos) return {};
  const std::wstring visible = body.substr(0, at);
  EXPECT_TRUE(visible.ends_with(L"\r\n"));
  const auto hex_at = at + start.size();
  const auto hex_end = body.find(L"\r\n", hex_at);
  EXPECT_EQ(body.substr(std::min(hex_end, body.size())), L"\r\n" + std::wstring(kEndMarker));
  return {visible, DecodeSecretText(body.substr(hex_at, hex_end - hex_at), Windows1252CodePage())};
}

// The body handed to a mail item of either path among host calls, or empty
// when none was.
inline std::wstring HandedBody(const std::vector<std::wstring>& calls) {
  for (const std::wstring& call : calls) {
    for (const std::wstring prefix : {L"SafeMailItem.Body=", L"MailItem.Body="}) {
      if (call.starts_with(prefix)) return call.substr(prefix.size());
    }
  }
  return {};
}

}  // namespace parvel::test
