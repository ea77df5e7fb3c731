#include "workflows/unsent_work.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/code_page.h"
#include "settings/reg_functions.h"
#include "support/memory_registry.h"
#include "support/rows.h"

namespace parvel {
namespace {

using test::kDistribution;
using test::kEnvelope;
using test::Row;

// Text no ANSI code page holds whole: Maori macrons, a Greek word, a check
// mark, an emoji (a surrogate pair), the separators and escapes themselves.
const std::wstring kWideText =
    L"Kia ora T\u0101mati \u2013 \u03B3\u03B5\u03B9\u03AC \u2713 \U0001F600\r\nC:\\temp | 100% "
    L"\\u0041";

class UnsentWorkTest : public testing::Test {
 protected:
  // The registry of a Western system: Windows-1252.
  Windows1252CodePage western;
  MemoryRegistry registry{western};
  const UnsentWork work{
      .message = kWideText,
      .rows = {Row(L"Unknown", L"021 555 123", kEnvelope, L"", L"x021 555 1231"),
               Row(L"Ng\u0101ta, Ben", L"+64 21 \u0661\u0662", kDistribution, L"00AB|01\\")},
      .delayed_send = true,
      .delayed_send_time = LocalDateTime{2026, 12, 5, 17, 30}};
};

TEST_F(UnsentWorkTest, ComesBackExactlyWhateverTheCodePageCannotHold) {
  ASSERT_EQ(KeepUnsentWork(registry, work), kErrorSuccess);
  EXPECT_EQ(ReadUnsentWork(registry), work);

  // What the registry holds is printable ASCII, the same in every code page.
  for (const std::wstring& name : registry.ValueNames(kHkeyCurrentUser, kUnsentWorkKeyPath)) {
    const std::string bytes = registry.Find(kHkeyCurrentUser, kUnsentWorkKeyPath, name)->bytes;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
      EXPECT_TRUE(bytes[i] >= 0x20 && bytes[i] <= 0x7E) << "value " << name.size() << " byte " << i;
    }
  }
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, kUnsentWorkKeyPath, L"Recipient1")->bytes,
            std::string("Unknown|021 555 123|Envelope|x021 555 1231|") + '\0');
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, kUnsentWorkKeyPath, L"DelayedSendTime")->bytes,
            std::string("2026-12-05 17:30") + '\0');
}

TEST_F(UnsentWorkTest, EscapesOnlyWhatMustBeEscaped) {
  EXPECT_EQ(EscapeKeptText(L"Hi there, 12:30!"), L"Hi there, 12:30!");
  EXPECT_EQ(EscapeKeptText(L"a\\b|c\r\n\u0101"), L"a\\\\b\\u007Cc\\u000D\\u000A\\u0101");
  EXPECT_EQ(UnescapeKeptText(L"\\u00e9\\u00C9"), L"\u00E9\u00C9");
  for (const wchar_t* bad : {L"\\", L"\\u12", L"\\u12G4", L"\\x", L"a|b", L"tab\there"}) {
    EXPECT_EQ(UnescapeKeptText(bad), std::nullopt) << "not written by EscapeKeptText";
  }
}

TEST_F(UnsentWorkTest, AShorterListReplacesALongerOneAndForgettingLeavesNothing) {
  EXPECT_EQ(ReadUnsentWork(registry), std::nullopt) << "nothing kept yet";
  ASSERT_EQ(KeepUnsentWork(registry, work), kErrorSuccess);
  const UnsentWork shorter{.message = L"", .rows = {work.rows[0]}};
  ASSERT_EQ(KeepUnsentWork(registry, shorter), kErrorSuccess);
  EXPECT_EQ(ReadUnsentWork(registry), shorter);
  EXPECT_FALSE(registry.Find(kHkeyCurrentUser, kUnsentWorkKeyPath, L"Recipient2"));
  EXPECT_FALSE(registry.Find(kHkeyCurrentUser, kUnsentWorkKeyPath, L"DelayedSendTime"));

  EXPECT_EQ(ForgetUnsentWork(registry), kErrorSuccess);
  EXPECT_FALSE(registry.KeyExists(kHkeyCurrentUser, kUnsentWorkKeyPath));
  EXPECT_EQ(ReadUnsentWork(registry), std::nullopt);
  EXPECT_EQ(ForgetUnsentWork(registry), kErrorSuccess) << "forgetting twice is no failure";
  EXPECT_EQ(registry.OpenHandleCount(), 0U);
}

TEST_F(UnsentWorkTest, ValuesChangedByHandAreRefused) {
  const auto changed = [&](const wchar_t* name, const char* text) {
    KeepUnsentWork(registry, work);
    registry.Put(kHkeyCurrentUser, kUnsentWorkKeyPath, name,
                 {.type = kRegSz, .bytes = std::string(text) + '\0'});
    return ReadUnsentWork(registry);
  };
  EXPECT_THROW(changed(L"Message", "bad \\q"), UnsentWorkError);
  EXPECT_THROW(changed(L"Recipients", "3"), UnsentWorkError) << "Recipient3 is missing";
  EXPECT_THROW(changed(L"Recipients", "many"), UnsentWorkError);
  EXPECT_THROW(changed(L"Recipient2", "Ann|021"), UnsentWorkError);
  EXPECT_THROW(changed(L"Recipient2", "a|b|c|d|e|f"), UnsentWorkError);
  EXPECT_THROW(changed(L"Recipient2", "Ann|021|Group||"), UnsentWorkError) << "no such kind";
  EXPECT_THROW(changed(L"DelayedSend", "yes"), UnsentWorkError);
  EXPECT_THROW(changed(L"DelayedSendTime", "2026-02-30 17:30"), UnsentWorkError);
  EXPECT_THROW(changed(L"DelayedSendTime", "05 Dec 26 17:30"), UnsentWorkError);
}

TEST_F(UnsentWorkTest, AKeyTheUserMayNotWriteReportsAFailure) {
  registry.FailWrites(kHkeyCurrentUser, L"SOFTWARE\\Parvello", kErrorAccessDenied);
  EXPECT_NE(KeepUnsentWork(registry, work), kErrorSuccess);
  EXPECT_EQ(ReadUnsentWork(registry), std::nullopt);
}

}  // namespace
}  // namespace parvel
