#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace parvel::host {

// Where the add-in reports the failures it passes over by design (a button
// that could not be made, a member of a list that could not be read, a
// delivery that could not be started), so that an administrator can find out
// why. A report names the place and the host's or the system's own words,
// never a password or a message text.
class Diagnostics {
 public:
  virtual ~Diagnostics() = default;
  virtual void Report(std::wstring_view where, std::wstring_view what) noexcept = 0;
};

// Reports nothing: for code that has no one to tell.
Diagnostics& NoDiagnostics() noexcept;

// An HRESULT as a report writes it: "0x80070005".
std::wstring HresultText(std::int32_t hresult);

// What a caught failure says: the host's message (with its code), or the
// exception's text.
std::wstring DescribeFailure(const std::exception_ptr& failure);

}  // namespace parvel::host
