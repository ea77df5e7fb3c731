#pragma once

#include <filesystem>
#include <string_view>

namespace parvel {

// Where a user's templates file is.
struct TemplatesLocation {
  // Holds the file the user reads and writes.
  std::filesystem::path folder;
  // Only for an add-in installed for every user of the machine: its own
  // folder, whose file (an administrator's starting set) is read while the
  // user has no file of their own. folder is then created at the first save.
  std::filesystem::path shared_folder;
};

// The folder of a user's own templates below their application data folder.
inline constexpr std::wstring_view kUserTemplatesFolderName = L"Parvel";

// An add-in installed for one user keeps the file in its own folder, which
// that user may write. One installed for the machine sits where users cannot
// write (Program Files) and is shared by all of them: each user's file goes
// to <user_data_folder>\Parvel, starting from the add-in folder's file. When
// the user data folder is unknown (empty), the add-in's folder is used as for
// one user.
TemplatesLocation ChooseTemplatesLocation(const std::filesystem::path& addin_folder,
                                          bool installed_for_machine,
                                          const std::filesystem::path& user_data_folder);

}  // namespace parvel
