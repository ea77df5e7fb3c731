#include "gateway/binary_stdio.h"

namespace parvel::tools {

void UseBinaryStdio() {}

}  // namespace parvel::tools
