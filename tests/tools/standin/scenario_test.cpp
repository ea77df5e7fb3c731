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

TEST(Scenario, ReadsEveryActionWithItsArguments) {
  const auto lines = ParseScenario(
      L"\uFEFF# the send path\r\n"
      L"press \"Send SMS\"\r\n"
      L"\r\n"
      L"   # indented comment\n"
      L"type OLMain.Text2 \"Hi {now+12h}\"\n"
      L"click OLMain.Command1\n"
      L"tick OLMain.Check1\n"
      L"untick OLMain.Check1\n"
      L"select OLContacts.lvw #2 \"#3\" Bell\n"
      L"double-click OLContacts.lvw #1\n"
      L"header-click OLContacts.lvw Name\n"
      L"close OLAccount\n"
      L"unload\n"
      L"load\n"
      L"set-registry NewBar 1\n"
      L"delete-registry NewBar\n"
      L"screenshot shot.png\n"
      L"restart\n"
      L"unload-after-call Folders.GetFirst 2\n"
      L"set-addin-value ZintaraOutlook.OLConnector RequireShutdownNotification 1\n");
  ASSERT_EQ(lines.size(), 17U);
  EXPECT_EQ(lines[0].line, 2);
  EXPECT_EQ(StepAt<action::Press>(lines, 0).caption, L"Send SMS");
  const auto& type = StepAt<action::Type>(lines, 1);
  EXPECT_EQ(lines[1].line, 5);
  EXPECT_EQ(type.target, (ControlRef{L"OLMain", L"Text2"}));
  EXPECT_EQ(type.text, L"Hi {now+12h}") << "times are written when the step runs";
  EXPECT_EQ(StepAt<action::Click>(lines, 2).target.control, L"Command1");
  EXPECT_TRUE(StepAt<action::SetCheck>(lines, 3).checked);
  EXPECT_FALSE(StepAt<action::SetCheck>(lines, 4).checked);
  EXPECT_EQ(StepAt<action::Select>(lines, 5).rows,
            (std::vector<ItemRef>{{.position = 2}, {.text = L"#3"}, {.text = L"Bell"}}));
  EXPECT_EQ(StepAt<action::DoubleClick>(lines, 6).row.position, 1);
  EXPECT_EQ(StepAt<action::HeaderClick>(lines, 7).column.text, L"Name");
  EXPECT_EQ(StepAt<action::Close>(lines, 8).window, L"OLAccount");
  StepAt<action::UnloadAddins>(lines, 9);
  StepAt<action::LoadAddins>(lines, 10);
  EXPECT_EQ(StepAt<action::SetRegistry>(lines, 11).value, L"1");
  EXPECT_EQ(StepAt<action::DeleteRegistry>(lines, 12).name, L"NewBar");
  EXPECT_EQ(StepAt<action::Screenshot>(lines, 13).file, L"shot.png");
  StepAt<action::Restart>(lines, 14);
  const auto& unload = StepAt<action::UnloadAfterCall>(lines, 15);
  EXPECT_EQ(unload.call, L"Folders.GetFirst");
  EXPECT_EQ(unload.count, 2);
  const auto& value = StepAt<action::SetAddinValue>(lines, 16);
  EXPECT_EQ(value.prog_id, L"ZintaraOutlook.OLConnector");
  EXPECT_EQ(value.name, L"RequireShutdownNotification");
  EXPECT_EQ(value.value, 1);
}

