#pragma once

// What --timings writes: how long the add-ins take to load and connect and
// how long their toolbar buttons take to answer a click.

#include <string>
#include <string_view>
#include <vector>

namespace parvel::standin {

class TimingLog {
 public:
  void Add(std::wstring_view event, std::wstring_view name, double milliseconds);
  // A line whose figure is a count: written as a whole number.
  void AddCount(std::wstring_view event, std::wstring_view name, long long count);
  // One line per entry in the order added, "EVENT<TAB>NAME<TAB>MILLISECONDS"
  // with three decimals (or COUNT), in UTF-8.
  std::string Text() const;

 private:
  struct Entry {
    std::wstring event;
    std::wstring name;
    double milliseconds;
    bool count = false;
  };
  std::vector<Entry> entries_;
};

}  // namespace parvel::standin
