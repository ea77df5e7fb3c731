// Reading scenarios. What each step does when it runs, and so the arguments
// of most steps, the runner's own tests check (scenario_runner_win_test.cpp);
// here: the forms of a line they do not use, and every mistake.

#include "standin_host/scenario.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace parvel::standin {
namespace {

using ::testing::HasSubstr;

template <typename T>
const T& StepAt(const std::vector<ScenarioLine>& lines, std::size_t index) {
  const T* step = std::get_if<T>(&lines.at(index).step);
  if (step == nullptr) throw std::logic_error("step of another kind");
  return *step;
}

std::pair<int, std::string> ErrorOf(std::wstring_view text) {
  try {
    ParseScenario(text);
  } catch (const ScenarioError& error) {
    return {error.line(), error.what()};
  }
  return {0, "no error"};
}

TEST(ScenarioWords, QuotesAndEscapes) {
  EXPECT_EQ(SplitWords(L"  type\tOLMain.Text2 \"a \\\"b\\\" \\\\ \\r\\n\\t\\|\" \"\""),
            (std::vector<std::wstring>{L"type", L"OLMain.Text2", L"a \"b\" \\ \r\n\t|", L""}));
  EXPECT_THROW(SplitWords(L"type \"open"), std::invalid_argument);
  EXPECT_THROW(SplitWords(L"type a\"b\""), std::invalid_argument);
  EXPECT_THROW(SplitWords(L"type \"a\"b"), std::invalid_argument);
  EXPECT_THROW(SplitWords(L"type \"\\x\""), std::invalid_argument);
}

TEST(Scenario, SkipsTheByteOrderMarkCommentsAndBlankLinesAndLeavesTimesToTheRun) {
  const auto lines = ParseScenario(
      L"\uFEFF# the send path\r\n"
      L"press \"Send SMS\"\r\n"
      L"\r\n"
      L"   # indented comment\n"
      L"type OLMain.Text2 \"Hi {now+12h}\"\n");
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines[0].line, 2);
  EXPECT_EQ(StepAt<action::Press>(lines, 0).caption, L"Send SMS");
  const auto& type = StepAt<action::Type>(lines, 1);
  EXPECT_EQ(lines[1].line, 5);
  EXPECT_EQ(type.target, (ControlRef{L"OLMain", L"Text2"}));
  EXPECT_EQ(type.text, L"Hi {now+12h}") << "times are written when the step runs";
}

TEST(Scenario, ReadsEveryFormOfTheArguments) {
  const auto lines = ParseScenario(
      L"select OLContacts.lvw #2 \"#3\" Bell\n"
      L"write-file empty.txt\n"
      L"expect messagebox T X open\n"
      L"expect messagebox Confirm \"or\"\n"
      L"expect text OLMain \"SMS\"\n"
      L"expect rows OLMain.ListView1 \"021 555|Anna\" \"a\\|b|\"\n"
      L"expect row-count OLContacts.lvw 100000\n"
      L"expect row-count OLContacts.lvw at-least 1\n"
      L"timer first-rows\n"
      L"expect ribbon-button TabMail \"Send SMS\" ENABLED yes\n"
      L"open-context-menu #1 Managers\n"
      L"move Outlook right-800 0\n"
      L"expect placed OLAccount LEFT-OF OLMain\n"
      L"expect clipboard image none\n"
      L"expect context-menu \"Invoice 01\" \"Invoice 02\" :\n"
      L"expect messagebox T X\n"
      L"move Outlook beyond 100\n");
  ASSERT_EQ(lines.size(), 17U);
  EXPECT_EQ(StepAt<action::Select>(lines, 0).rows,
            (std::vector<ItemRef>{{.position = 2}, {.text = L"#3"}, {.text = L"Bell"}}));
  EXPECT_TRUE(StepAt<action::WriteFile>(lines, 1).lines.empty());
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 2).button, 0) << "the box stays up";
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 3).text, L"or");
  EXPECT_TRUE(StepAt<expect::MsgBox>(lines, 3).or_open.empty());
  EXPECT_TRUE(StepAt<expect::Text>(lines, 4).target.control.empty());
  EXPECT_EQ(StepAt<expect::Rows>(lines, 5).rows,
            (std::vector<std::vector<std::wstring>>{{L"021 555", L"Anna"}, {L"a|b", L""}}));
  EXPECT_EQ(StepAt<expect::RowCount>(lines, 6).count, 100000);
  EXPECT_FALSE(StepAt<expect::RowCount>(lines, 6).at_least);
  EXPECT_TRUE(StepAt<expect::RowCount>(lines, 7).at_least);
  EXPECT_EQ(StepAt<action::Timer>(lines, 8).label, L"first-rows");
  EXPECT_EQ(StepAt<expect::RibbonButton>(lines, 9).property, expect::RibbonProperty::Enabled);
  EXPECT_EQ(StepAt<action::OpenContextMenu>(lines, 10).rows,
            (std::vector<ItemRef>{{.position = 1}, {.text = L"Managers"}}));
  EXPECT_FALSE(StepAt<action::Move>(lines, 11).beyond) << "right-N is on the screen";
  EXPECT_EQ(StepAt<expect::Placement>(lines, 12).how, Placed::LeftOf);
  EXPECT_EQ(StepAt<expect::Clipboard>(lines, 13).value, L"none");
  const auto& none = StepAt<expect::ContextMenuEntries>(lines, 14);
  EXPECT_EQ(none.rows.size(), 2U);
  EXPECT_TRUE(none.labels.empty());
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 15).button, 1) << "OK unless told";
  const auto& beyond = StepAt<action::Move>(lines, 16);
  EXPECT_TRUE(beyond.from_right);
  EXPECT_TRUE(beyond.beyond);
  EXPECT_EQ(beyond.x, 40) << "just right of the screen";
}