TEST(Scenario, ReadsFileAndPermissionSteps) {
  const auto lines = ParseScenario(
      L"write-file {addin}\\T.txt %LABEL%A \"text one\"\n"
      L"write-file empty.txt\n"
      L"read-only {addin}\\T.txt yes\n"
      L"read-only-registry no\n"
      L"expect file {addin}\\T.txt %LABEL%A \"text one\"\n"
      L"expect no-file empty.txt\n");
  ASSERT_EQ(lines.size(), 6U);
  EXPECT_EQ(StepAt<action::WriteFile>(lines, 0).lines,
            (std::vector<std::wstring>{L"%LABEL%A", L"text one"}));
  EXPECT_TRUE(StepAt<action::WriteFile>(lines, 1).lines.empty());
  EXPECT_EQ(StepAt<action::ReadOnlyFile>(lines, 2).file, L"{addin}\\T.txt");
  EXPECT_FALSE(StepAt<action::ReadOnlyRegistry>(lines, 3).read_only);
  EXPECT_EQ(StepAt<expect::File>(lines, 4).lines,
            (std::vector<std::wstring>{L"%LABEL%A", L"text one"}));
  EXPECT_FALSE(StepAt<expect::File>(lines, 5).lines.has_value());
  EXPECT_EQ(ErrorOf(L"read-only T.txt\n").first, 1) << "yes or no is needed";
  EXPECT_EQ(ErrorOf(L"expect no-file a.txt b\n").first, 1);
}

TEST(Scenario, ScreenshotOfEveryWindowOneWindowOrTheMessageBox) {
  const auto lines = ParseScenario(
      L"screenshot all.png\n"
      L"screenshot compose.png OLMain\n"
      L"screenshot box.png messagebox\n");
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_TRUE(StepAt<action::Screenshot>(lines, 0).window.empty());
  EXPECT_EQ(StepAt<action::Screenshot>(lines, 1).window, L"OLMain");
  EXPECT_EQ(StepAt<action::Screenshot>(lines, 2).window, action::kMessageBoxShot);
  EXPECT_THAT(ErrorOf(L"screenshot c.png OLMain.Text1").second, HasSubstr("without a control"));
  EXPECT_THAT(ErrorOf(L"screenshot c.png OLMain OLAccount").second,
              HasSubstr("unexpected \"OLAccount\""));
}

TEST(Scenario, ReadsEveryExpectation) {
  const auto lines = ParseScenario(
      L"expect messagebox \"No Account\" \"The account cannot be blank...\"\n"
      L"expect messagebox Confirm \"Sure?\" no\n"
      L"expect text OLMain.Text3 {now+12h}\n"
      L"expect text OLMain \"SMS\"\n"
      L"expect rows OLMain.ListView1 \"021 555|Anna\" \"a\\|b|\"\n"
      L"expect rows OLMain.ListView1\n"
      L"expect focus OLMain.Text2\n"
      L"expect open OLMain\n"
      L"expect closed OLAccount\n"
      L"expect windows OLMain 1\n"
      L"expect outbox 2\n"
      L"expect mail 2 Subject \"SMS Message to 1\"\n"
      L"expect bar Standard New \"Send SMS\" Reply\n"
      L"expect button \"Send SMS\" onaction \"!<ZintaraOutlook.OLConnector>\"\n"
      L"expect checked OLMain.Check1 yes\n"
      L"expect enabled OLMain.Command5 no\n"
      L"expect registry NewBar \"1\"\n"
      L"expect no-registry NewBar\n"
      L"expect addin ZintaraOutlook.OLConnector connected\n"
      L"expect row-count OLContacts.lvw 100000\n"
      L"expect row-count OLContacts.lvw at-least 1\n");
  ASSERT_EQ(lines.size(), 21U);
  const auto& box = StepAt<expect::MsgBox>(lines, 0);
  EXPECT_EQ(box.title, L"No Account");
  EXPECT_EQ(box.button, 1);
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 1).button, 7);
  EXPECT_EQ(StepAt<expect::MsgBox>(ParseScenario(L"expect messagebox T X open"), 0).button, 0)
      << "the box stays up";
  EXPECT_EQ(StepAt<expect::Text>(lines, 2).text, L"{now+12h}");
  EXPECT_TRUE(StepAt<expect::Text>(lines, 3).target.control.empty());
  EXPECT_EQ(StepAt<expect::Rows>(lines, 4).rows,
            (std::vector<std::vector<std::wstring>>{{L"021 555", L"Anna"}, {L"a|b", L""}}));
  EXPECT_TRUE(StepAt<expect::Rows>(lines, 5).rows.empty());
  EXPECT_EQ(StepAt<expect::Focus>(lines, 6).target.Text(), L"OLMain.Text2");
  EXPECT_TRUE(StepAt<expect::Open>(lines, 7).open);
  EXPECT_FALSE(StepAt<expect::Open>(lines, 8).open);
  EXPECT_EQ(StepAt<expect::WindowCount>(lines, 9).count, 1);
  EXPECT_EQ(StepAt<expect::Outbox>(lines, 10).count, 2);
  EXPECT_EQ(StepAt<expect::Mail>(lines, 11).field, expect::MailField::Subject);
  EXPECT_EQ(StepAt<expect::Bar>(lines, 12).captions,
            (std::vector<std::wstring>{L"New", L"Send SMS", L"Reply"}));
  EXPECT_EQ(StepAt<expect::Button>(lines, 13).property, expect::ButtonProperty::OnAction);
  EXPECT_EQ(StepAt<expect::State>(lines, 14).state, expect::ControlState::Checked);
  EXPECT_FALSE(StepAt<expect::State>(lines, 15).value);
  EXPECT_EQ(StepAt<expect::Registry>(lines, 16).value, L"1");
  EXPECT_FALSE(StepAt<expect::Registry>(lines, 17).value.has_value());
  EXPECT_EQ(StepAt<expect::Addin>(lines, 18).state, L"connected");
  EXPECT_EQ(StepAt<expect::RowCount>(lines, 19).count, 100000);
  EXPECT_FALSE(StepAt<expect::RowCount>(lines, 19).at_least);
  EXPECT_TRUE(StepAt<expect::RowCount>(lines, 20).at_least);
  EXPECT_EQ(StepAt<action::Timer>(ParseScenario(L"timer first-rows"), 0).label, L"first-rows");
}

