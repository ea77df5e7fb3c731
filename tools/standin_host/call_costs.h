#pragma once

// What the add-in's calls into the host cost, so that a run under the
// stand-in waits where Outlook would: in Outlook a call that reaches an
// address entry or an item opens a MAPI object, locally in cached mode, on
// the server in online mode. Costs are kept per "Object.Member" or per
// object (every member of it), and every call is counted.

#include <chrono>
#include <map>
#include <string>
#include <string_view>

namespace parvel::standin {

// The costs of Outlook in cached mode and in online mode; README.md says why
// these figures.
inline constexpr std::wstring_view kCachedModeCosts =
    L"AddressEntry=50us,AddressEntries.GetFirst=50us,AddressEntries.GetNext=50us,"
    L"AddressEntries.Item=50us,ContactItem=80us,DistListItem=80us,Items.GetFirst=80us,"
    L"Items.GetNext=80us,NameSpace.GetItemFromID=200us,MAPITable.GetRows=2ms,"
    L"Table.GetArray=2ms";
inline constexpr std::wstring_view kOnlineModeCosts =
    L"AddressEntry=1ms,AddressEntries.GetFirst=1ms,AddressEntries.GetNext=1ms,"
    L"AddressEntries.Item=1ms,ContactItem=1ms,DistListItem=1ms,Items.GetFirst=1ms,"
    L"Items.GetNext=1ms,NameSpace.GetItemFromID=2ms,MAPITable.GetRows=30ms,"
    L"Table.GetArray=30ms";

class CallCosts {
 public:
  // Adds "NAME=COST,NAME=COST..." (COST a whole number with us or ms) or
  // the name of a preset, "cached" or "online"; a later cost of a name
  // replaces the earlier. Throws std::invalid_argument naming the mistake.
  void Add(std::wstring_view spec);
  // The member's own cost, else its object's, else none.
  std::chrono::microseconds Of(std::wstring_view object, std::wstring_view member) const;
  bool empty() const { return costs_.empty(); }

 private:
  std::map<std::wstring, std::chrono::microseconds, std::less<>> costs_;  // lower-case names
};

// Counts the calls and makes each wait its cost. The waits are owed and
// slept off a millisecond or more at a time: a sleep of a few microseconds
// is not to be had, and the sum is what a run's timing shows.
class CallMeter {
 public:
  explicit CallMeter(CallCosts costs = {}) : costs_(std::move(costs)) {}

  void Charge(std::wstring_view object, std::wstring_view member);

  // Calls by "Object.Member", as the objects name themselves.
  const std::map<std::wstring, long long, std::less<>>& counts() const { return counts_; }
  long long total() const { return total_; }
  // What is charged and not slept yet (less than a millisecond), or what the
  // last sleep overran (negative).
  std::chrono::microseconds owed() const { return owed_; }

 private:
  CallCosts costs_;
  std::map<std::wstring, long long, std::less<>> counts_;
  long long total_ = 0;
  std::chrono::microseconds owed_{0};
};

}  // namespace parvel::standin
