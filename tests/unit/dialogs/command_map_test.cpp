#include "dialogs/command_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <vector>

#include "dialogs/account_presenter.h"
#include "dialogs/compose_presenter.h"
#include "dialogs/contacts_presenter.h"
#include "dialogs/templates_presenter.h"

namespace parvel {
namespace {

struct Recorder {
  void Clicked() { calls.push_back(-1); }
  void Column(int column) { calls.push_back(column); }
  std::vector<int> calls;
};

constexpr ControlName kButton{L"Command1", 10};
constexpr ControlName kList{L"ListView1", 11};
constexpr Command<Recorder> kMap[] = {
    {kButton, ControlEvent::Clicked, &Recorder::Clicked},
    {kList, ControlEvent::ColumnClicked, &Recorder::Column},
};

TEST(CommandMap, DispatchesOnlyTheEventTheMapNamesForTheControl) {
  Recorder recorder;
  EXPECT_TRUE(Dispatch<Recorder>(kMap, recorder, kButton.id, ControlEvent::Clicked));
  EXPECT_TRUE(Dispatch<Recorder>(kMap, recorder, kList.id, ControlEvent::ColumnClicked, 1));
  EXPECT_FALSE(Dispatch<Recorder>(kMap, recorder, kList.id, ControlEvent::Clicked));
  EXPECT_FALSE(Dispatch<Recorder>(kMap, recorder, kButton.id, ControlEvent::SelectionChanged));
  EXPECT_FALSE(Dispatch<Recorder>(kMap, recorder, 99, ControlEvent::Clicked));
  EXPECT_EQ(recorder.calls, (std::vector<int>{-1, 1})) << "the column reaches its handler";
}

// Every line names a control of its own window, once per event: a line
// copied from another window's map would answer a control id it never sees.
template <typename Presenter>
void ExpectOwnControls(std::span<const Command<Presenter>> map,
                       std::span<const ControlName> controls) {
  for (std::size_t i = 0; i < map.size(); ++i) {
    const Command<Presenter>& line = map[i];
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(),
                            [&](const ControlName& control) {
                              return control.id == line.control.id &&
                                     std::wstring_view(control) == line.control;
                            }))
        << "line " << i;
    for (std::size_t j = 0; j < i; ++j) {
      EXPECT_FALSE(map[j].control.id == line.control.id && map[j].event == line.event)
          << "lines " << j << " and " << i;
    }
  }
}

TEST(CommandMap, EachWindowsMapNamesItsOwnControls) {
  ExpectOwnControls<ComposePresenter>(kComposeCommands, compose_controls::kControls);
  ExpectOwnControls<ContactsPresenter>(kContactsCommands, contacts_controls::kControls);
  ExpectOwnControls<AccountPresenter>(kAccountCommands, account_controls::kControls);
  ExpectOwnControls<TemplatesPresenter>(kTemplatesCommands, templates_controls::kControls);
}

}  // namespace
}  // namespace parvel
