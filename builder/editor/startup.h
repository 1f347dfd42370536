// The builder's registry settings and the decisions taken at start-up:
// the project path of the command line ("toopen"), the file association
// question, the crash marker ("started").
//
// Win32 side: in WinMain, before the main window, call
// remember_command_line(os, lpCmdLine). The rest runs inside
// Editor::initialise() (WM_INITDIALOG) and Editor::quit()/close().
#pragma once

#include <string>

#include "os/os.h"

namespace quill::editor {

// HKEY_LOCAL_MACHINE\Software\Orvelle Software\Quillset
extern const char kSettingsKey[];

// The command line without its first and last character (the quotes the
// association puts around the path); empty for fewer than two characters.
std::string project_path_from_command_line(const std::string& command_line);

// Stores that path as "toopen" when the command line is not empty,
// creating the settings key when missing.
void remember_command_line(os::Os& os, const std::string& command_line);

// "Quillset.exe" in the folder of `program_path`: what the association names.
std::string association_program_path(const std::string& program_path);

// Writes the five association keys under HKEY_CLASSES_ROOT.
void write_association(os::Os& os, const std::string& builder_path);

// Empties "started", creating the settings key when missing.
void clear_crash_marker(os::Os& os);

// What the main window opens at start-up.
struct StartupPlan {
  enum Action { new_project, ask_backup, open_toopen } action = new_project;
  std::string toopen;            // the project to open (open_toopen)
  bool ask_association = false;  // put the association question
  bool key_available = false;    // the settings key could be opened
};

// Reads the settings (association flag, crash marker, "toopen") and writes
// the crash marker, as the main window's initialisation does, creating the
// settings key when missing. When the key can be neither opened nor created,
// nothing is read or written: the association question is asked and no
// crash is detected.
StartupPlan read_startup_settings(os::Os& os);
// Stores "qspfiles" = "yes" (when the key was available).
void mark_association_asked(os::Os& os, const StartupPlan& plan);
// Empties "toopen" after its project was opened.
void clear_toopen(os::Os& os);

// "backupof": the path of the project the backup file holds (empty: an
// unsaved one). Beside the crash marker, so the backup file itself stays as
// every builder reads it.
void write_backup_origin(os::Os& os, const std::string& project_path);
std::string read_backup_origin(os::Os& os);

}  // namespace quill::editor
