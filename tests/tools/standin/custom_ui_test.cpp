#include "standin_host/custom_ui.h"

#include <gtest/gtest.h>

#include <string>

#include "addin/ribbon.h"

namespace parvel::standin {
namespace {

std::wstring Document(
    const std::wstring& inside,
    std::wstring_view ns = L"http://schemas.microsoft.com/office/2009/07/customui") {
  return L"<customUI xmlns=\"" + std::wstring(ns) + L"\">" + inside + L"</customUI>";
}

std::wstring InGroup(const std::wstring& button) {
  return Document(L"<ribbon><tabs><tab idMso=\"TabMail\"><group id=\"g\" label=\"G\">" + button +
                  L"</group></tab></tabs></ribbon>");
}

TEST(CustomUiTest, ReadsTheAddinsOwnExplorerRibbon) {
  const CustomUi ui = ParseCustomUi(addin::CustomUiFor(addin::kExplorerRibbonId));
  ASSERT_EQ(ui.tabs.size(), 2U);
  for (const UiTab& tab : ui.tabs) {
    ASSERT_EQ(tab.groups.size(), 1U);
    EXPECT_EQ(tab.groups[0].label, L"SMS");
    ASSERT_EQ(tab.groups[0].buttons.size(), 1U);
    const UiButton& button = tab.groups[0].buttons[0];
    EXPECT_EQ(button.label, L"Send SMS");
    EXPECT_TRUE(button.large);
  }
  ASSERT_EQ(ui.context_menus.size(), 3U);
  for (const UiContextMenu& menu : ui.context_menus) {
    ASSERT_EQ(menu.buttons.size(), 1U);
    EXPECT_EQ(addin::PictureFor(menu.buttons[0].id), addin::RibbonPicture::Small);
    EXPECT_EQ(menu.buttons[0].label, L"Send SMS");
    EXPECT_EQ(menu.buttons[0].get_visible, L"ParvelGetVisible")
        << "shown only for a selection with a contact or a list";
  }
  EXPECT_EQ(addin::FindRibbonCallback(L"PARVELSENDSMS"), addin::RibbonCallback::SendSms);
}

TEST(CustomUiTest, ReadsWhatTheSchemaAllowsWithCommentsEntitiesAndTheOlderNamespace) {
  const CustomUi ui = ParseCustomUi(
      L"\uFEFF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- a comment -->\r\n" +
      Document(L"<ribbon startFromScratch='false'><tabs><tab id=\"own\" label=\"A &amp; B&#x21;\">"
               L"<group idMso=\"GroupMailNew\"><button id=\"b\" getLabel=\"L\" enabled=\"0\" "
               L"getImage=\"I\" onAction=\"A\" tag=\"t\"/></group></tab></tabs></ribbon>",
               kCustomUi2006));
  ASSERT_EQ(ui.tabs.size(), 1U);
  EXPECT_EQ(ui.tabs[0].label, L"A & B!");
  const UiButton& button = ui.tabs[0].groups[0].buttons[0];
  EXPECT_FALSE(button.enabled);
  EXPECT_FALSE(button.large);
  EXPECT_EQ(button.tag, L"t");
  EXPECT_EQ(ui.callbacks, (std::vector<std::wstring>{L"L", L"I", L"A"}));
}

TEST(CustomUiTest, RefusesEveryMistakeWithItsLine) {
  const struct {
    std::wstring xml;
    int line;
  } kMistakes[] = {
      {InGroup(L"<button id=\"b\" lable=\"typo\"/>"), 1},              // unknown attribute
      {InGroup(L"<toggleButton id=\"b\"/>"), 1},                       // unknown element
      {InGroup(L"<button id=\"g\"/>"), 1},                             // id used twice
      {InGroup(L"<button id=\"b\" label=\"x\" getLabel=\"y\"/>"), 1},  // both label forms
      {InGroup(L"<button id=\"b\" size=\"huge\"/>"), 1},               // bad value
      {InGroup(L"<button id=\"b\" visible=\"yes\"/>"), 1},             // not a boolean
      {InGroup(L"<button label=\"nameless\"/>"), 1},                   // no id
      {InGroup(L"<button id=\"b\" onAction=\"\"/>"), 1},               // empty callback
      {InGroup(L"<button id=\"b\">\n</button2>"), 2},                  // not well-formed
      {InGroup(L"<button id=\"b\" label=\"a < b\"/>"), 1},             // raw "<"
      {InGroup(L"<button id=\"b\" label=\"&nbsp;\"/>"), 1},            // unknown entity
      {InGroup(L"hello"), 1},                                          // text
      {Document(L"<contextMenus><contextMenu idMso=\"ContextMenuContactItem\">\n"
                L"<button id=\"c\" size=\"large\"/></contextMenu></contextMenus>"),
       2},                                               // no size in a menu
      {Document(L"<contextMenus/>", kCustomUi2006), 1},  // no context menus before Office 2010
      {Document(L"<contextMenus/><ribbon/>"), 1},        // out of order
      {Document(L"<ribbon/>", L"http://example.com/ui"), 1},
      {L"<customUI><ribbon/></customUI>", 1},
      {Document(L"") + L"<extra/>", 1},
  };
  for (const auto& mistake : kMistakes) {
    try {
      ParseCustomUi(mistake.xml);
      ADD_FAILURE() << "accepted: " << std::string(mistake.xml.begin(), mistake.xml.end());
    } catch (const CustomUiError& error) {
      EXPECT_EQ(error.line(), mistake.line) << error.what();
    }
  }
}

}  // namespace
}  // namespace parvel::standin
