#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "gateway/binary_stdio.h"

namespace parvel::tools {

void UseBinaryStdio() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace parvel::tools
