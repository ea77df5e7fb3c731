#include "dialogs/templates_presenter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/compose_presenter.h"
#include "support/recording_window_view.h"
#include "support/temp_folder.h"
#include "unit/dialogs/compose_fixture.h"

namespace parvel {
namespace {

using namespace templates_controls;

using fakes::ShownMessage;
using templates_test::ReadBytes;
using templates_test::TempFolder;
using templates_test::WriteBytes;
using Names = std::vector<std::wstring>;

// The compose window as the templates window reaches it: loaded on first use.
class ComposeOnDemand final : public AddinWindows {
 public:
  explicit ComposeOnDemand(ComposePorts ports) : ports_(ports) {}
  void ShowContactsPicker() override {}
  void ShowAccountWindow() override {}
  void ShowTemplatesWindow() override {}
  ComposePresenter& ComposeWindow() override {
    if (!compose) compose = std::make_unique<ComposePresenter>(ports_);
    return *compose;
  }

  std::unique_ptr<ComposePresenter> compose;

 private:
  ComposePorts ports_;
};

const ShownMessage kNoTemplateSelected{std::wstring(kNoTemplateSelectedTitle),
                                       std::wstring(kNoTemplateSelectedText),
                                       MessageIcon::Exclamation};
const ShownMessage kInsufficientData{std::wstring(kInsufficientDataTitle),
                                     std::wstring(kInsufficientDataText), MessageIcon::Exclamation};

class TemplatesPresenterTest : public compose_test::ComposeFixture {
 protected:
  TemplatesPresenterTest() {
    session.account_settings.name_prefix = L"ZN";
    session.user_display_name = L"Sales Desk";
  }

  // The names the list box shows, in order.
  Names List() {
    Names names;
    for (const ListItem& item : view.lists[kTemplateList]) names.push_back(item.text);
    return names;
  }
  void Select(std::size_t row) { view.list_index[kTemplateList] = row; }
  void Add(std::wstring name, std::wstring text) {
    view.texts[kNewTextBox] = std::move(text);
    view.texts[kNewNameBox] = std::move(name);
    window.OnAddClicked();
  }
  std::optional<std::string> File() const { return ReadBytes(file); }

  TempFolder folder;
  std::filesystem::path file = folder.path() / "ZNSMSTemplates.txt";
  DiskFiles files;
  fakes::RecordingWindowView compose_view;
  ComposeOnDemand compose{Ports(compose_view)};
  // The templates window's own view.
  fakes::RecordingWindowView view;
  TemplatesPresenter window{{.view = view,
                             .message_boxes = messages,
                             .windows = compose,
                             .files = files,
                             .location = {.folder = folder.path()},
                             .code_page = western}};
};

TEST_F(TemplatesPresenterTest, AddSavesReadsBackAndEmptiesTheBoxes) {
  window.Load();
  EXPECT_EQ(List(), Names{});
  Add(L"Late", L"Running late");
  EXPECT_EQ(File(), "%LABEL%Late\r\nRunning late\r\n");
  Add(L"Late", L" ");
  EXPECT_EQ(File(), "%LABEL%Late\r\nRunning late\r\n%LABEL%Late\r\n \r\n")
      << "a blank is content and a name may repeat";
  EXPECT_EQ(List(), (Names{L"Late", L"Late"}));
  EXPECT_EQ(view.texts[kNewTextBox], L"");
  EXPECT_EQ(view.texts[kNewNameBox], L"");
  EXPECT_EQ(view.focus, std::wstring(kTemplateList));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TemplatesPresenterTest, AnIncompleteOrSplitEntryIsRefusedAndTheBoxesKeepWhatWasTyped) {
  WriteBytes(file, "%LABEL%Kept\r\nkept\r\n");
  window.Load();
  const ShownMessage line_break{std::wstring(kLineBreakTitle), std::wstring(kLineBreakText),
                                MessageIcon::Exclamation};
  const std::wstring lost = L" holds characters that cannot be stored: ";
  const ShownMessage lost_text{
      L"Characters Not Stored",
      L"The template" + lost + L"\u0141 \u017a...Please write it without them...",
      MessageIcon::Exclamation};
  const ShownMessage lost_name{
      L"Characters Not Stored",
      L"The template's name" + lost + L"\u0141...Please write it without them...",
      MessageIcon::Exclamation};
  const struct {
    const wchar_t* name;
    const wchar_t* text;
    const ShownMessage& refusal;
    std::wstring_view focus;
  } cases[] = {
      {L"Name", L"", kInsufficientData, kNewTextBox},
      {L"", L"Text", kInsufficientData, kNewTextBox},
      // A line break could split the entry in the file.
      {L"Two lines", L"first\r\n%LABEL%second", line_break, kNewTextBox},
      {L"Two lines", L"first\nsecond", line_break, kNewTextBox},
      {L"Name\rmore", L"one line", line_break, kNewNameBox},
      // The file would keep "?" for a character the code page lacks.
      {L"Name", L"\u0141\u00f3d\u017a", lost_text, kNewTextBox},
      {L"\u0141", L"Text", lost_name, kNewNameBox},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::pair{c.name, c.text}));
    messages.shown.clear();
    view.focus.clear();
    Add(c.name, c.text);
    EXPECT_EQ(messages.shown, std::vector<ShownMessage>{c.refusal});
    EXPECT_EQ(view.focus, c.focus);
    EXPECT_EQ(view.texts[kNewNameBox], c.name);
    EXPECT_EQ(view.texts[kNewTextBox], c.text);
  }
  EXPECT_EQ(File(), "%LABEL%Kept\r\nkept\r\n");
  EXPECT_EQ(List(), Names{L"Kept"});
  EXPECT_EQ(window.Store().TemplateCount(), 1U);
}

