// Failures passed over, as the administrator reads them: the log file named
// by "LogFile", and the HRESULTs the add-in's COM edges give.

#include "host/diagnostics_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/host_error.h"
#include "settings/reg_functions.h"
#include "settings/settings_key.h"
#include "support/memory_registry.h"
#include "support/temp_folder.h"

namespace parvel::host {
namespace {

using templates_test::ReadBytes;
using templates_test::TempFolder;

void SetLogFile(MemoryRegistry& registry, const std::filesystem::path& file) {
  RegEnsureKey(registry, kHkeyCurrentUser, SettingsKeyPath);
  ASSERT_EQ(RegStoreValue(registry, kHkeyCurrentUser, SettingsKeyPath, L"LogFile",
                          RegValue(file.wstring()), kRegSz),
            0);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(SystemDiagnostics, AppendsEachReportToTheFileTheAdministratorNames) {
  const TempFolder folder;
  MemoryRegistry registry;
  SystemDiagnostics diagnostics(registry);
  diagnostics.Report(L"Connection", L"without a log file only the debugger hears of it");

  const auto log = folder.path() / "parvel.log";
  SetLogFile(registry, log);
  diagnostics.Report(L"Connection", L"adding the button: 0x80004005 Zugriff verweigert \u00E9");
  diagnostics.Report(L"Send", L"DeliverNow: 0x8004011D");
  const std::vector<std::string> lines = Lines(ReadBytes(log).value_or(""));
  ASSERT_EQ(lines.size(), 2U);
  const std::regex stamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d Parvel \d+\.\d+\.\d+ )");
  for (const std::string& line : lines) {
    EXPECT_TRUE(std::regex_search(line, stamp, std::regex_constants::match_continuous)) << line;
    EXPECT_EQ(line.back(), '\r') << "each line ends in CR LF";
  }
  EXPECT_NE(lines[0].find("Connection: adding the button: 0x80004005 Zugriff verweigert \xC3\xA9"),
            std::string::npos)
      << "UTF-8";
  EXPECT_NE(lines[1].find("Send: DeliverNow: 0x8004011D"), std::string::npos);

  // A file that cannot be written loses the report, and nothing else happens.
  SetLogFile(registry, folder.path() / "missing" / "parvel.log");
  diagnostics.Report(L"Send", L"Cleanup: 0x80004005");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

TEST(SystemDiagnostics, FailuresAtTheComEdgeGiveMeaningfulResults) {
  MemoryRegistry registry;
  SystemDiagnostics diagnostics(registry);
  const auto result = [&](auto error) {
    try {
      throw error;
    } catch (...) {
      return CaughtResult(diagnostics, L"Test");
    }
  };
  EXPECT_EQ(result(std::bad_alloc()), E_OUTOFMEMORY);
  EXPECT_EQ(result(HostError(static_cast<std::int32_t>(RPC_E_DISCONNECTED), L"gone")),
            RPC_E_DISCONNECTED);
  EXPECT_EQ(result(HostError(0, L"no code")), E_FAIL);
  EXPECT_EQ(result(std::runtime_error("anything else")), E_UNEXPECTED);
  EXPECT_EQ(result(HostDisconnected()), S_OK) << "a handler the host stopped ends quietly";
}

}  // namespace
}  // namespace parvel::host
