// The start-up load of the installer's settings.
#include "package/data_files.h"

namespace quill::package {

void load_installer_data(os::Os& os, const PayloadScan& scan, InstallerData* data) {
  *data = InstallerData();
  const std::string folder = payload_folder(os);
  const std::string no_install_path;

  // Background companions were read when the payload was extracted.
  data->step_pictures = scan.step_pictures;
  data->background_pictures = scan.background_pictures;
  data->step6_picture_count = scan.step6_picture_count;
  data->install_entry_count = scan.install_entry_count;
  data->megabytes_needed = scan.megabytes_needed;

  if (os.file_status(folder + data_file::kFont).exists) data->font_path = folder + data_file::kFont;

  data->macros = read_macro_records(os, folder + data_file::kMacros);
  data->has_registered_name = registered_name(data->macros, &data->registered_name);

  auto expanded_text = [&](const char* name, std::size_t limit, std::string* text) {
    expand_macros_in_file(os, data->macros, folder + name, no_install_path);
    read_whole_data_file(os, folder + name, limit, text);
  };
  expanded_text(data_file::kWelcome, kMaxMainText, &data->welcome_text);
  expanded_text(data_file::kTitle, kMaxMainText, &data->title);
  expanded_text(data_file::kLicence, kMaxMainText, &data->licence_text);

  expand_macros_in_file(os, data->macros, folder + data_file::kInstallFolders, no_install_path);
  read_install_folders(os, folder + data_file::kInstallFolders, &data->install_folders);

  // Only the locations are needed now; the records are expanded and read
  // again at install time.
  std::vector<ShortcutRecord> shortcuts;
  data->has_shortcuts = read_shortcut_records(os, folder + data_file::kShortcuts, &shortcuts);
  data->shortcut_locations = shortcut_locations(shortcuts);

  read_installer_settings(os, folder + data_file::kInstallerSettings, &data->settings);

  expand_macros_in_file(os, data->macros, folder + data_file::kFullscreen, no_install_path);
  data->has_fullscreen =
      read_fullscreen_settings(os, folder + data_file::kFullscreen, &data->fullscreen);
}

}  // namespace quill::package
