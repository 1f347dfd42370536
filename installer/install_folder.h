// The install folder, parsed once where it enters (the wizard's folder field,
// "/D=", the package's "def_install.txt") and passed on as this value to the
// wizard's checks, the silent install, the engine, the shortcuts, the
// uninstall log and the uninstall entry.
#pragma once

#include <cstdint>
#include <string>

#include "os/os.h"
#include "package/setup_texts.h"

namespace quill::installer {

class InstallFolder {
 public:
  // What parsing found wrong with a text, if anything.
  enum class Fault {
    none,
    too_short,  // fewer than two characters: no path at all
    unusable,   // relative, "." or ".." parts, empty parts, characters no name may hold
  };

  // An empty text: too short.
  InstallFolder() : InstallFolder(std::string()) {}
  // Parses a folder text: cut to kMaxPathLength characters, '/' read as '\'
  // (Windows accepts both), then judged. Usable folders are "X:\..." and
  // "\\server\share\...".
  explicit InstallFolder(const std::string& text);

  // The text as entered, cut to the limit: what the folder field and the
  // wizard's boxes show.
  const std::string& typed() const { return typed_; }
  // The same with every '/' as '\'.
  const std::string& text() const { return text_; }
  // `text` with its trailing backslash: what is installed to and recorded.
  const std::string& path() const { return path_; }

  Fault fault() const { return fault_; }
  bool usable() const { return fault_ == Fault::none; }

 private:
  std::string typed_;
  std::string text_;
  std::string path_;
  Fault fault_ = Fault::too_short;
};

// Whether an install may go to a folder: the one rule the wizard and the
// silent install both apply before an install starts.
enum class FolderCheck { usable, too_short, unusable, not_enough_space, not_writable };
FolderCheck check_install_folder(const InstallFolder& folder, std::uint64_t megabytes_needed,
                                 std::uint64_t megabytes_available);
// The same, and for a per-user install (which never asks for rights) also
// whether the running user may make files there: `not_writable` when a
// probe file cannot be made in the folder, or in its nearest existing
// parent when the folder does not exist yet.
FolderCheck check_install_folder(os::Os& os, const InstallFolder& folder, std::uint64_t megabytes_needed,
                                 std::uint64_t megabytes_available, bool per_user);

// The text the folder field starts with: "/D=" (`command_line_folder`) when
// given, else the folder of the program installed already (an upgrade),
// else the package's preferred folder, else its default folder.
std::string initial_folder_text(const package::InstallFolders& folders,
                                const std::string& command_line_folder,
                                const std::string& installed_folder = std::string());

}  // namespace quill::installer
