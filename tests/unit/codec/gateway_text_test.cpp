#include "codec/gateway_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parvel {
namespace {

using Rules = TransliterationRules;

std::wstring Sent(std::wstring_view text, Rules rules = Rules::Latin) {
  return ToGatewayText(text, Windows1252CodePage(), rules).text;
}

TEST(GatewayText, WritesEachCharacterTheGatewayMayRefuseInItsPlainForm) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* latin;
    const wchar_t* german;
  };
  const Case cases[] = {
      {L"J\u00FCrgen M\u00FCller", L"Jurgen Muller", L"Juergen Mueller"},
      {L"Gr\u00FC\u00DFe aus K\u00F6ln", L"Grusse aus Koln", L"Gruesse aus Koeln"},
      {L"\u00C4pfel \u00C4RGER \u00C4", L"Apfel ARGER A", L"Aepfel AERGER AE"},
      {L"Rendez-vous au caf\u00E9", L"Rendez-vous au cafe", nullptr},
      {L"Se\u00F1or N\u00FA\u00F1ez", L"Senor Nunez", nullptr},
      {L"\u0141ukasz \u017B\u00F3\u0142kiewski", L"Lukasz Zolkiewski", nullptr},
      {L"S\u00F8ren \u00C6r\u00F8 \u00C5se \u00DEor", L"Soren AEro Ase THor", nullptr},
      // "…" is byte 133 in Windows-1252: always carried, so left as it is.
      {L"It\u2019s \u201Cdone\u201D \u2013 really\u2026", L"It's \"done\" - really\u2026", nullptr},
      {L"a\u00A0b", L"a b", nullptr},
      {L"\u041F\u0440\u0438\u0432\u0435\u0442 \u0416\u0443\u043A", L"Privet Zuk", nullptr},
      {L"\u0391\u03B8\u03AE\u03BD\u03B1", L"Athena", nullptr},
      {L"e\u0301", L"e", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.typed)));
    EXPECT_EQ(Sent(c.typed), c.latin);
    EXPECT_EQ(Sent(c.typed, Rules::German), c.german != nullptr ? c.german : c.latin);
  }
}

TEST(GatewayText, LeavesWhatTheGatewayAlwaysCarriesAndCountsTheRest) {
  // ASCII and bytes up to 133 (the euro sign, "…") pass beside every key.
  EXPECT_EQ(Sent(L"A\u20AC\u2026z~"), L"A\u20AC\u2026z~");
  const GatewayText text = ToGatewayText(L"K\u00F6ln, K\u00F6ln \u4F1A\u8B70 \u00DF",
                                         Windows1252CodePage(), Rules::Latin);
  EXPECT_EQ(text.text, L"Koln, Koln \u4F1A\u8B70 ss") << "a character without a form stays";
  EXPECT_EQ(text.replaced, (std::vector<std::wstring>{L"\u00F6", L"\u00DF"}));
  EXPECT_EQ(text.replaced_places, 3U);
  EXPECT_EQ(text.unsendable, (std::vector<std::wstring>{L"\u4F1A", L"\u8B70"}));
  EXPECT_EQ(text.unsendable_places, 2U);
  EXPECT_FALSE(text.Sendable());
}

TEST(GatewayText, ACharacterIsJudgedByTheCodePageNeverAsAQuestionMark) {
  // "Ā" has no byte in Windows-1252: its plain form is sent, not "?".
  EXPECT_EQ(Sent(L"\u0100?"), L"A?");
  EXPECT_FALSE(AlwaysCarried(L"\u0100", Windows1252CodePage()));
  EXPECT_FALSE(AlwaysCarried(L"\u00E9", Windows1252CodePage()));
  EXPECT_TRUE(AlwaysCarried(L"\u20AC", Windows1252CodePage()));
  EXPECT_TRUE(AlwaysCarried(L"?", Windows1252CodePage()));
}

TEST(GatewayText, AnEmojiIsOneCharacter) {
  const std::wstring emoji = L"\U0001F600";
  const GatewayText text = ToGatewayText(L"ok " + emoji, Windows1252CodePage(), Rules::Latin);
  EXPECT_EQ(text.unsendable, std::vector<std::wstring>{emoji});
  EXPECT_EQ(text.unsendable_places, 1U);
  EXPECT_EQ(Characters(L"a" + emoji + L"b").size(), 3U);
}

TEST(GatewayText, LabelsLeaveOutWhatHasNoFormAndAreNeverEmptied) {
  const auto label = [](std::wstring_view name) {
    return GatewayLabel(name, Windows1252CodePage(), Rules::German);
  };
  EXPECT_EQ(label(L"J\u00FCrgen M\u00FCller"), L"Juergen Mueller");
  EXPECT_EQ(label(L"\u738B\u4F1F (Wang Wei)"), L" (Wang Wei)");
  EXPECT_EQ(label(L"\u738B\u4F1F"), L"Unknown");
  EXPECT_EQ(label(L"\u738B \u4F1F"), L"Unknown");
  EXPECT_EQ(label(L""), L"") << "an empty name stays empty";
}

}  // namespace
}  // namespace parvel
