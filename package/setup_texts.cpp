// The installer's texts and folders.
#include "package/setup_texts.h"

#include "common/lines.h"
#include "common/text_file.h"
#include "package/entry_names.h"

namespace quill::package {

bool read_whole_data_file(os::Os& os, const std::string& path, std::size_t max_bytes,
                          std::string* text) {
  text->clear();
  if (!os.file_status(path).exists) return false;
  if (!read_text_file(os, path, max_bytes, text)) {
    text->clear();
    return false;
  }
  return true;
}

std::string install_folders_text(const InstallFolders& folders, bool with_preferred) {
  std::string text = folders.default_folder;
  if (with_preferred) text += "\n" + folders.preferred_folder;
  return text;
}

bool read_install_folders(os::Os& os, const std::string& path, InstallFolders* folders) {
  *folders = InstallFolders();
  LineReader reader(os, path);
  if (!reader.is_open()) return false;
  if (reader.next(&folders->default_folder)) reader.next(&folders->preferred_folder);
  return true;
}

std::string end_of_install_buttons_text(bool ok_box) { return ok_box ? "OK" : "YESNO"; }

void read_end_of_install(os::Os& os, const std::vector<MacroRecord>& table,
                         const std::string& install_folder, EndOfInstall* events) {
  const std::string folder = payload_folder(os);
  *events = EndOfInstall();
  const std::string command = folder + data_file::kEndCommand;
  expand_macros_in_file(os, table, command, install_folder);
  read_whole_data_file(os, command, kMaxEndOfInstallText, &events->command);
  const std::string message = folder + data_file::kEndMessage;
  expand_macros_in_file(os, table, message, std::string());
  read_whole_data_file(os, message, kMaxEndOfInstallText, &events->message);
  const std::string buttons_file = folder + data_file::kEndButtons;
  expand_macros_in_file(os, table, buttons_file, std::string());
  std::string buttons;
  read_whole_data_file(os, buttons_file, kMaxEndOfInstallText, &buttons);
  events->ok_box = !buttons.empty() && buttons[0] == 'O';
}

bool read_uninstaller_path(os::Os& os, const std::vector<MacroRecord>& table,
                           const std::string& install_folder, std::string* path) {
  const std::string file = payload_folder(os) + data_file::kUninstaller;
  expand_macros_in_file(os, table, file, install_folder);
  return read_whole_data_file(os, file, kMaxUninstallText, path);
}

bool has_uninstaller_path(os::Os& os) {
  return os.file_status(payload_folder(os) + data_file::kUninstaller).exists;
}

}  // namespace quill::package
