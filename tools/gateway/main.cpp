#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "gateway/binary_stdio.h"
#include "gateway/gateway_tool.h"

int main(int argc, char** argv) {
  try {
    parvel::tools::UseBinaryStdio();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return parvel::tools::RunGatewayTool(args, std::cin, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "parvel-gateway: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "parvel-gateway: unexpected failure\n";
  }
  return parvel::tools::kExitBadInput;
}
