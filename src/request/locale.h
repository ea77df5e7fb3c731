#pragma once

#include <string>

namespace parvel {

// Month names of the user's locale, for the delayed-send date texts.
class Locale {
 public:
  virtual ~Locale() = default;
  // month is 1 to 12
  virtual std::wstring AbbreviatedMonthName(int month) const = 0;
  virtual std::wstring MonthName(int month) const = 0;
};

class EnglishLocale final : public Locale {
 public:
  std::wstring AbbreviatedMonthName(int month) const override;
  std::wstring MonthName(int month) const override;
};

// The user's locale on Windows; English elsewhere.
const Locale& UserLocale();

}  // namespace parvel
