#include "standin_host/host_options.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace parvel::standin {
namespace {

TEST(HostOptions, ReadsEveryOption) {
  const HostOptions options = ParseHostOptions({L"--data",          L"book.json",
                                                L"--outbox",        L"out",
                                                L"--scenario",      L"s.scn",
                                                L"--no-redemption", L"--no-explorer",
                                                L"--fail",          L"SafeMailItem.Send",
                                                L"--fail",          L"Redemption.MAPIUtils",
                                                L"--bar",           L"Menu Bar",
                                                L"--bar",           L"standard",
                                                L"--register",      L"a.dll",
                                                L"--addin",         L"A.B",
                                                L"--clear-key",     L"SOFTWARE\\X",
                                                L"--timeout",       L"12",
                                                L"--timings",       L"t.tsv",
                                                L"--no-ribbon"});
  EXPECT_EQ(options.data, L"book.json");
  EXPECT_EQ(options.OutboxFolder(), L"out");
  EXPECT_EQ(options.scenario, L"s.scn");
  EXPECT_FALSE(options.redemption);
  EXPECT_FALSE(options.explorer);
  EXPECT_FALSE(options.ribbon);
  EXPECT_EQ(options.outlook_version, 12) << "without the ribbon: Outlook 2007";
  EXPECT_TRUE(options.failures.Contains(L"safemailitem", L"SEND"));
  EXPECT_TRUE(options.failures.Contains(L"redemption.mapiutils"));
  EXPECT_FALSE(options.failures.Contains(L"SafeMailItem", L"Save"));
  EXPECT_EQ(options.bars, (std::vector<std::wstring>{L"Menu Bar", L"standard"}));
  EXPECT_EQ(options.register_dlls, std::vector<std::wstring>{L"a.dll"});
  EXPECT_EQ(options.addins, std::vector<std::wstring>{L"A.B"});
  EXPECT_EQ(options.clear_keys, std::vector<std::wstring>{L"SOFTWARE\\X"});
  EXPECT_EQ(options.timeout_seconds, 12);
  EXPECT_EQ(options.timings, L"t.tsv");

  const HostOptions more = ParseHostOptions(
      {L"--no-tables", L"--call-cost", L"cached", L"--call-cost", L"ContactItem=1ms",
       L"--clipboard-text", L"Meeting at 3", L"--clipboard-image", L"--monitor", L"1920x1080",
       L"--monitor", L"800x600"});
  EXPECT_FALSE(more.tables);
  EXPECT_EQ(more.call_costs.Of(L"ContactItem", L"FileAs"), std::chrono::microseconds(1000));
  EXPECT_EQ(more.call_costs.Of(L"AddressEntry", L"Name"), std::chrono::microseconds(50));
  EXPECT_EQ(more.clipboard_text, L"Meeting at 3");
  EXPECT_TRUE(more.clipboard_image);
  EXPECT_EQ(more.monitors, (std::vector<std::pair<int, int>>{{1920, 1080}, {800, 600}}));
}

TEST(HostOptions, DefaultsAndMistakes) {
  const HostOptions plain = ParseHostOptions({});
  EXPECT_TRUE(plain.redemption);
  EXPECT_TRUE(plain.explorer);
  EXPECT_TRUE(plain.ribbon);
  EXPECT_EQ(plain.outlook_version, 16);
  EXPECT_TRUE(plain.tables);
  EXPECT_TRUE(plain.call_costs.empty());
  EXPECT_FALSE(plain.clipboard_text);
  EXPECT_FALSE(plain.clipboard_image);
  EXPECT_TRUE(plain.monitors.empty());
  const HostOptions outlook_2003 = ParseHostOptions({L"--outlook-2003", L"--no-ribbon"});
  EXPECT_EQ(outlook_2003.outlook_version, 11) << "in any order";
  EXPECT_FALSE(outlook_2003.redemption);
  EXPECT_FALSE(outlook_2003.ribbon);
  EXPECT_TRUE(plain.failures.empty());
  EXPECT_EQ(plain.timeout_seconds, 5);
  EXPECT_FALSE(plain.timings);
  EXPECT_EQ(plain.OutboxFolder(), L"outbox");
  EXPECT_NE(ParseHostOptions({L"--data", L"dir/book.json"}).OutboxFolder().find(L"dir"),
            std::wstring::npos)
      << "the outbox sits beside the data";
  EXPECT_TRUE(ParseHostOptions({L"--help"}).help);
  EXPECT_THROW(ParseHostOptions({L"--data"}), OptionsError);
  EXPECT_THROW(ParseHostOptions({L"--fail", L""}), OptionsError);
  EXPECT_THROW(ParseHostOptions({L"--timings"}), OptionsError);
  EXPECT_THROW(ParseHostOptions({L"--timeout", L"0"}), OptionsError);
  EXPECT_THROW(ParseHostOptions({L"--timeout", L"soon"}), OptionsError);
  EXPECT_THROW(ParseHostOptions({L"--colour"}), OptionsError);
  EXPECT_THROW(ParseHostOptions({L"--clipboard-text"}), OptionsError);
  EXPECT_THROW(ParseHostOptions({L"--call-cost", L"fast"}), OptionsError);
  for (const wchar_t* wrong : {L"1920", L"1920x", L"x1080", L"100x100", L"19.2x1080", L"wide"}) {
    EXPECT_THROW(ParseHostOptions({L"--monitor", wrong}), OptionsError)
        << std::string(wrong, wrong + std::wcslen(wrong));
  }
}

}  // namespace
}  // namespace parvel::standin
