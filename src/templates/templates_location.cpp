#include "templates/templates_location.h"

namespace parvel {

TemplatesLocation ChooseTemplatesLocation(const std::filesystem::path& addin_folder,
                                          bool installed_for_machine,
                                          const std::filesystem::path& user_data_folder) {
  if (!installed_for_machine || user_data_folder.empty()) return {.folder = addin_folder};
  return {.folder = user_data_folder / kUserTemplatesFolderName, .shared_folder = addin_folder};
}

}  // namespace parvel
