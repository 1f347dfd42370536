// The installer's texts and folders.
#include "package/setup_texts.h"

#include "common/lines.h"
#include "common/text_file.h"
#include "text/unicode.h"
#include "package/entry_names.h"
#include "package/language_texts.h"

#include <utility>

namespace quill::package {

bool read_whole_data_file(os::Os& os, const std::string& path, std::size_t max_bytes,
                          std::string* text) {
  text->clear();
  if (!os.file_status(path).exists) return false;
  if (!read_text_file(os, path, max_bytes * 4, text)) {
    text->clear();
    return false;
  }
  // The welcome and licence texts are the author's documents, which may be
  // UTF-8 without a mark.
  *text = text_from_bytes(text::decode_text(*text, text::Legacy::utf8_first), max_bytes);
  return true;
}

std::string install_folders_text(const InstallFolders& folders, bool with_preferred) {
  std::string text = folders.default_folder;
  if (with_preferred) text += "\n" + folders.preferred_folder;
  return text;
}

namespace {

InstallFolders install_folders(LineReader&& reader) {
  InstallFolders folders;
  if (reader.next(&folders.default_folder)) reader.next(&folders.preferred_folder);
  return folders;
}

}  // namespace

bool read_install_folders(os::Os& os, const std::string& path, InstallFolders* folders) {
  LineReader reader(os, path);
  *folders = install_folders(std::move(reader));
  return reader.is_open();
}

InstallFolders install_folders_from_text(const std::string& bytes) {
  return install_folders(LineReader(bytes));
}

bool expanded_data_text(os::Os& os, const std::vector<MacroRecord>& table, const DataFiles& files,
                        const std::string& name, const std::string& install_folder,
                        std::size_t max_bytes, std::string* text) {
  text->clear();
  const std::string* bytes = files.find(name);
  if (bytes == nullptr) return false;
  *text = text_from_bytes(expand_data_file(os, table, *bytes, install_folder), max_bytes);
  return true;
}

std::string end_of_install_buttons_text(bool ok_box) { return ok_box ? "OK" : "YESNO"; }

void read_end_of_install(os::Os& os, const std::vector<MacroRecord>& table, const DataFiles& files,
                         const std::string& install_folder, EndOfInstall* events,
                         const std::string& language) {
  *events = EndOfInstall();
  expanded_data_text(os, table, files, data_file::kEoiCommand, install_folder,
                     kMaxEndOfInstallText, &events->eoi_command);
  const std::string variant =
      language.empty() ? std::string() : variant_file_name(data_file::kEoiMessage, language);
  const bool has_variant = !variant.empty() && files.find(variant) != nullptr;
  expanded_data_text(os, table, files, has_variant ? variant : data_file::kEoiMessage,
                     std::string(), kMaxEndOfInstallText, &events->message);
  std::string buttons;
  expanded_data_text(os, table, files, data_file::kEoiButtons, std::string(),
                     kMaxEndOfInstallText, &buttons);
  events->ok_box = !buttons.empty() && buttons[0] == 'O';
}

bool read_uninstaller_path(os::Os& os, const std::vector<MacroRecord>& table,
                           const DataFiles& files, const std::string& install_folder,
                           std::string* path) {
  return expanded_data_text(os, table, files, data_file::kUninstaller, install_folder,
                            kMaxUninstallText, path);
}

}  // namespace quill::package
