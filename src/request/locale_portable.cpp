#include "request/locale.h"

namespace parvel {

const Locale& UserLocale() {
  static const EnglishLocale locale;
  return locale;
}

}  // namespace parvel
