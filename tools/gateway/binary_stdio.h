#pragma once

namespace parvel::tools {

// Standard input and output carry bytes unchanged (no CR LF translation).
void UseBinaryStdio();

}  // namespace parvel::tools
