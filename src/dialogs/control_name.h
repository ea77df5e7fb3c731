#pragma once

#include <string>
#include <string_view>

namespace parvel {

// A control of one of the add-in's dialogs: the name users, scenarios and
// tests address it by ("Text2", "ListView1") and the id of the dialog template.
struct ControlName {
  const wchar_t* name;
  int id;
  constexpr operator std::wstring_view() const noexcept { return name; }
  // Views and their recorders in tests key their controls by name.
  operator std::wstring() const { return name; }
  friend constexpr bool operator==(const ControlName& control, std::wstring_view text) noexcept {
    return std::wstring_view(control) == text;
  }
  friend constexpr auto operator<=>(const ControlName& control, std::wstring_view text) noexcept {
    return std::wstring_view(control) <=> text;
  }
};

#define PARVEL_WIDE_TEXT_(text) L##text
#define PARVEL_WIDE_TEXT(text) PARVEL_WIDE_TEXT_(text)
#define PARVEL_CONTROL_CONSTANT(constant, name, id) \
  inline constexpr ControlName constant{PARVEL_WIDE_TEXT(#name), id};
#define PARVEL_CONTROL_ENTRY(constant, name, id) constant,

// For each X(constant, name, id) of the list, the constant, for the
// presenter; and kControls, every control, for the dialog. A constant the
// presenter gets wrong does not compile.
#define PARVEL_DECLARE_CONTROLS(LIST) \
  LIST(PARVEL_CONTROL_CONSTANT)       \
  inline constexpr ControlName kControls[] = {LIST(PARVEL_CONTROL_ENTRY)};

}  // namespace parvel
