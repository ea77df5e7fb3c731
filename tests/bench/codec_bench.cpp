#include <benchmark/benchmark.h>

#include <string>

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

BENCHMARK(BM_Encode)->Arg(160)->Arg(1 << 20);
BENCHMARK(BM_Decode)->Arg(160)->Arg(1 << 20);

}  // namespace
