#include <windows.h>

#include <array>

#include "request/locale.h"

namespace parvel {
namespace {

class WindowsUserLocale final : public Locale {
 public:
  std::wstring AbbreviatedMonthName(int month) const override {
    return Read(LOCALE_SABBREVMONTHNAME1, month, english_.AbbreviatedMonthName(month));
  }
  std::wstring MonthName(int month) const override {
    return Read(LOCALE_SMONTHNAME1, month, english_.MonthName(month));
  }
  std::wstring Language() const override { return Read(LOCALE_SISO639LANGNAME, 1, L"en"); }

 private:
  EnglishLocale english_;

  static std::wstring Read(LCTYPE first, int month, std::wstring fallback) {
    std::array<wchar_t, 80> buffer{};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, first + static_cast<LCTYPE>(month - 1),
                                      buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 1) {
      return fallback;
    }
    return std::wstring(buffer.data(), static_cast<std::size_t>(length - 1));
  }
};

}  // namespace

const Locale& UserLocale() {
  static const WindowsUserLocale locale;
  return locale;
}

}  // namespace parvel
