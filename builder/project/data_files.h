// The installer data files that a build writes, as text with "\n" line ends
// (the build stores each "\n" as CR LF).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "builder/project/project.h"

namespace quill::project {

// The installer reads at most 1024 records from "macros.txt": 1022 user
// macros, the program name macro and the closing record.
constexpr int kMaxPackagedMacros = 1022;

// A box's text as the main window hands it over: at most 259 characters.
std::string box_text(const std::string& text);

std::string installer_settings_text(const WindowSettings& settings);
std::string def_install_text(const Settings& settings);
std::string eoi_buttons_text(const Settings& settings);
// `left_out` (optional) receives the number of user macros beyond the limit.
// A macro whose value name begins with "/" would read as the closing record
// and end the installer's table early; it is left out and its name goes to
// `unwritable` (optional).
std::string macros_text(const Project& project, int* left_out = nullptr,
                        std::vector<std::string>* unwritable = nullptr);
// `any` receives whether at least one shortcut was written.
std::string shortcuts_text(const Project& project, bool* any);
std::string background_companion_text(const ImageRecord& image);
std::string fullscreen_text(const FullscreenOptions& options);

// How one file record travels in the package.
struct InstallEntry {
  int slot = kNoSlot;
  std::string entry_name;   // archive entry name (with "\")
  std::string destination;  // the folder written after "|" in "fileinfo.txt"
};

// The records of the file table in slot order, each with an archive entry
// name of its own. The installer finds entries by name alone, so when two
// files in different folders share a name, one of them carries trailing
// folders of its destination in its entry name instead (destination + entry
// name stays the same path). A record with the same name and target folder
// as an earlier one, or one whose clash no folder can resolve, is left out
// and reported in `duplicates` (slot numbers). When `available` (optional)
// says that the earlier record's source cannot be read and the later one's
// can, the later record takes the earlier one's place instead.
std::vector<InstallEntry> plan_install_entries(
    const Project& project, std::vector<int>* duplicates,
    const std::function<bool(int slot)>& available = nullptr);

std::string fileinfo_text(const std::vector<InstallEntry>& entries);

// "\n" to CR LF, as a text-mode stream writes.
std::string to_crlf(const std::string& text);

}  // namespace quill::project
