#pragma once

#include <string_view>

namespace parvel {

// A control of one of the add-in's dialogs: the name its presenter knows it
// by (as in code: "Text2", "ListView1") and the id of the dialog template.
struct ControlName {
  const wchar_t* name;
  int id;
  constexpr operator std::wstring_view() const noexcept { return name; }
};

#define PARVEL_WIDE_TEXT_(text) L##text
#define PARVEL_WIDE_TEXT(text) PARVEL_WIDE_TEXT_(text)
#define PARVEL_CONTROL_CONSTANT(name, id) \
  inline constexpr ControlName k##name{PARVEL_WIDE_TEXT(#name), id};
#define PARVEL_CONTROL_ENTRY(name, id) k##name,

// For each X(name, id) of the list, the constant k<name>, for the presenter;
// and kControls, every control, for the dialog. A name the presenter gets
// wrong does not compile.
#define PARVEL_DECLARE_CONTROLS(LIST) \
  LIST(PARVEL_CONTROL_CONSTANT)       \
  inline constexpr ControlName kControls[] = {LIST(PARVEL_CONTROL_ENTRY)};

}  // namespace parvel
