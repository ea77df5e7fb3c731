#pragma once

#include <filesystem>
#include <string_view>

#include "templates/templates_location.h"

namespace parvel {

// The templates location of the add-in loaded in this process, registered as
// prog_id: its folder, whether it is installed for the machine, and the user's roaming application
// data folder (which follows the user between the machines of a terminal
// server farm or virtual desktops), put together by ChooseTemplatesLocation.
TemplatesLocation AddinTemplatesLocation(std::wstring_view prog_id);

// True when the class that the machine's registry (HKLM\Software\Classes, in
// this process's registry view) gives prog_id is served by the very file at
// module, and the user's own classes (HKCU\Software\Classes) do not name that
// file too. Only a per-machine package writes the former; the add-in's own
// registration, and a per-user package, write the latter, which a user's
// COM sees first (and which a host may copy to the machine's classes where
// COM does not merge the two, as Wine does). Files are compared by identity,
// not by their names' spelling.
bool InstalledForMachine(std::wstring_view prog_id, const std::filesystem::path& module);

}  // namespace parvel