TEST_F(TemplatesPresenterTest,
       SelectWithoutARowSaysSoAndWithOneReachesAComposeWindowThatWasClosed) {
  WriteBytes(file, "%LABEL%A\r\nalpha\r\n");
  window.Load();
  window.OnSelectClicked();
  window.OnDeleteClicked();
  EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{kNoTemplateSelected, kNoTemplateSelected}));
  EXPECT_EQ(view.focus, std::wstring(kTemplateList));
  EXPECT_FALSE(view.closed);
  EXPECT_EQ(compose.compose, nullptr);
  EXPECT_EQ(File(), "%LABEL%A\r\nalpha\r\n");

  Select(0);
  window.OnSelectClicked();
  ASSERT_NE(compose.compose, nullptr);
  EXPECT_EQ(compose_view.texts[compose_controls::kMessageBox], L"alpha");
}

TEST_F(TemplatesPresenterTest,
       DeleteTheMiddleOfThreeKeepsTheOthersInOrderAndSelectTakesTheRowsText) {
  window.Load();
  Add(L"One", L"1");
  Add(L"Two", L"2");
  Add(L"Three", L"3");
  Select(1);
  window.OnDeleteClicked();
  EXPECT_EQ(File(), "%LABEL%One\r\n1\r\n%LABEL%Three\r\n3\r\n");
  EXPECT_EQ(List(), (Names{L"One", L"Three"}));
  EXPECT_FALSE(view.ListIndex(kTemplateList).has_value()) << "no row is selected afterwards";
  EXPECT_EQ(view.focus, std::wstring(kTemplateList));
  Select(1);
  window.OnSelectClicked();
  EXPECT_EQ(compose_view.texts[compose_controls::kMessageBox], L"3") << "rows still match entries";
  EXPECT_TRUE(view.closed);
}

TEST_F(TemplatesPresenterTest, AChangeThatCannotBeSavedIsToldAndWhatWasTypedKept) {
  WriteBytes(file, "%LABEL%Kept\r\nk\r\n");
  templates_test::MakeReadOnly(file);
  window.Load();
  const ShownMessage not_saved{
      L"Templates Not Saved",
      L"The templates file ZNSMSTemplates.txt could not be written, so this change has not been "
      L"saved.\r\n\r\nThe file may be read-only or in use, or you may not have the right to change "
      L"it. The list shows the templates as they are stored, and the boxes keep what you typed...",
      MessageIcon::Exclamation};

  Add(L"New", L"n");
  EXPECT_EQ(messages.shown, std::vector<ShownMessage>{not_saved});
  EXPECT_EQ(List(), Names{L"Kept"});
  EXPECT_EQ(view.texts[kNewTextBox], L"n") << "typed again in a moment otherwise";
  EXPECT_EQ(view.texts[kNewNameBox], L"New");
  EXPECT_EQ(view.focus, std::wstring(kNewTextBox));

  messages.shown.clear();
  Select(0);
  window.OnDeleteClicked();
  EXPECT_EQ(messages.shown, std::vector<ShownMessage>{not_saved});
  EXPECT_EQ(List(), Names{L"Kept"});
  EXPECT_EQ(File(), "%LABEL%Kept\r\nk\r\n");
}

}  // namespace
}  // namespace parvel
