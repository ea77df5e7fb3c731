#include <exception>
#include <iostream>
#include <string>

#include "standin_host/gal_generator.h"

// parvel-standin-gal N [CONTACTS]: writes an address book whose Global
// Address List has N entries (and whose folder "Contacts" has CONTACTS items)
// to standard output.
int main(int argc, char** argv) {
  try {
    const int entries = argc == 2 || argc == 3 ? std::stoi(argv[1]) : -1;
    const int contacts = argc == 3 ? std::stoi(argv[2]) : 0;
    if (entries < 0 || contacts < 0) {
      std::cerr << "usage: parvel-standin-gal ENTRIES [CONTACTS] > addressbook.json\n";
      return 2;
    }
    std::cout << parvel::standin::GenerateGlobalAddressList(entries, contacts) << '\n';
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "parvel-standin-gal: " << error.what() << '\n';
    return 2;
  }
}
