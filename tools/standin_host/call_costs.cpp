#include "standin_host/call_costs.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>
#include <thread>

#include "common/utf8.h"

namespace parvel::standin {
namespace {

constexpr std::chrono::microseconds kSleepFrom{1000};

std::wstring Lower(std::wstring_view text) {
  std::wstring lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t ch) {
    return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(ch)));
  });
  return lower;
}

[[noreturn]] void Mistake(std::wstring_view part, const char* why) {
  throw std::invalid_argument("--call-cost " + tools::WideToUtf8(part) + ": " + why);
}

std::chrono::microseconds Cost(std::wstring_view part, std::wstring_view text) {
  std::chrono::microseconds::rep factor = 0;
  if (text.ends_with(L"us")) {
    factor = 1;
  } else if (text.ends_with(L"ms")) {
    factor = 1000;
  } else {
    Mistake(part, "a cost ends in us or ms");
  }
  const std::wstring_view digits = text.substr(0, text.size() - 2);
  if (digits.empty() || digits.size() > 7 ||
      digits.find_first_not_of(L"0123456789") != std::wstring_view::npos) {
    Mistake(part, "a cost is a whole number of us or ms");
  }
  return std::chrono::microseconds(std::stol(std::wstring(digits)) * factor);
}

}  // namespace

void CallCosts::Add(std::wstring_view spec) {
  if (Lower(spec) == L"cached") return Add(kCachedModeCosts);
  if (Lower(spec) == L"online") return Add(kOnlineModeCosts);
  std::size_t start = 0;
  while (start <= spec.size()) {
    const std::size_t comma = std::min(spec.find(L',', start), spec.size());
    const std::wstring_view part = spec.substr(start, comma - start);
    const std::size_t equals = part.find(L'=');
    if (equals == std::wstring_view::npos || equals == 0)
      Mistake(part, "expected NAME=COST, or cached or online");
    const std::wstring_view name = part.substr(0, equals);
    if (name.find_first_of(L" \t") != std::wstring_view::npos || name.back() == L'.' ||
        name.front() == L'.') {
      Mistake(part, "a name is Object or Object.Member");
    }
    costs_.insert_or_assign(Lower(name), Cost(part, part.substr(equals + 1)));
    start = comma + 1;
  }
}

std::chrono::microseconds CallCosts::Of(std::wstring_view object, std::wstring_view member) const {
  if (costs_.empty()) return {};
  std::wstring name = Lower(object);
  if (const auto own = costs_.find(name + L"." + Lower(member)); own != costs_.end())
    return own->second;
  if (const auto all = costs_.find(name); all != costs_.end()) return all->second;
  return {};
}

void CallMeter::Charge(std::wstring_view object, std::wstring_view member) {
  ++total_;
  std::wstring name = std::wstring(object) + L"." + std::wstring(member);
  if (const auto found = counts_.find(name); found != counts_.end()) {
    ++found->second;
  } else {
    counts_.emplace(std::move(name), 1);
  }
  owed_ += costs_.Of(object, member);
  if (owed_ < kSleepFrom) return;
  // A sleep may run long: what it overran is taken off the next calls' waits.
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(owed_);
  owed_ -= std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

}  // namespace parvel::standin
