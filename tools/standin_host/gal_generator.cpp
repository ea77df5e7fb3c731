#include "standin_host/gal_generator.h"

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string_view>

namespace parvel::standin {
namespace {

constexpr std::array<std::string_view, 8> kGiven = {"Anna", "Ben",  "Chloe", "David",
                                                    "Emma", "Finn", "Grace", "Hemi"};
constexpr std::array<std::string_view, 7> kFamily = {"Bell",   "Ngata", "Smith", "Walker",
                                                     "Martin", "Chen",  "Rewi"};

std::string Id(int index) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08X", index);
  return std::string("00000000DCA740C8C042101AB4B908002B2FE18201000000") + buffer;
}

std::string ItemId(int index) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08X", index);
  return std::string("00000000B8E4A6F5E3B1D011A5C800A0C9251F8E0700") + buffer;
}

nlohmann::json ContactFolder(int items) {
  nlohmann::json list = nlohmann::json::array();
  for (int i = 1; i <= items; ++i) {
    const auto n = static_cast<std::size_t>(i);
    if (i % 20 == 0) {
      nlohmann::json members = nlohmann::json::array();
      for (int back = 5; back >= 1; --back) {
        if ((i - back) % 20 != 0 && i - back >= 1)
          members.push_back({{"contact", ItemId(i - back)}});
      }
      list.push_back({{"class", "distList"},
                      {"entryId", ItemId(i)},
                      {"dlName", "Group " + std::to_string(i / 20)},
                      {"members", members}});
      continue;
    }
    const std::string family(kFamily[n % kFamily.size()]);
    const std::string given = std::string(kGiven[n % kGiven.size()]) + " " + std::to_string(i);
    std::string file_as = family;
    file_as += i % 7 == 0 ? ",\r\n" : ", ";
    file_as += given;
    std::string full_name = given;
    full_name += " ";
    full_name += family;
    nlohmann::json contact = {
        {"class", "contact"}, {"entryId", ItemId(i)}, {"fileAs", file_as}, {"fullName", full_name}};
    if (i % 15 == 0) {
      contact["mobile"] = "";
    } else if (i % 10 != 0) {
      contact["mobile"] = "+64 22 " + std::to_string(100000 + i);
    }
    list.push_back(contact);
  }
  return {{"name", "Contacts"}, {"defaultItemType", 2}, {"items", list}};
}

}  // namespace

std::string GenerateGlobalAddressList(int entries, int contacts) {
  nlohmann::json list = nlohmann::json::array();
  for (int i = 1; i <= entries; ++i) {
    const auto n = static_cast<std::size_t>(i);
    nlohmann::json entry = {{"id", Id(i)}};
    if (i % 20 == 0) {
      entry["displayType"] = 1;
      entry["name"] = "Team " + std::to_string(i / 20);
      nlohmann::json members = nlohmann::json::array();
      for (int back = 5; back >= 1; --back) {
        if ((i - back) % 20 != 0 && (i - back) % 25 != 0 && i - back >= 1)
          members.push_back(Id(i - back));
      }
      entry["members"] = members;
    } else {
      entry["displayType"] = i % 25 == 0 ? 6 : 0;
      entry["name"] = std::string(kFamily[n % kFamily.size()]) + ", " +
                      std::string(kGiven[n % kGiven.size()]) + " " + std::to_string(i);
      if (i % 15 == 0) {
        entry["mobile"] = "";
      } else if (i % 10 != 0) {
        entry["mobile"] = "+64 21 " + std::to_string(100000 + i);
      }
    }
    list.push_back(entry);
  }
  nlohmann::json document = {
      {"currentUser", "Benchmark User"},
      {"addressLists", {{{"name", "Global Address List"}, {"entries", list}}}}};
  if (contacts > 0) {
    document["stores"] = {
        {{"name", "Mailbox"}, {"folders", nlohmann::json::array({ContactFolder(contacts)})}}};
  }
  return document.dump(1);
}

}  // namespace parvel::standin
