#include "support/recording_compose_view.h"

#include <gtest/gtest.h>

namespace parvel::fakes {

void PrintTo(const ComposeState& state, std::ostream* out) {
  using testing::PrintToString;
  *out << "{message " << PrintToString(state.message) << ", mobile " << PrintToString(state.mobile)
       << ", rows [";
  for (const RecipientEntry& row : state.rows) {
    *out << "(" << PrintToString(row.name) << " " << PrintToString(row.mobile) << " "
         << PrintToString(std::wstring(KindText(row.kind))) << ")";
  }
  *out << "], ticked " << state.delayed_send_ticked << ", delayed ";
  if (const auto& when = state.delayed_send) {
    *out << when->year << "-" << when->month << "-" << when->day << " " << when->hour << ":"
         << when->minute;
  } else {
    *out << "none";
  }
  *out << ", account button " << state.account_button_shown << ", focus "
       << PrintToString(state.focus) << "}";
}

}  // namespace parvel::fakes
