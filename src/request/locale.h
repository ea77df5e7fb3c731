#pragma once

#include <string>

namespace parvel {

// The user's locale: month names for the delayed-send date texts, and the
// language whose rules write characters the gateway cannot carry.
class Locale {
 public:
  virtual ~Locale() = default;
  // month is 1 to 12
  virtual std::wstring AbbreviatedMonthName(int month) const = 0;
  virtual std::wstring MonthName(int month) const = 0;
  // ISO 639 code of the locale's language ("de", "fr").
  virtual std::wstring Language() const = 0;
};

class EnglishLocale final : public Locale {
 public:
  std::wstring AbbreviatedMonthName(int month) const override;
  std::wstring MonthName(int month) const override;
  std::wstring Language() const override { return L"en"; }
};

// The user's locale on Windows; English elsewhere.
const Locale& UserLocale();

}  // namespace parvel
