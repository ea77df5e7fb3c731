// The scenario lines of window placement and of the clipboard.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "standin_host/scenario.h"

namespace parvel::standin {
namespace {

using ::testing::HasSubstr;

template <typename T>
const T& StepOf(const ScenarioLine& line) {
  const T* step = std::get_if<T>(&line.step);
  if (step == nullptr) throw std::logic_error("step of another kind");
  return *step;
}

std::string ErrorOf(std::wstring_view text) {
  try {
    ParseScenario(text);
  } catch (const ScenarioError& error) {
    return error.what();
  }
  return "no error";
}

TEST(ScenarioPlacement, ReadsMovesAndPlacements) {
  const auto lines = ParseScenario(
      L"move Outlook 300 -40\n"
      L"move Outlook beyond 100\n"
      L"move Outlook right-800 0\n"
      L"expect placed OLMain centred Outlook\n"
      L"expect placed OLContacts right-of OLMain\n"
      L"expect placed OLMain inside screen\n"
      L"expect placed OLAccount beside OLMain\n"
      L"expect placed OLAccount LEFT-OF OLMain\n");
  ASSERT_EQ(lines.size(), 8U);
  const auto& move = StepOf<action::Move>(lines[0]);
  EXPECT_EQ(move.window, L"Outlook");
  EXPECT_EQ(move.x, 300);
  EXPECT_FALSE(move.from_right);
  EXPECT_EQ(move.y, -40);
  const auto& beyond = StepOf<action::Move>(lines[1]);
  EXPECT_TRUE(beyond.from_right);
  EXPECT_TRUE(beyond.beyond);
  EXPECT_EQ(beyond.x, 40) << "just right of the screen";
  const auto& right = StepOf<action::Move>(lines[2]);
  EXPECT_TRUE(right.from_right);
  EXPECT_FALSE(right.beyond);
  EXPECT_EQ(right.x, -800);
  const auto& centred = StepOf<expect::Placement>(lines[3]);
  EXPECT_EQ(centred.window, L"OLMain");
  EXPECT_EQ(centred.how, Placed::Centred);
  EXPECT_EQ(centred.other, L"Outlook");
  EXPECT_EQ(StepOf<expect::Placement>(lines[4]).how, Placed::RightOf);
  EXPECT_EQ(StepOf<expect::Placement>(lines[5]).other, expect::kScreenArea);
  EXPECT_EQ(StepOf<expect::Placement>(lines[6]).how, Placed::Beside);
  EXPECT_EQ(StepOf<expect::Placement>(lines[7]).how, Placed::LeftOf);

  EXPECT_THAT(ErrorOf(L"move Outlook 1.5 3\n"), HasSubstr("coordinate"));
  EXPECT_THAT(ErrorOf(L"move Outlook right--5 3\n"), HasSubstr("coordinate"));
  EXPECT_THAT(ErrorOf(L"move Outlook 10\n"), HasSubstr("missing y"));
  EXPECT_THAT(ErrorOf(L"expect placed OLMain over Outlook\n"), HasSubstr("placement"));
  EXPECT_THAT(ErrorOf(L"expect placed OLMain.Text1 inside Outlook\n"), HasSubstr("control"));
}

TEST(ScenarioPlacement, ReadsClipboardExpectations) {
  const auto lines = ParseScenario(
      L"expect clipboard text \"copied before\"\n"
      L"expect clipboard image copied\n"
      L"expect clipboard image 16x16\n"
      L"expect clipboard image none\n"
      L"expect clipboard touched no\n");
  ASSERT_EQ(lines.size(), 5U);
  const auto& text = StepOf<expect::Clipboard>(lines[0]);
  EXPECT_EQ(text.property, expect::ClipboardProperty::Text);
  EXPECT_EQ(text.value, L"copied before");
  EXPECT_EQ(StepOf<expect::Clipboard>(lines[2]).value, L"16x16");
  const auto& touched = StepOf<expect::Clipboard>(lines[4]);
  EXPECT_EQ(touched.property, expect::ClipboardProperty::Touched);
  EXPECT_EQ(touched.value, L"no");

  EXPECT_THAT(ErrorOf(L"expect clipboard image big\n"), HasSubstr("WIDTHxHEIGHT"));
  EXPECT_THAT(ErrorOf(L"expect clipboard touched maybe\n"), HasSubstr("yes or no"));
  EXPECT_THAT(ErrorOf(L"expect clipboard owner me\n"), HasSubstr("clipboard property"));
}

TEST(ScenarioPlacement, ReadsTheEntriesAContextMenuOffers) {
  const auto lines = ParseScenario(
      L"expect context-menu \"Invoice 01\" #2 : \"Send SMS\"\n"
      L"expect context-menu \"Invoice 01\" \"Invoice 02\" :\n");
  ASSERT_EQ(lines.size(), 2U);
  const auto& offered = StepOf<expect::ContextMenuEntries>(lines[0]);
  EXPECT_EQ(offered.rows, (std::vector<ItemRef>{{.text = L"Invoice 01"}, {.position = 2}}));
  EXPECT_EQ(offered.labels, std::vector<std::wstring>{L"Send SMS"});
  const auto& none = StepOf<expect::ContextMenuEntries>(lines[1]);
  EXPECT_EQ(none.rows.size(), 2U);
  EXPECT_TRUE(none.labels.empty());
  EXPECT_THAT(ErrorOf(L"expect context-menu \"Bell, Anna\"\n"), HasSubstr("missing row or :"));
  EXPECT_THAT(ErrorOf(L"expect context-menu : \"Send SMS\"\n"), HasSubstr("a row before"));
}

}  // namespace
}  // namespace parvel::standin
