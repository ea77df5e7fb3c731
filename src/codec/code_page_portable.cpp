#include "codec/code_page.h"

namespace parvel {

const CodePage& SystemCodePage() {
  static const Windows1252CodePage code_page;
  return code_page;
}

}  // namespace parvel
