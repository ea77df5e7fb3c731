#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/diagnostics.h"

namespace parvel::fakes {

// Keeps every report as "where: what".
class RecordingDiagnostics final : public host::Diagnostics {
 public:
  void Report(std::wstring_view where, std::wstring_view what) noexcept override {
    reports.push_back(std::wstring(where) + L": " + std::wstring(what));
  }
  std::vector<std::wstring> reports;
};

}  // namespace parvel::fakes