TEST(Scenario, ReadsRibbonAndContextMenuSteps) {
  const auto lines = ParseScenario(
      L"ribbon-click TabMail \"Send SMS\"\n"
      L"context-menu \"Bell, Anna\" #3 \"Send SMS\"\n"
      L"expect ribbon TabContacts SMS \"Send SMS\"\n"
      L"expect ribbon TabMail SMS\n"
      L"expect ribbon-button TabMail \"Send SMS\" picture 32x32\n"
      L"expect ribbon-button TabMail \"Send SMS\" ENABLED yes\n"
      L"open-context-menu #1 Managers\n");
  ASSERT_EQ(lines.size(), 7U);
  EXPECT_EQ(StepAt<action::OpenContextMenu>(lines, 6).rows.size(), 2U);
  EXPECT_EQ(StepAt<action::RibbonClick>(lines, 0).label, L"Send SMS");
  const auto& menu = StepAt<action::ContextMenu>(lines, 1);
  EXPECT_EQ(menu.rows, (std::vector<ItemRef>{{.text = L"Bell, Anna"}, {.position = 3}}));
  EXPECT_EQ(menu.entry, L"Send SMS");
  EXPECT_EQ(StepAt<expect::RibbonGroup>(lines, 2).labels, std::vector<std::wstring>{L"Send SMS"});
  EXPECT_TRUE(StepAt<expect::RibbonGroup>(lines, 3).labels.empty());
  EXPECT_EQ(StepAt<expect::RibbonButton>(lines, 4).property, expect::RibbonProperty::Picture);
  EXPECT_EQ(StepAt<expect::RibbonButton>(lines, 5).property, expect::RibbonProperty::Enabled);
  EXPECT_THAT(ErrorOf(L"context-menu \"Send SMS\"").second, HasSubstr("missing row or entry"));
  EXPECT_THAT(ErrorOf(L"context-menu a #2").second, HasSubstr("label last"));
  EXPECT_THAT(ErrorOf(L"ribbon-click TabMail").second, HasSubstr("missing label"));
  EXPECT_THAT(ErrorOf(L"expect ribbon-button T B size large").second,
              HasSubstr("ribbon button property"));
}

