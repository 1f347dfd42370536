// The start-up load of the installer data files that the extraction read
// into memory, in the installer's fixed order. Each file's own format
// (writer and reader) lives in the header included for it below.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "os/os.h"
#include "package/appearance_files.h"
#include "package/entry_names.h"
#include "package/fileinfo.h"
#include "package/install_scope.h"
#include "package/macros.h"
#include "package/payload.h"
#include "package/record_files.h"
#include "package/setup_texts.h"

namespace quill::package {

// Every setting the installer reads at start-up, plus the scan's results.
struct InstallerData {
  std::string welcome_text;
  std::string title;
  std::string licence_text;
  InstallFolders install_folders;
  std::vector<MacroRecord> macros;
  bool has_registered_name = false;
  std::string registered_name;
  bool has_shortcuts = false;  // "shortcuts.txt" exists
  ShortcutLocations shortcut_locations;
  InstallerSettings settings;
  bool has_fullscreen = false;  // a background window is shown
  FullscreenSettings fullscreen;
  std::string font_path;  // the payload's "font" file, empty when there is none
  InstallScope scope;     // from "install_scope.txt"; without it, the default
  // The languages the package carries ("languages.txt"; {"en"} without it)
  // and the one whose variants of the author's texts are in use (empty: the
  // main texts); see package/language_texts.h.
  std::vector<std::string> languages;
  std::string language;

  // What the install and its last step read later: every data file as the
  // package holds it (expanded when it is used), the archive's open file and
  // the payload folder of the run. The scan they come from owns the file.
  DataFiles files;
  ArchiveLocation archive;
  std::string payload_folder;

  std::array<std::string, kStepPictureCount> step_pictures;
  std::vector<BackgroundPicture> background_pictures;
  unsigned step6_picture_count = 0;
  std::uint64_t install_entry_count = 0;
  std::uint64_t megabytes_needed = 0;
};

// Reads the data files of the scan in the installer's order: background
// companions (already in the scan), "font", "macros.txt", then "wt.txt",
// "tt.txt", "license.txt", "def_install.txt" (each expanded with an empty
// install folder), the locations of "shortcuts.txt", "installer_settings.txt"
// and "fullscreen.txt" (expanded). Nothing is read from the disk.
void load_installer_data(os::Os& os, const PayloadScan& scan, InstallerData* data);

}  // namespace quill::package
