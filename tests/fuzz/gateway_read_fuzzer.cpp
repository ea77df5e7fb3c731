#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "fuzz_support.h"
#include "gateway/gateway_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace parvel::tools;
  std::istringstream in(parvel::fuzz::Bytes(data, size));
  std::ostringstream out;
  std::ostringstream err;
  const std::vector<std::string> args = {"read", "-"};
  const int code = RunGatewayTool(args, in, out, err);
  PARVEL_FUZZ_CHECK(code == 0 || code == kExitBadInput);
  if (code == 0) {
    PARVEL_FUZZ_CHECK(err.str().empty());
    PARVEL_FUZZ_CHECK(nlohmann::json::accept(out.str()));
  } else {
    // One line that says what is wrong, and nothing half-written on stdout.
    const std::string message = err.str();
    PARVEL_FUZZ_CHECK(out.str().empty());
    PARVEL_FUZZ_CHECK(!message.empty() && message.find('\n') == message.size() - 1);
  }
  return 0;
}
