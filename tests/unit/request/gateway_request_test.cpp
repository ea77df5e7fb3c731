#include "request/gateway_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/rows.h"
#include "support/sent_body.h"
#include "support/test_locales.h"

namespace parvel {
namespace {

using test::kDistribution;
using test::Row;

struct Built {
  GatewayRequest request;
  std::vector<std::wstring> visible;  // lines before the start marker
  std::wstring section;               // deciphered
};

std::vector<std::wstring> Split(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t pos = 0;
  for (auto end = text.find(L"\r\n"); end != std::wstring::npos; end = text.find(L"\r\n", pos)) {
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  lines.push_back(text.substr(pos));
  return lines;
}

class GatewayRequestTest : public testing::Test {
 protected:
  AccountSettings settings{
      .account = L"acc1", .password = L"pw:=x", .mail_address = L"sms@gateway.zintara.example"};
  std::wstring user_name = L"Sales Desk";
  std::optional<LocalDateTime> delayed_send;

  Built Build(const std::vector<RecipientEntry>& rows, std::wstring_view message) {
    Built built;
    built.request = BuildGatewayRequest({.settings = settings,
                                         .user_name = user_name,
                                         .version = {1, 0, 26},
                                         .delayed_send = delayed_send,
                                         .rows = rows,
                                         .message = message},
                                        EnglishLocale(), Windows1252CodePage());
    const test::OpenedBody opened = test::OpenSentBody(built.request.body);
    built.visible = Split(opened.visible.substr(0, opened.visible.size() - 2));
    built.section = opened.section;
    return built;
  }
};

TEST_F(GatewayRequestTest, SubjectNamesTheOnlyRecipientOrSaysMultiple) {
  const Built two = Build({Row(L"A", L"a"), Row(L"B", L"b")}, L"m");
  EXPECT_EQ(two.request.subject, L"SMS Message (Multiple recipients)");
  EXPECT_EQ(two.visible.front(), L"To: a (A), b (B), ");

  EXPECT_EQ(Build({Row(L"Pat", L"UNKNOWN")}, L"m").request.subject, L"SMS Message to Pat");
  EXPECT_EQ(Build({Row(L"Pat", L"Un\r\nknown")}, L"m").request.subject, L"SMS Message to Pat");

  const Built none = Build({}, L"m");
  EXPECT_EQ(none.request.subject, L"SMS Message (Multiple recipients)");
  EXPECT_EQ(none.visible.front(), L"To: ");

  // A distribution row adds nothing and is not counted.
  const Built mixed =
      Build({Row(L"Team", L"Global Address List", kDistribution), Row(L"Kim", L"021")}, L"m");
  EXPECT_EQ(mixed.request.subject, L"SMS Message to 021");
  EXPECT_EQ(mixed.visible.front(), L"To: 021 (Kim), ");
  EXPECT_EQ(mixed.section.find(L"Team"), std::wstring::npos);
}

TEST_F(GatewayRequestTest, LineBreaksAreDeletedNotReplaced) {
  const Built built = Build({Row(L"Ann\r\nLee", L"0\r\n21")}, L"one\r\ntwo\r\nthree\rfour\n");
  EXPECT_EQ(built.visible, (std::vector<std::wstring>{L"To: 0", L"21 (Ann", L"Lee), ",
                                                      L"Message: onetwothree\rfour\n"}));
  EXPECT_NE(built.section.find(L"SMS-Recp:=021\r\nSMS-Recn:=AnnLee\r\n"), std::wstring::npos);
  EXPECT_NE(built.section.find(L"SMS-Body:=onetwothree\rfour\n\r\n"), std::wstring::npos);
  EXPECT_EQ(built.request.subject, L"SMS Message to 021");
}

TEST_F(GatewayRequestTest, OptionalLinesStandInTheirPlace) {
  EXPECT_EQ(Build({Row(L"A", L"1")}, L"m").section.find(L"SMS-NamePrefix"), std::wstring::npos);

  settings.name_prefix = L" ";
  delayed_send = LocalDateTime{2026, 12, 5, 17, 30};
  const Built built = Build({Row(L"A", L"1")}, L"m");
  EXPECT_EQ(built.section,
            L"SMS-AccountId:=acc1\r\nSMS-SecurityKey:=pw:=x\r\nSMS-Version:=1.0.26\r\n"
            L"SMS-BPID:=0\r\nSMS-NamePrefix:= \r\nSMS-DelayedSend:=05 Dec, 2026 17:30\r\n"
            L"SMS-Recp:=1\r\nSMS-Recn:=A\r\nSMS-Body:=m\r\nSMS-Name:=Sales Desk\r\n");
}

TEST_F(GatewayRequestTest, ValuesTravelUnescaped) {
  const Built built = Build({Row(L"a:=b", L"=====")}, L"=====End Qel encryption======");
  EXPECT_NE(built.section.find(L"SMS-Recp:======\r\nSMS-Recn:=a:=b\r\n"), std::wstring::npos);
  EXPECT_EQ(built.visible[1], L"Message: =====End Qel encryption======");
}

TEST_F(GatewayRequestTest, RefusedCharactersAreNamedWithTheirField) {
  try {
    // "é" is refused at some places of the section and "П" is not in the
    // code page: neither may travel, and "П" must not become "?".
    Build({Row(L"Ann", L"1"), Row(L"Jos\u00E9", L"2\u041F")}, L"caf\u00E9 \u00FC");
    FAIL() << "expected a refusal";
  } catch (const RequestEncodingError& error) {
    const std::vector<RefusedCharacter> expected = {{RequestField::Mobile, 1, L"\u041F"},
                                                    {RequestField::Message, 0, L"\u00E9"},
                                                    {RequestField::Message, 0, L"\u00FC"}};
    EXPECT_EQ(error.refused(), expected);
  }
  // The euro sign fits beside every key character.
  EXPECT_NO_THROW(Build({Row(L"\u20AC", L"1")}, L"\u20AC"));
}

TEST_F(GatewayRequestTest, NamesTravelInTheirPlainFormAndStayInTheVisibleHalf) {
  user_name = L"J\u00FCrgen M\u00FCller";
  settings.name_prefix = L"\u00C4rzte";
  const std::vector<RecipientEntry> rows = {Row(L"Chlo\u00E9", L"1"), Row(L"\u0141ukasz", L"2"),
                                            Row(L"\u5F20\u4F1F", L"3"), Row(L"\u738B x", L"4")};
  const auto lines = [&](const Built& built) {
    std::vector<std::wstring> values;
    for (const std::wstring& line : Split(built.section)) {
      if (line.starts_with(L"SMS-Recn") || line.starts_with(L"SMS-Name")) values.push_back(line);
    }
    return values;
  };
  const Built latin = Build(rows, L"m");
  EXPECT_EQ(lines(latin), (std::vector<std::wstring>{L"SMS-NamePrefix:=Arzte", L"SMS-Recn:=Chloe",
                                                     L"SMS-Recn:=Lukasz", L"SMS-Recn:=Unknown",
                                                     L"SMS-Recn:= x", L"SMS-Name:=Jurgen Muller"}));
  EXPECT_EQ(latin.visible[0],
            L"To: 1 (Chlo\u00E9), 2 (\u0141ukasz), 3 (\u5F20\u4F1F), 4 (\u738B x), ");

  const GatewayRequest german = BuildGatewayRequest(
      {.settings = settings, .user_name = user_name, .rows = rows, .message = L"m"},
      fakes::GermanUser(), Windows1252CodePage());
  const std::wstring section = test::OpenSentBody(german.body).section;
  EXPECT_NE(section.find(L"SMS-NamePrefix:=Aerzte\r\n"), std::wstring::npos);
  EXPECT_NE(section.find(L"SMS-Name:=Juergen Mueller\r\n"), std::wstring::npos);
}

}  // namespace
}  // namespace parvel