TEST(Scenario, NamesTheLineAndTheProblem) {
  EXPECT_EQ(ErrorOf(L"press a\n\nfly away").first, 3);
  const struct {
    const wchar_t* line;
    const char* says;
  } kMistakes[] = {
      {L"fly away", "unknown action \"fly\""},
      {L"expect miracles", "unknown expectation"},
      {L"click OLMain", "WINDOW.CONTROL"},
      {L"click .Text2", "WINDOW.CONTROL"},
      {L"close OLMain.Text1", "without a control"},
      {L"type OLMain.Text1", "missing text"},
      {L"press a b", "unexpected \"b\""},
      {L"expect outbox many", "whole number"},
      {L"expect mail 0 to x", "from 1"},
      {L"expect mail 1 cc x", "mail field"},
      {L"expect checked OLMain.Check1 maybe", "yes or no"},
      {L"expect messagebox T X later", "button"},
      {L"type OLMain.Text3 {now+1y}", "{now+12h}"},
      {L"expect rows OLMain.L \"{now+x}|b\"", "{now+12h}"},
      {L"press \"unclosed", "closing quote"},
      {L"select OLMain.lvw", "missing row"},
      {L"unload-after-call GetFirst 1", "Object.Member"},
      {L"unload-after-call Folders.GetFirst 0", "from 1"},
      {L"expect row-count OLContacts.lvw some", "whole number"},
      {L"timer", "missing label"},
      {L"read-only T.txt", "yes or no"},
      {L"expect no-file a.txt b", "unexpected \"b\""},
      {L"screenshot c.png OLMain.Text1", "without a control"},
      {L"screenshot c.png OLMain OLAccount", "unexpected \"OLAccount\""},
      {L"context-menu \"Send SMS\"", "missing row or entry"},
      {L"context-menu a #2", "label last"},
      {L"ribbon-click TabMail", "missing label"},
      {L"expect ribbon-button T B size large", "ribbon button property"},
      {L"expect messagebox T X or closed OLMain", "open WINDOW"},
      {L"expect messagebox T X or open", "missing"},
      {L"expect messagebox T X or open OLMain.Text1", "without a control"},
      {L"expect messagebox T X ok open OLMain", "unexpected"},
      {L"move Outlook 1.5 3", "coordinate"},
      {L"move Outlook right--5 3", "coordinate"},
      {L"move Outlook 10", "missing y"},
      {L"expect placed OLMain over Outlook", "placement"},
      {L"expect placed OLMain.Text1 inside Outlook", "control"},
      {L"expect clipboard image big", "WIDTHxHEIGHT"},
      {L"expect clipboard touched maybe", "yes or no"},
      {L"expect clipboard owner me", "clipboard property"},
      {L"expect context-menu \"Bell, Anna\"", "missing row or :"},
      {L"expect context-menu : \"Send SMS\"", "a row before"},
  };
  for (const auto& mistake : kMistakes) {
    SCOPED_TRACE(mistake.line);
    const auto [line, message] = ErrorOf(mistake.line);
    EXPECT_EQ(line, 1);
    EXPECT_THAT(message, HasSubstr(mistake.says));
  }
}

}  // namespace
}  // namespace parvel::standin
