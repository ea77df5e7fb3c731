#pragma once

// Names the add-in gives its windows and controls, so that a test driver can
// find them as a user would by their names in code ("OLMain", "Text2"): a
// window property holding a global atom of the name.
inline constexpr wchar_t kWindowNameProperty[] = L"ParvelName";
