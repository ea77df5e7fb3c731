#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "request/gateway_request.h"

namespace {

void BM_BuildGatewayRequest(benchmark::State& state) {
  const parvel::AccountSettings settings{.account = L"acc1",
                                         .password = L"secret",
                                         .mail_address = L"sms@gateway.zintara.example",
                                         .name_prefix = L"ZN"};
  std::vector<parvel::RecipientEntry> rows;
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    rows.push_back({.name = L"Recipient " + std::to_wstring(i),
                    .mobile = L"021 555 " + std::to_wstring(1000 + i),
                    .kind = parvel::RecipientEntry::Kind::Envelope});
  }
  const std::wstring message(160, L'x');
  for (auto _ : state) {
    benchmark::DoNotOptimize(parvel::BuildGatewayRequest(
        {.settings = settings, .user_name = L"Sales Desk", .rows = rows, .message = message}));
  }
}

BENCHMARK(BM_BuildGatewayRequest)->Arg(1)->Arg(1000);

}  // namespace
