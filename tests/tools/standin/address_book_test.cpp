#include "standin_host/address_book.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "standin_host/gal_generator.h"
#include "standin_host/named_properties.h"
#include "test_files.h"

namespace parvel::standin {
namespace {

using ::testing::HasSubstr;

std::string ErrorOf(std::string_view json) {
  try {
    ParseAddressBook(json);
  } catch (const AddressBookError& error) {
    return error.what();
  }
  return "no error";
}

// The sample's folders, stores and entries as the add-in reads them are the
// stand-in's objects' (host_objects_win_test.cpp) and the scenarios' to check.
TEST(AddressBook, SampleEntriesAreFoundInAnyLetterCaseAndMembersAreTheEntriesTheyName) {
  const AddressBook book = SampleBook();
  const OutlookItem* anna = book.FindItem(L"00000000b8e4a6f5e3b1d011a5c800a0c9251f8e0700c1000001");
  ASSERT_NE(anna, nullptr) << "entry IDs are found in any letter case";
  EXPECT_EQ(anna->file_as, L"Bell, Anna");

  const AddressList& gal = book.address_lists.at(1);
  const AddressEntry& support = *gal.entries[5];
  ASSERT_EQ(support.members.size(), 4U);
  EXPECT_EQ(support.members[0], gal.entries[0]) << "a member by id is that very entry";
  EXPECT_EQ(gal.entries[7]->members[0], &support) << "a nested list";
}

TEST(AddressBook, ErrorsNameThePlaceInTheDocument) {
  EXPECT_THAT(ErrorOf(R"({"stores":[{"name":"S","folders":[{"name":"C","items":[
                 {"class":"contact","entryId":"0G","fileAs":"x"}]}]}]})"),
              HasSubstr("$.stores[0].folders[0].items[0].entryId: not hexadecimal"));
  EXPECT_THAT(ErrorOf(R"({"stores":[{"name":"S","colour":1}]})"),
              HasSubstr("$.stores[0].colour: unknown key"));
  EXPECT_THAT(ErrorOf(R"({"stores":[{"name":"S","items":[{"class":"contact","entryId":"01"}]}]})"),
              HasSubstr("missing \"fileAs\""));
  EXPECT_THAT(ErrorOf(R"({"stores":[{"name":"S","items":[{"class":"task","entryId":"01"}]}]})"),
              HasSubstr("$.stores[0].items[0].class"));
  EXPECT_THAT(ErrorOf(R"({"stores":[{"name":"S","items":[
                 {"class":"mail","entryId":"01"},{"class":"mail","entryId":"01"}]}]})"),
              HasSubstr("used twice"));
  EXPECT_THAT(ErrorOf(R"({"stores":[{"name":"S","items":[{"class":"distList","entryId":"01",
                 "dlName":"L","members":[{"contact":"02","distList":"03"}]}]}]})"),
              HasSubstr("exactly one of"));
  EXPECT_THAT(ErrorOf(R"({"addressLists":[{"name":"G","entries":[
                 {"displayType":1,"name":"L","id":"1","members":["2"]}]}]})"),
              HasSubstr("entries[0].members[0]: names no entry"));
  EXPECT_THAT(ErrorOf(R"({"addressLists":[{"name":"G","entries":[
                 {"displayType":0,"name":"U","id":"1","members":[]}]}]})"),
              HasSubstr("only a list"));
  EXPECT_THAT(ErrorOf("{\"currentUser\": \"\xff\"}"), HasSubstr("not JSON"));
  EXPECT_THAT(ErrorOf("[1"), HasSubstr("not JSON"));
}

TEST(AddressBook, MembersMayNameEntriesFurtherDownAndInlineListsNestFurther) {
  const AddressBook book = ParseAddressBook(R"({"addressLists":[{"name":"G","entries":[
      {"displayType":1,"name":"Outer","id":"1","members":["2",
        {"displayType":1,"name":"Inline","id":"9","members":["2"]}]},
      {"displayType":0,"name":"User","id":"2","mobile":null}]}]})");
  const AddressList& list = book.address_lists[0];
  ASSERT_EQ(list.entries[0]->members.size(), 2U);
  EXPECT_EQ(list.entries[0]->members[0], list.entries[1]);
  EXPECT_EQ(list.entries[0]->members[1]->members.at(0), list.entries[1]);
  EXPECT_FALSE(list.entries[1]->mobile.has_value());
}

