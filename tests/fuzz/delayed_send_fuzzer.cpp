#include <array>

#include "fuzz_support.h"
#include "request/delayed_send.h"

namespace {

// Month names as Windows gives them for French: abbreviations that end in a
// full stop, letters beyond ASCII, and names that begin like others.
class FrenchLocale final : public parvel::Locale {
 public:
  std::wstring AbbreviatedMonthName(int month) const override {
    static constexpr std::array<const wchar_t*, 12> kNames = {
        L"janv.", L"f\u00E9vr.", L"mars",  L"avr.", L"mai",  L"juin",
        L"juil.", L"ao\u00FBt",  L"sept.", L"oct.", L"nov.", L"d\u00E9c."};
    return kNames[static_cast<std::size_t>(month - 1)];
  }
  std::wstring MonthName(int month) const override {
    static constexpr std::array<const wchar_t*, 12> kNames = {
        L"janvier", L"f\u00E9vrier", L"mars",      L"avril",   L"mai",      L"juin",
        L"juillet", L"ao\u00FBt",    L"septembre", L"octobre", L"novembre", L"d\u00E9cembre"};
    return kNames[static_cast<std::size_t>(month - 1)];
  }
};

void CheckRoundTrips(const std::wstring& text, const parvel::Locale& locale) {
  using namespace parvel;
  LocalDateTime when;
  try {
    when = ParseDelayedSendText(text, locale);
  } catch (const DelayedSendParseError&) {
    return;
  }
  PARVEL_FUZZ_CHECK(when.year >= 100 && when.year <= 9999);
  PARVEL_FUZZ_CHECK(when.month >= 1 && when.month <= 12);
  PARVEL_FUZZ_CHECK(when.day >= 1 && when.day <= 31);
  PARVEL_FUZZ_CHECK(when.hour >= 0 && when.hour <= 23);
  PARVEL_FUZZ_CHECK(when.minute >= 0 && when.minute <= 59);
  PARVEL_FUZZ_CHECK(FromMinuteNumber(MinuteNumber(when)) == when);
  PARVEL_FUZZ_CHECK(ParseDelayedSendText(FormatGatewayDate(when, locale), locale) == when);
  PARVEL_FUZZ_CHECK(IsRealDateTime(when));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = parvel::fuzz::Text(parvel::fuzz::Bytes(data, size));
  CheckRoundTrips(text, parvel::EnglishLocale());
  CheckRoundTrips(text, FrenchLocale());
  return 0;
}
