#pragma once

#include <windows.h>

#include <string>

namespace parvel::addin {

inline constexpr wchar_t kProgId[] = L"ZintaraOutlook.OLConnector";
inline constexpr wchar_t kFriendlyName[] = L"Outlook add-in";
inline constexpr wchar_t kDescription[] = L"Outlook add-in to send SMS messages";
inline constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";

// Writes the class, the ProgID, the type library and the host's add-in entry
// for the current user only (no administrator rights), for the DLL at
// module_path. A failure part-way removes what was written.
HRESULT RegisterAddin(const std::wstring& module_path) noexcept;

// Removes every key RegisterAddin writes; keys already gone count as removed.
HRESULT UnregisterAddin() noexcept;

}  // namespace parvel::addin
