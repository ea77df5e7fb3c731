#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "codec/code_page.h"
#include "common/utf8.h"

// A broken property ends the run like a crash, so that libFuzzer keeps the input.
#define PARVEL_FUZZ_CHECK(condition)                                                        \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

namespace parvel::fuzz {

inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Text as parvel-gateway reads a body: UTF-8 when it is, else Windows-1252.
inline std::wstring Text(const std::string& bytes) {
  return tools::IsValidUtf8(bytes) ? tools::Utf8ToWide(bytes)
                                   : Windows1252CodePage().FromBytes(bytes);
}

}  // namespace parvel::fuzz