TEST(Scenario, ReadsAMessageBoxThatMayNotCome) {
  const auto lines = ParseScenario(
      L"expect messagebox Initialisation \"Hello\" or open OLMain\n"
      L"expect messagebox Confirm \"Sure?\" no or open OLAccount\n"
      L"expect messagebox Confirm \"or\"\n");
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 0).or_open, L"OLMain");
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 0).button, 1);
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 1).or_open, L"OLAccount");
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 1).button, 7);
  EXPECT_EQ(StepAt<expect::MsgBox>(lines, 2).text, L"or");
  EXPECT_TRUE(StepAt<expect::MsgBox>(lines, 2).or_open.empty());
  EXPECT_THAT(ErrorOf(L"expect messagebox T X or closed OLMain").second, HasSubstr("open WINDOW"));
  EXPECT_THAT(ErrorOf(L"expect messagebox T X or open").second, HasSubstr("missing"));
  EXPECT_THAT(ErrorOf(L"expect messagebox T X or open OLMain.Text1").second,
              HasSubstr("without a control"));
  EXPECT_THAT(ErrorOf(L"expect messagebox T X ok open OLMain").second, HasSubstr("unexpected"));
}

TEST(Scenario, NamesTheLineAndTheProblem) {
  EXPECT_EQ(ErrorOf(L"press a\n\nfly away").first, 3);
  EXPECT_THAT(ErrorOf(L"fly away").second, HasSubstr("unknown action \"fly\""));
  EXPECT_THAT(ErrorOf(L"expect miracles").second, HasSubstr("unknown expectation"));
  EXPECT_THAT(ErrorOf(L"click OLMain").second, HasSubstr("WINDOW.CONTROL"));
  EXPECT_THAT(ErrorOf(L"click .Text2").second, HasSubstr("WINDOW.CONTROL"));
  EXPECT_THAT(ErrorOf(L"close OLMain.Text1").second, HasSubstr("without a control"));
  EXPECT_THAT(ErrorOf(L"type OLMain.Text1").second, HasSubstr("missing text"));
  EXPECT_THAT(ErrorOf(L"press a b").second, HasSubstr("unexpected \"b\""));
  EXPECT_THAT(ErrorOf(L"expect outbox many").second, HasSubstr("whole number"));
  EXPECT_THAT(ErrorOf(L"expect mail 0 to x").second, HasSubstr("from 1"));
  EXPECT_THAT(ErrorOf(L"expect mail 1 cc x").second, HasSubstr("mail field"));
  EXPECT_THAT(ErrorOf(L"expect checked OLMain.Check1 maybe").second, HasSubstr("yes or no"));
  EXPECT_THAT(ErrorOf(L"expect messagebox T X later").second, HasSubstr("button"));
  EXPECT_THAT(ErrorOf(L"type OLMain.Text3 {now+1y}").second, HasSubstr("{now+12h}"));
  EXPECT_THAT(ErrorOf(L"expect rows OLMain.L \"{now+x}|b\"").second, HasSubstr("{now+12h}"));
  EXPECT_THAT(ErrorOf(L"press \"unclosed").second, HasSubstr("closing quote"));
  EXPECT_THAT(ErrorOf(L"select OLMain.lvw").second, HasSubstr("missing row"));
  EXPECT_THAT(ErrorOf(L"unload-after-call GetFirst 1").second, HasSubstr("Object.Member"));
  EXPECT_THAT(ErrorOf(L"unload-after-call Folders.GetFirst 0").second, HasSubstr("from 1"));
  EXPECT_THAT(ErrorOf(L"expect row-count OLContacts.lvw some").second, HasSubstr("whole number"));
  EXPECT_THAT(ErrorOf(L"timer").second, HasSubstr("missing label"));
}

}  // namespace
}  // namespace parvel::standin
