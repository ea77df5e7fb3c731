#include <benchmark/benchmark.h>

#include <string>

#include "codec/gateway_text.h"
#include "codec/secret_text.h"

namespace {

std::wstring SampleText(std::size_t length) {
  std::wstring text;
  text.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    text.push_back(static_cast<wchar_t>(L' ' + static_cast<wchar_t>(i % 90)));
  }
  return text;
}

void BM_Encode(benchmark::State& state) {
  const std::wstring plain = SampleText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(parvel::EncodeSecretText(plain));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Decode(benchmark::State& state) {
  const std::wstring hex =
      parvel::EncodeSecretText(SampleText(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(parvel::DecodeSecretText(hex));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// What the compose window's counter does at every keystroke: a full message
// box (480 characters) of accented text, judged and written in plain form.
void BM_GatewayText(benchmark::State& state) {
  std::wstring message;
  while (message.size() < 480) message += L"Gr\u00FC\u00DFe aus K\u00F6ln \u2013 bis sp\u00E4ter. ";
  message.resize(480);
  const parvel::Windows1252CodePage code_page;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        parvel::ToGatewayText(message, code_page, parvel::TransliterationRules::German));
  }
}

BENCHMARK(BM_Encode)->Arg(160)->Arg(1 << 20);
BENCHMARK(BM_GatewayText);
BENCHMARK(BM_Decode)->Arg(160)->Arg(1 << 20);

}  // namespace
