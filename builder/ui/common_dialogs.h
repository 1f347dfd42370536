// The builder's common dialogs: open and save file dialogs (explorer style,
// no read-only box, paths of at most 260 characters) and the folder browser.
#pragma once

#include <windows.h>

#include <string>

namespace quill::ui {

struct FileFilter {
  std::string description;  // "Quillset files (*.qsp)"
  std::string pattern;      // "*.qsp"
};

// False on Cancel. `default_extension` may be empty.
bool choose_open_file(HWND owner, const FileFilter& filter, std::string* path);
bool choose_save_file(HWND owner, const FileFilter& filter, const std::string& default_extension,
                      bool prompt_overwrite, bool folder_must_exist, std::string* path);
// The shell's folder browser with `title` above its tree; false on Cancel or
// a choice that is no file system folder.
bool choose_folder(HWND owner, const std::string& title, std::string* path);

}  // namespace quill::ui
