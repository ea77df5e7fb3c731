#include <array>

#include "fuzz_support.h"
#include "request/delayed_send.h"
#include "support/test_locales.h"

namespace {

using parvel::fakes::FrenchLocale;

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
