#include "request/delayed_send.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/test_locales.h"

namespace parvel {
namespace {

DelayedSendTextError Refusal(std::wstring_view text) {
  try {
    ParseDelayedSendText(text, EnglishLocale());
  } catch (const DelayedSendParseError& error) {
    return error.reason();
  }
  ADD_FAILURE() << "accepted: " << std::string(text.begin(), text.end());
  return DelayedSendTextError::Malformed;
}

LocalDateTime Parse(std::wstring_view text) { return ParseDelayedSendText(text, EnglishLocale()); }

// A locale whose month of the given number is abbreviated and named as
// given; its other months are English.
class OneMonthLocale final : public Locale {
 public:
  OneMonthLocale(int month, std::wstring abbreviated, std::wstring name)
      : month_(month), abbreviated_(std::move(abbreviated)), name_(std::move(name)) {}
  std::wstring AbbreviatedMonthName(int month) const override {
    return month == month_ ? abbreviated_ : EnglishLocale().AbbreviatedMonthName(month);
  }
  std::wstring MonthName(int month) const override {
    return month == month_ ? name_ : EnglishLocale().MonthName(month);
  }
  std::wstring Language() const override { return L"xx"; }

 private:
  int month_;
  std::wstring abbreviated_;
  std::wstring name_;
};

TEST(DelayedSendText, AcceptsTheBoxFormsWithYearsOfTwoOrFourDigits) {
  const LocalDateTime expected{2026, 12, 5, 17, 30};
  EXPECT_EQ(Parse(L"05 Dec 26 17:30"), expected);
  EXPECT_EQ(Parse(L"05-Dec-26 17:30"), expected);
  EXPECT_EQ(Parse(L"5 dec 2026 17:30"), expected);
  EXPECT_EQ(Parse(L" 05 DECEMBER, 2026 17:30:59 "), expected) << "seconds are dropped";
  EXPECT_EQ(Parse(L"05/Dec/2026 7:05"), (LocalDateTime{2026, 12, 5, 7, 5}));
  EXPECT_EQ(Parse(L"01 June 26 00:00"), (LocalDateTime{2026, 6, 1, 0, 0}));
  // Two-digit years pivot at thirty.
  EXPECT_EQ(Parse(L"01 Jan 00 10:00").year, 2000);
  EXPECT_EQ(Parse(L"01 Jan 29 10:00").year, 2029);
  EXPECT_EQ(Parse(L"01 Jan 30 10:00").year, 1930);
  EXPECT_EQ(Parse(L"01 Jan 99 10:00").year, 1999);
}

TEST(DelayedSendText, RefusesImpossibleDatesAndTimesAndEveryOtherText) {
  EXPECT_EQ(Refusal(L"31 Feb 26 10:00"), DelayedSendTextError::ImpossibleDate);
  EXPECT_EQ(Refusal(L"29 Feb 25 10:00"), DelayedSendTextError::ImpossibleDate);
  EXPECT_EQ(Parse(L"29 Feb 24 10:00").day, 29);
  EXPECT_EQ(Refusal(L"00 Jan 26 10:00"), DelayedSendTextError::ImpossibleDate);
  EXPECT_EQ(Refusal(L"05 Dec 26 24:00"), DelayedSendTextError::ImpossibleTime);
  EXPECT_EQ(Refusal(L"05 Dec 26 12:60"), DelayedSendTextError::ImpossibleTime);
  EXPECT_EQ(Refusal(L"05-Dec-2_ 17:30"), DelayedSendTextError::PromptCharacter);
  EXPECT_EQ(Refusal(L"__-___-__ __:__"), DelayedSendTextError::PromptCharacter);
  EXPECT_EQ(Refusal(L"05 Foo 26 17:30"), DelayedSendTextError::UnknownMonth);
  EXPECT_EQ(Refusal(L"05 Decx 26 17:30"), DelayedSendTextError::UnknownMonth);
  for (const wchar_t* text :
       {L"", L"05 Dec 26", L"05Dec26 17:30", L"05 Dec 262 17:30", L"05 Dec 26 17:30 x",
        L"05 Dec 26 17:3", L"005 Dec 26 17:30", L"05 Dec 26 17.30", L"05 -- Dec 26 17:30",
        L"05 Dec 26 123:30", L"tomorrow", L"05 Dec 26 17:30:5"}) {
    EXPECT_EQ(Refusal(text), DelayedSendTextError::Malformed) << text;
  }
}

TEST(DelayedSendText, GatewayYearHasFourDigitsAndParsesBack) {
  const LocalDateTime early{150, 1, 1, 10, 0};
  EXPECT_EQ(Parse(L"01 Jan 0150 10:00"), early);
  EXPECT_EQ(FormatGatewayDate(early, EnglishLocale()), L"01 Jan, 0150 10:00");
  EXPECT_EQ(Parse(FormatGatewayDate(early, EnglishLocale())), early);
  EXPECT_EQ(FormatGatewayDate({9999, 12, 31, 23, 59}, EnglishLocale()), L"31 Dec, 9999 23:59");
}

TEST(DelayedSendText, FollowsTheLocaleMonthNames) {
  const OneMonthLocale december(12, L"Dez", L"Dezember");
  EXPECT_EQ(FormatGatewayDate({2026, 12, 5, 17, 30}, december), L"05 Dez, 2026 17:30");
  EXPECT_EQ(ParseDelayedSendText(L"05 dez 26 17:30", december).month, 12);
  EXPECT_EQ(ParseDelayedSendText(L"05 Dec 26 17:30", december).month, 12) << "English always works";
  // A full name, matched in any letter case.
  EXPECT_EQ(
      ParseDelayedSendText(L"05 m\u00E4rz 26 17:30", OneMonthLocale(3, L"Mrz", L"M\u00C4RZ")).month,
      3);
}

TEST(DelayedSendText, GatewayGetsTheEnglishMonthWhereTheLocaleNameCannotTravel) {
  const LocalDateTime when{2031, 12, 5, 17, 30};
  const Windows1252CodePage one_byte;
  struct Case {
    const wchar_t* name;
    const wchar_t* sent;
  };
  const Case cases[] = {
      {L"Dez", L"05 Dez, 2031 17:30"},    // German: ASCII, sent as it is
      {L"dic", L"05 dic, 2031 17:30"},    // Italian, Spanish
      {L"Dez.", L"05 Dez., 2031 17:30"},  // a full stop is ASCII too
      {L"12", L"05 Dec, 2031 17:30"},     // digits are no month name
      {L"", L"05 Dec, 2031 17:30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    const OneMonthLocale locale(12, c.name, c.name);
    const std::wstring sent = FormatGatewayDate(when, locale, one_byte);
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(ParseDelayedSendText(sent, locale), when) << "the gateway reads it back";
  }
  // On a double-byte code page even an ASCII name goes in English.
  EXPECT_EQ(
      FormatGatewayDate(when, OneMonthLocale(12, L"Dez", L"Dez"), fakes::DoubleByteCodePage()),
      L"05 Dec, 2031 17:30");
}

TEST(DelayedSendText, RealDatesAndTimes) {
  EXPECT_TRUE(IsRealDateTime({2028, 2, 29, 0, 0}));
  EXPECT_TRUE(IsRealDateTime({2031, 12, 31, 23, 59}));
  EXPECT_FALSE(IsRealDateTime({2027, 2, 29, 10, 0}));
  EXPECT_FALSE(IsRealDateTime({2027, 4, 31, 10, 0}));
  EXPECT_FALSE(IsRealDateTime({2027, 13, 1, 10, 0}));
  EXPECT_FALSE(IsRealDateTime({2027, 0, 1, 10, 0}));
  EXPECT_FALSE(IsRealDateTime({2027, 1, 0, 10, 0}));
  EXPECT_FALSE(IsRealDateTime({2027, 1, 1, 24, 0}));
  EXPECT_FALSE(IsRealDateTime({2027, 1, 1, 23, 60}));
}

TEST(MinuteNumber, CountsAcrossMonthsYearsAndLeapDays) {
  const std::vector<LocalDateTime> samples = {{1970, 1, 1, 0, 0},  {2024, 2, 28, 23, 59},
                                              {2024, 2, 29, 0, 0}, {2026, 12, 31, 18, 0},
                                              {1930, 1, 1, 0, 0},  {2100, 3, 1, 12, 0}};
  for (const LocalDateTime& when : samples) {
    EXPECT_EQ(FromMinuteNumber(MinuteNumber(when)), when);
  }
  EXPECT_EQ(MinuteNumber({1970, 1, 1, 0, 1}), 1);
  EXPECT_EQ(MinuteNumber({2024, 3, 1, 0, 0}) - MinuteNumber({2024, 2, 28, 0, 0}), 2 * 1440);
  EXPECT_EQ(FromMinuteNumber(MinuteNumber({2026, 12, 31, 18, 0}) + 12 * 60),
            (LocalDateTime{2027, 1, 1, 6, 0}));
}

}  // namespace
}  // namespace parvel
