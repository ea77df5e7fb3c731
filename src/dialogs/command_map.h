#pragma once

#include <span>
#include <variant>

#include "dialogs/control_name.h"

namespace parvel {

// What a user does to a control that a presenter answers.
enum class ControlEvent {
  Clicked,           // a button or an option
  Changed,           // the text of an edit box
  SelectionChanged,  // a list box
  DoubleClicked,     // a list view's row
  ColumnClicked,     // a list view's header; the handler gets the column, from 0
};

// One line of a window's command map: which handler of the presenter answers
// which event of which control. The window dispatches through the map alone.
template <typename Presenter>
struct Command {
  using Handler = std::variant<void (Presenter::*)(), void (Presenter::*)(int)>;

  ControlName control;
  ControlEvent event;
  Handler handler;
};

// Runs the handler the map has for event on the control with id; false when
// the map has none. argument goes to a handler that takes one.
template <typename Presenter>
bool Dispatch(std::span<const Command<Presenter>> map, Presenter& presenter, int id,
              ControlEvent event, int argument = 0) {
  for (const Command<Presenter>& command : map) {
    if (command.control.id != id || command.event != event) continue;
    if (const auto* plain = std::get_if<void (Presenter::*)()>(&command.handler)) {
      (presenter.**plain)();
    } else {
      (presenter.*std::get<void (Presenter::*)(int)>(command.handler))(argument);
    }
    return true;
  }
  return false;
}

}  // namespace parvel
