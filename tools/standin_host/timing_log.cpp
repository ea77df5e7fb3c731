#include "standin_host/timing_log.h"

#include <cstdio>

#include "common/utf8.h"

namespace parvel::standin {

void TimingLog::Add(std::wstring_view event, std::wstring_view name, double milliseconds) {
  entries_.push_back({std::wstring(event), std::wstring(name), milliseconds});
}

void TimingLog::AddCount(std::wstring_view event, std::wstring_view name, long long count) {
  entries_.push_back({std::wstring(event), std::wstring(name), static_cast<double>(count), true});
}

std::string TimingLog::Text() const {
  std::string text;
  for (const Entry& entry : entries_) {
    char figure[32];
    std::snprintf(figure, sizeof figure, entry.count ? "%.0f" : "%.3f", entry.milliseconds);
    text += tools::WideToUtf8(entry.event) + "\t" + tools::WideToUtf8(entry.name) + "\t" + figure +
            "\n";
  }
  return text;
}

}  // namespace parvel::standin
