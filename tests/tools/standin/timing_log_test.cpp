#include "standin_host/timing_log.h"

#include <gtest/gtest.h>

namespace parvel::standin {
namespace {

TEST(TimingLog, OneLinePerEntryInOrderWithThreeDecimals) {
  TimingLog log;
  EXPECT_EQ(log.Text(), "");
  log.Add(L"connect", L"ZintaraOutlook.OLConnector", 12.34567);
  log.Add(L"click", L"Send SMS", 0.0004);
  log.Add(L"painted", L"Envoyer \u00e0 tous", 1500);
  EXPECT_EQ(log.Text(),
            "connect\tZintaraOutlook.OLConnector\t12.346\n"
            "click\tSend SMS\t0.000\n"
            "painted\tEnvoyer \xc3\xa0 tous\t1500.000\n");
  log.AddCount(L"calls", L"AddressEntry.Name", 100000);
  EXPECT_TRUE(log.Text().ends_with("calls\tAddressEntry.Name\t100000\n")) << "a count is whole";
}

}  // namespace
}  // namespace parvel::standin
