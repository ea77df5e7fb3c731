#include "recipients/recipient_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>
#include "support/rows.h"

namespace parvel {
namespace {

using test::kEnvelope;
using test::Row;

std::vector<std::wstring> Names(const RecipientList& list) {
  std::vector<std::wstring> names;
  for (const auto& row : list.Rows()) names.push_back(row.name);
  return names;
}

TEST(RecipientList, KeepsTheOrderOfAddingUntilSortedAndAmongEqualRows) {
  RecipientList list;
  list.Add(Row(L"b", L"3"));
  list.Add(Row(L"C", L"1"));
  list.Add(Row(L"a", L"2"));
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"b", L"C", L"a"}));

  list.SetSortColumn(RecipientList::Column::Mobile);
  list.SetSorted(true);
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"C", L"a", L"b"}));
  EXPECT_EQ(list.Add(Row(L"d", L"15")), 1U) << "a new row takes its place in mobile order";

  list.SetSortColumn(RecipientList::Column::Name);
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"a", L"b", L"C", L"d"}))
      << "letter case is ignored";
  list.Add(Row(L"A", L"0"));
  list.Add(Row(L"a", L"0"));
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"a", L"A", L"a", L"b", L"C", L"d"}))
      << "equal rows keep the order of adding";
}

TEST(RecipientList, RemovesEverySelectedRowAtOnceWhereverSortingMovedIt) {
  RecipientList list;
  for (const wchar_t* name : {L"e", L"d", L"c", L"b", L"a"}) list.Add(Row(name, L"1"));
  list.Select(0, true);
  list.Select(1, true);
  list.Select(4, true);
  EXPECT_EQ(list.SelectedIndices(), (std::vector<std::size_t>{0, 1, 4}));
  list.SetSorted(true);
  EXPECT_EQ(list.SelectedIndices(), (std::vector<std::size_t>{0, 3, 4}))
      << "the selection travels with its rows";
  list.RemoveSelected();
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"b", L"c"}));
  EXPECT_TRUE(list.SelectedIndices().empty());
  list.RemoveSelected();
  EXPECT_EQ(list.Count(), 2U) << "nothing selected, nothing removed";
}

TEST(RecipientList, RemovesOneRowForEachGivenAndKeepsTheRestWithTheirSelection) {
  RecipientList list;
  for (const wchar_t* name : {L"a", L"b", L"a", L"c"}) list.Add(Row(name, L"1", kEnvelope, name));
  list.Select(3, true);
  const std::vector<RecipientEntry> sent = {Row(L"a", L"1", kEnvelope, L"a"),
                                            Row(L"b", L"1", kEnvelope, L"b"), Row(L"d", L"1")};
  list.Remove(sent);
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"a", L"c"}));
  EXPECT_EQ(list.SelectedIndices(), (std::vector<std::size_t>{1}));
  EXPECT_TRUE(list.ContainsTag(L"a")) << "the second row of the tag is still there";
  EXPECT_FALSE(list.ContainsTag(L"b"));
}

TEST(RecipientList, TracksTagsAndKeys) {
  RecipientList list;
  list.Add(Row(L"a", L"1", kEnvelope, L"tag-a"));
  list.Add(Row(L"b", L"2", kEnvelope, L"", L"x21"));
  EXPECT_TRUE(list.ContainsTag(L"tag-a"));
  EXPECT_FALSE(list.ContainsTag(L""));
  EXPECT_TRUE(list.ContainsKey(L"x21"));
  EXPECT_THROW(list.Add(Row(L"c", L"3", kEnvelope, L"", L"x21")), std::invalid_argument);
  EXPECT_THROW(list.AddAll({Row(L"d", L"4", kEnvelope, L"", L"x44"),
                            Row(L"e", L"5", kEnvelope, L"", L"x44")}),
               std::invalid_argument)
      << "two rows of one batch with the same key";
  EXPECT_EQ(list.Count(), 2U);
  EXPECT_FALSE(list.ContainsKey(L"x44")) << "a refused batch adds nothing";

  list.Select(0, true);
  list.Select(1, true);
  list.RemoveSelected();
  EXPECT_FALSE(list.ContainsTag(L"tag-a"));
  EXPECT_FALSE(list.ContainsKey(L"x21"));
  list.Add(Row(L"c", L"3", kEnvelope, L"", L"x21"));
  list.Clear();
  EXPECT_FALSE(list.ContainsKey(L"x21"));
}

TEST(RecipientList, AddingManyAtOnceGivesTheSameOrderAsOneByOne) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> letter(0, 5);
  std::vector<RecipientEntry> existing;
  std::vector<RecipientEntry> added;
  for (int i = 0; i < 200; ++i) {
    std::wstring name{static_cast<wchar_t>(L'a' + letter(random)),
                      static_cast<wchar_t>(L'A' + letter(random))};
    (i < 100 ? existing : added).push_back(Row(name, std::to_wstring(i)));
  }
  RecipientList one_by_one;
  RecipientList at_once;
  for (RecipientList* list : {&one_by_one, &at_once}) {
    list->SetSorted(true);
    for (const auto& row : existing) list->Add(row);
  }
  for (const auto& row : added) one_by_one.Add(row);
  at_once.AddAll(added);
  EXPECT_EQ(at_once.Rows(), one_by_one.Rows());
}

}  // namespace
}  // namespace parvel
