// The start-up load of the installer's settings.
#include "package/data_files.h"

#include "package/language_texts.h"

namespace quill::package {

void load_installer_data(os::Os& os, const PayloadScan& scan, InstallerData* data) {
  *data = InstallerData();
  const DataFiles& files = scan.data_files;
  const std::string no_install_folder;
  static const std::string kNoFile;
  auto bytes_of = [&](const char* name) -> const std::string& {
    const std::string* bytes = files.find(name);
    return bytes ? *bytes : kNoFile;
  };

  // Background companions were read when the payload was extracted.
  data->step_pictures = scan.step_pictures;
  data->background_pictures = scan.background_pictures;
  data->step6_picture_count = scan.step6_picture_count;
  data->install_entry_count = scan.install_entry_count;
  data->megabytes_needed = scan.megabytes_needed;
  data->font_path = scan.font_path;
  data->files = files;
  data->archive = scan.archive;
  data->payload_folder = scan.payload_folder;

  const std::string* languages = files.find(data_file::kLanguages);
  data->languages = languages_from_text(languages ? *languages : std::string());

  data->macros = macro_records_from_text(bytes_of(data_file::kMacros));
  data->has_registered_name = registered_name(data->macros, &data->registered_name);

  auto expanded = [&](const char* name, std::size_t limit, std::string* text) {
    expanded_data_text(os, data->macros, files, name, no_install_folder, limit, text);
  };
  expanded(data_file::kWelcome, kMaxMainText, &data->welcome_text);
  expanded(data_file::kTitle, kMaxMainText, &data->title);
  expanded(data_file::kLicence, kMaxMainText, &data->licence_text);

  if (const std::string* scope = files.find(data_file::kInstallScope)) {
    data->scope = install_scope_from_text(*scope);
  }
  if (const std::string* folders = files.find(data_file::kInstallFolders)) {
    data->install_folders =
        install_folders_from_text(expand_data_file(os, data->macros, *folders, no_install_folder));
  }

  // Only the locations are needed now; the records are expanded and read
  // again at install time.
  const std::string* shortcuts = files.find(data_file::kShortcuts);
  data->has_shortcuts = shortcuts != nullptr;
  if (shortcuts) {
    data->shortcut_locations = shortcut_locations(shortcut_records_from_text(*shortcuts));
  }

  installer_settings_from_text(bytes_of(data_file::kInstallerSettings), &data->settings);

  if (const std::string* fullscreen = files.find(data_file::kFullscreen)) {
    data->has_fullscreen = true;
    fullscreen_settings_from_text(
        expand_data_file(os, data->macros, *fullscreen, no_install_folder), &data->fullscreen);
  }
}

}  // namespace quill::package
