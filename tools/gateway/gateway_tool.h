#pragma once

#include <istream>
#include <ostream>
#include <span>
#include <string>

namespace parvel::tools {

inline constexpr int kExitBadInput = 2;

// parvel-gateway without its process: args excludes the program name.
// Returns the exit code; on failure writes one line to err and nothing to out.
int RunGatewayTool(std::span<const std::string> args, std::istream& in, std::ostream& out,
                   std::ostream& err);

}  // namespace parvel::tools
