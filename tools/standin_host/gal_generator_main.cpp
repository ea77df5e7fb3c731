#include <exception>
#include <iostream>
#include <string>

#include "standin_host/gal_generator.h"

// parvel-standin-gal N: writes an address book whose Global Address List
// has N entries to standard output.
int main(int argc, char** argv) {
  try {
    const int entries = argc == 2 ? std::stoi(argv[1]) : -1;
    if (entries < 0) {
      std::cerr << "usage: parvel-standin-gal ENTRIES > addressbook.json\n";
      return 2;
    }
    std::cout << parvel::standin::GenerateGlobalAddressList(entries) << '\n';
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "parvel-standin-gal: " << error.what() << '\n';
    return 2;
  }
}
