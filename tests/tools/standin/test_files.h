#pragma once

// Files the stand-in's tests read back: what the stand-in or the runner wrote,
// and the sample address book its scenarios run on.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "standin_host/address_book.h"

namespace parvel::standin {

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline AddressBook SampleBook() { return ParseAddressBook(ReadBytes(PARVEL_STANDIN_SAMPLE)); }

}  // namespace parvel::standin
