// The project file (".qsp") and its backup: six sections of CR LF text lines.
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "os/os.h"

namespace quill::project {

// The project file's text: compacts the file table first (so that slot
// numbers written equal the records' positions), then renders the sections.
std::string project_text(Project& project);
// The same text without changing the project: the records are written in
// the order and under the slot numbers that compaction would give them.
// For the backup, which must not move records under the editor's feet.
std::string render_project(const Project& project);

// Writes the project to `path` through a temporary file beside it, which
// replaces the old file only once it is complete. Unless `path` is the backup
// path, it becomes the current project path. False when the file could not
// be fully written: the old file and the current path are then unchanged.
bool save_project(Project& project, os::Os& os, const std::string& path,
                  const std::string& backup_path);

enum class LoadStatus {
  loaded,      // every section was read
  truncated,   // the file ended early: what was read is kept
  unreadable,  // the file could not be opened: the project is untouched
};

// Replaces the project with the one in `path`. Unless `path` is the backup
// path, it becomes the current project path. A file record whose name and
// target folder an earlier record already holds is loaded under a name with
// "copy of " in front (once more for each earlier holder of the new name);
// `renamed` (optional) receives each such record.
// Writes a rendered text to `path` through a temporary file beside it.
bool write_project_text(os::Os& os, const std::string& path, const std::string& text);

// A file record the load gave another name.
struct RenamedFile {
  int slot = kNoSlot;
  std::string name;  // the name the project file gives it
};

// A value of the project file that no way into a project stores: a name
// an installer cannot create, a text with a control character, a number
// outside its limits. The load keeps it; "check" and the build report it.
struct FileFinding {
  const char* section;  // "files", "settings", ...
  int line;             // 1-based, in the whole file
  std::string text;
};

// `findings` (optional) receives each such value of the sections up to the
// settings. An interruption (interruption.h) ends the load as if the file
// ended there. A file holding a NUL byte (other than a UTF-16 one) is not
// a project file: unreadable.
LoadStatus load_project(Project& project, os::Os& os, const std::string& path,
                        const std::string& backup_path,
                        std::vector<RenamedFile>* renamed = nullptr,
                        std::vector<FileFinding>* findings = nullptr);

// The backup path: "ProjectBackup.qspbak" in the folder of `program_path`
// (a "/" counts as a separator for host paths).
std::string backup_path_for(const std::string& program_path);

}  // namespace quill::project