TEST(MemberEntries, ContactsAreWrappedInTheContactPrefixAndOthersAreNot) {
  const std::wstring id = L"00000000ABCDEF0700";
  const std::wstring contact =
      BytesToHex(MemberEntryBytes({.kind = DistListMember::Kind::Contact, .entry_id = id}));
  EXPECT_EQ(contact, L"00000000C091ADD3519DCF11A4A900AA0047FAA4C3" + id);
  const std::wstring list =
      BytesToHex(MemberEntryBytes({.kind = DistListMember::Kind::DistList, .entry_id = id}));
  EXPECT_EQ(list.size(), contact.size());
  EXPECT_FALSE(
      list.starts_with(std::wstring(kContactEntryPrefix.begin(), kContactEntryPrefix.end())));
  const std::vector<std::uint8_t> one_off =
      MemberEntryBytes({.kind = DistListMember::Kind::OneOff, .name = L"Shop", .address = L"a@b"});
  const std::wstring hex = BytesToHex(one_off);
  EXPECT_TRUE(hex.starts_with(L"00000000812B1FA4BEA310199D6E00DD010F5402"));
  EXPECT_TRUE(
      hex.ends_with(L"610040006200"
                    L"0000"))
      << "the address in UTF-16 with its zero";
}

TEST(MemberEntries, HexRoundTripsInUpperCase) {
  EXPECT_EQ(BytesToHex(HexToBytes(L"00ff7Aa0")), L"00FF7AA0");
  EXPECT_EQ(BytesToHex({}), L"");
  EXPECT_THROW(HexToBytes(L"ABC"), AddressBookError);
  EXPECT_THROW(HexToBytes(L"0X"), AddressBookError);
}

TEST(NamedProperties, OneTagPerNameWithTheTypeBitsClear) {
  NamedProperties names;
  const std::uint32_t members = names.TagFor(kPsetidAddress, kDistListMembersId);
  EXPECT_EQ(members & 0xFFFF, 0U);
  EXPECT_GE(members, 0x80000000U);
  EXPECT_NE(members, 0x80550000U) << "the number is the store's, not the name's id";
  EXPECT_EQ(names.TagFor(L"{00062004-0000-0000-c000-000000000046}", 0x8055), members);
  EXPECT_NE(names.TagFor(kPsetidAddress, 0x8054), members);
  EXPECT_NE(names.TagFor(kPsetidAddress, L"0x8055"), members) << "a name is not a number";
  EXPECT_THROW(names.TagFor(L"00062004-0000-0000-C000-000000000046", 1), std::invalid_argument);
  EXPECT_THROW(names.TagFor(L"{00062004-0000-0000-C000-00000000004G}", 1), std::invalid_argument);
}

TEST(GalGenerator, WritesABookWithTheRequestedNumberOfEntries) {
  const AddressBook book = ParseAddressBook(GenerateGlobalAddressList(100));
  ASSERT_EQ(book.address_lists.size(), 1U);
  const AddressList& gal = book.address_lists[0];
  EXPECT_EQ(gal.name, L"Global Address List");
  ASSERT_EQ(gal.entries.size(), 100U);
  int lists = 0;
  int users_with_mobile = 0;
  int without = 0;
  int others = 0;
  for (const AddressEntry* entry : gal.entries) {
    if (entry->display_type == 1) {
      ++lists;
      EXPECT_FALSE(entry->members.empty());
    } else if (entry->display_type == 0) {
      (entry->mobile && !entry->mobile->empty() ? users_with_mobile : without) += 1;
    } else {
      ++others;
    }
  }
  EXPECT_EQ(lists, 5);
  EXPECT_EQ(others, 3) << "every 25th that is not also a list";
  EXPECT_GT(without, 0);
  EXPECT_EQ(lists + users_with_mobile + without + others, 100);
  EXPECT_EQ(ParseAddressBook(GenerateGlobalAddressList(0)).address_lists[0].entries.size(), 0U);
  EXPECT_TRUE(ParseAddressBook(GenerateGlobalAddressList(10)).stores.empty());
}

TEST(GalGenerator, WritesAContactFolderOfTheRequestedNumberOfItems) {
  const AddressBook book = ParseAddressBook(GenerateGlobalAddressList(0, 100));
  ASSERT_EQ(book.stores.size(), 1U);
  ASSERT_EQ(book.stores[0].folders.size(), 1U);
  const Folder& folder = book.stores[0].folders[0];
  EXPECT_EQ(folder.name, L"Contacts");
  EXPECT_EQ(folder.default_item_type, kItemTypeContact);
  ASSERT_EQ(folder.items.size(), 100U);
  int lists = 0;
  int with_mobile = 0;
  int broken_names = 0;
  for (const OutlookItem& item : folder.items) {
    if (item.kind == OutlookItem::Kind::DistList) {
      ++lists;
      EXPECT_EQ(item.members.size(), 5U);
      EXPECT_NE(book.FindItem(item.members[0].entry_id), nullptr);
    } else {
      with_mobile += item.mobile.empty() ? 0 : 1;
      broken_names += item.file_as.find(L"\r\n") != std::wstring::npos ? 1 : 0;
    }
  }
  EXPECT_EQ(lists, 5);
  EXPECT_GT(with_mobile, 50);
  EXPECT_LT(with_mobile, 95);
  EXPECT_GT(broken_names, 0);
}

}  // namespace
}  // namespace parvel::standin
