#include "standin_host/call_costs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

namespace parvel::standin {
namespace {

using std::chrono::microseconds;
using testing::HasSubstr;

TEST(CallCosts, AMembersOwnCostGoesBeforeItsObjectsAndLaterCostsReplaceEarlier) {
  CallCosts costs;
  EXPECT_TRUE(costs.empty());
  costs.Add(L"AddressEntry.Fields=50us,ContactItem=80us,MAPITable.GetRows=2ms");
  costs.Add(L"addressentry=10us,ContactItem=90us");
  EXPECT_EQ(costs.Of(L"AddressEntry", L"Fields"), microseconds(50));
  EXPECT_EQ(costs.Of(L"ADDRESSENTRY", L"Name"), microseconds(10));
  EXPECT_EQ(costs.Of(L"ContactItem", L"FileAs"), microseconds(90));
  EXPECT_EQ(costs.Of(L"MAPITable", L"GetRows"), microseconds(2000));
  EXPECT_EQ(costs.Of(L"MAPITable", L"GoToFirst"), microseconds(0));
  EXPECT_EQ(costs.Of(L"Items", L"GetNext"), microseconds(0));
}

TEST(CallCosts, ThePresetsChargeEveryCallThatOpensAnEntryOrAnItem) {
  for (const wchar_t* preset : {L"cached", L"Online"}) {
    CallCosts costs;
    costs.Add(preset);
    for (const auto& [object, member] : {std::pair{L"AddressEntries", L"GetNext"},
                                         {L"AddressEntry", L"DisplayType"},
                                         {L"AddressEntry", L"Fields"},
                                         {L"ContactItem", L"MobileTelephoneNumber"},
                                         {L"Items", L"GetNext"},
                                         {L"DistListItem", L"DLName"},
                                         {L"MAPITable", L"GetRows"},
                                         {L"Table", L"GetArray"}}) {
      EXPECT_GT(costs.Of(object, member), microseconds(0)) << preset << " " << object;
    }
    // A batch of rows costs less than the walk of its 256 entries.
    EXPECT_LT(costs.Of(L"MAPITable", L"GetRows"), 256 * costs.Of(L"AddressEntry", L"Name"));
  }
  CallCosts cached;
  cached.Add(L"cached");
  CallCosts online;
  online.Add(L"online");
  EXPECT_LT(cached.Of(L"AddressEntry", L"Name"), online.Of(L"AddressEntry", L"Name"));
}

TEST(CallCosts, AMistakeIsNamed) {
  const auto mistake = [](const wchar_t* spec) {
    try {
      CallCosts().Add(spec);
    } catch (const std::invalid_argument& error) {
      return std::string(error.what());
    }
    return std::string("accepted");
  };
  EXPECT_THAT(mistake(L"AddressEntry"), HasSubstr("NAME=COST"));
  EXPECT_THAT(mistake(L"=5us"), HasSubstr("NAME=COST"));
  EXPECT_THAT(mistake(L"AddressEntry=5s"), HasSubstr("us or ms"));
  EXPECT_THAT(mistake(L"AddressEntry=ms"), HasSubstr("whole number"));
  EXPECT_THAT(mistake(L"AddressEntry=1.5ms"), HasSubstr("whole number"));
  EXPECT_THAT(mistake(L"AddressEntry.=5us"), HasSubstr("Object.Member"));
  EXPECT_THAT(mistake(L"A=1us,"), HasSubstr("NAME=COST"));
}

TEST(CallMeter, CountsEveryCallAndWaitsTheSumOfTheirCosts) {
  CallCosts costs;
  costs.Add(L"AddressEntry=500us");
  CallMeter meter(costs);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) {
    meter.Charge(L"AddressEntry", L"Name");
    meter.Charge(L"AddressEntries", L"GetNext");
  }
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited + meter.owed(), std::chrono::milliseconds(10))
      << "20 calls of 0.5 ms, slept or still owed";
  EXPECT_LT(meter.owed(), std::chrono::milliseconds(1)) << "slept off a millisecond at a time";
  EXPECT_EQ(meter.total(), 40);
  EXPECT_EQ(meter.counts().at(L"AddressEntry.Name"), 20);
  EXPECT_EQ(meter.counts().at(L"AddressEntries.GetNext"), 20);
}

}  // namespace
}  // namespace parvel::standin
