#include "host/diagnostics.h"

#include <cstdint>
#include <new>

#include "host/host_error.h"

namespace parvel::host {
namespace {

class Silent final : public Diagnostics {
 public:
  void Report(std::wstring_view, std::wstring_view) noexcept override {}
};

}  // namespace

Diagnostics& NoDiagnostics() noexcept {
  static Silent silent;
  return silent;
}

std::wstring HresultText(std::int32_t hresult) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text = L"0x";
  const auto code = static_cast<std::uint32_t>(hresult);
  for (int shift = 28; shift >= 0; shift -= 4) text.push_back(kDigits[(code >> shift) & 0xFU]);
  return text;
}

std::wstring DescribeFailure(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const HostError& error) {
    const std::wstring code = HresultText(error.hresult());
    return error.message().empty() ? code : code + L" " + error.message();
  } catch (const std::bad_alloc&) {
    return L"out of memory";
  } catch (const std::exception& error) {
    return FailureText(error);
  } catch (...) {
    return L"unknown failure";
  }
}

}  // namespace parvel::host
