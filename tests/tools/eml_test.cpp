#include "common/eml.h"

#include <gtest/gtest.h>

#include <string>

namespace parvel::tools {
namespace {

TEST(Eml, RoundTripsSubjectAndBodyExactly) {
  const std::wstring subject = L"SMS Message to Jos\u00E9 =?x?= \u4E2D";
  std::wstring body = L"To: a (b), \r\nMessage: trailing blank \r\nlone\rcr lone\nlf = \u20AC\r\n";
  body += std::wstring(300, L'7') + L"\r\n=====End Qel encryption======";
  const std::string message = WriteEml(L"sms@gw.example", subject, body);
  const MailText mail = ReadEml(message);
  EXPECT_EQ(mail.to, L"sms@gw.example");
  EXPECT_EQ(mail.subject, subject);
  EXPECT_EQ(mail.body, body);
  EXPECT_TRUE(LooksLikeEml(message));
}

TEST(Eml, KeepsWithinTheLineLimitsOfTheFormat) {
  const std::string message =
      WriteEml(L"a@b", std::wstring(200, L'\u00E9'), std::wstring(1000, L'A') + L"\r\nend");
  std::size_t pos = 0;
  while (pos < message.size()) {
    const auto end = message.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF, the last one too";
    EXPECT_LE(end - pos, 76U);
    pos = end + 2;
  }
  EXPECT_TRUE(message.ends_with("end=\r\n"));
}

TEST(Eml, ShortLinesStayReadable) {
  const std::wstring body = L"To: 1 (A), \r\nMessage: a = b\r\n=====End Qel encryption======";
  const std::string message = WriteEml(L"a@b", L"s", body);
  EXPECT_TRUE(
      message.ends_with("\r\n\r\nTo: 1 (A), \r\nMessage: a = b\r\n=====End Qel encryption======"));
  EXPECT_EQ(ReadEml(message).body, body);
}

TEST(Eml, RefusesAnAddressThatWouldBreakTheHeader) {
  EXPECT_THROW(WriteEml(L"a@b\r\nBcc: c@d", L"s", L"b"), EmlError);
}

TEST(Eml, TellsABareBodyFromAMessage) {
  EXPECT_FALSE(LooksLikeEml("To: 1 (A), \r\nMessage: x\r\n=====Start Qel encryption======\r\n"));
  EXPECT_FALSE(LooksLikeEml("no header block at all"));
  EXPECT_TRUE(LooksLikeEml("Subject: hi\nTo: x\n\nbody"));
  EXPECT_EQ(ReadEml("Subject: hi\nTo: x\n\nplain body").body, L"plain body");
}

}  // namespace
}  // namespace parvel::tools
