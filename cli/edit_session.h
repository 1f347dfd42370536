// A project opened for editing from the command line. Every change that the
// builder's window can make goes through the window's own editor logic (the
// editor answered by a scripted prompter), so that a project edited here is
// byte for byte the project the window makes; what the editor has no
// command for (macros, pictures, the appearance settings) is changed on the
// project model, as the window's dialogs change it.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "builder/editor/editor.h"
#include "builder/editor/scripted_prompter.h"
#include "builder/project/project_file.h"
#include "builder/project/project.h"
#include "cli/platform.h"

namespace quill::cli {

// A command refused before anything was written (exit code 2).
struct Refused : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A command that failed while reading or writing (exit code 1).
struct Failed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class EditSession : private project::TreeObserver {
 public:
  explicit EditSession(Platform& platform);
  ~EditSession() override;
  EditSession(const EditSession&) = delete;
  EditSession& operator=(const EditSession&) = delete;

  Platform& platform() { return platform_; }
  os::Os& os() { return platform_.os(); }
  editor::Editor& editor() { return editor_; }
  const project::Project& project() const { return editor_.project(); }

  // The window's "New project" (the answer to "save first?" is No).
  void start_new();
  // The window's "Open project"; `path` is an Os path. Throws Failed, also
  // when interrupted. The slots of records the load renamed with "copy of "
  // go to `renamed`, the values no way into a project stores to `findings`.
  void open(const std::string& path, const std::string& typed,
            std::vector<project::RenamedFile>* renamed = nullptr,
            std::vector<project::FileFinding>* findings = nullptr);

  // Runs an editor command; a message it put to the author refuses the
  // command (throws Refused with that message).
  void run(const std::function<void()>& command);

  // The folder node with exactly this folder path, kNoItem when none.
  project::TreeItem folder_item(const std::string& folder_path) const;
  // Makes an "%install path%\" folder path exist, adding each missing
  // folder as the window adds an empty folder. Returns its node.
  project::TreeItem ensure_folder(const std::string& folder_path);
  // "Add file" / "Add folder" into `folder`; the new node. Throws Refused
  // with the editor's message.
  project::TreeItem add_file(project::TreeItem folder, const std::string& source);
  project::TreeItem add_folder(project::TreeItem folder, const std::string& source);
  // "Set custom path" then "Save path" with `target` on a file node; the new node.
  project::TreeItem set_custom_path(project::TreeItem file, const std::string& target);
  // Types a shortcut into the fields of `location` for a file node and lets
  // the field sync write it (an empty name removes the shortcut).
  void set_shortcut(project::TreeItem file, int location, const std::string& name,
                    const std::string& start_menu_folder);
  // The file node whose target folder and name make `path`, kNoItem when none.
  project::TreeItem find_file(const std::string& path) const;

  // Writes `project` to `path` atomically, as the window's save writes it;
  // after an interruption, throws Failed and writes nothing.
  void save(project::Project& project, const std::string& path, const std::string& typed);

 private:
  void node_inserted(project::TreeItem item) override { inserted_.push_back(item); }
  void node_removed(project::TreeItem) override {}
  void tree_cleared() override { inserted_.clear(); }
  Platform& platform_;
  editor::ScriptedPrompter prompter_;
  editor::EditorView view_;
  editor::Editor editor_;
  std::vector<project::TreeItem> inserted_;
};

// An "%install path%\" folder path from a folder typed on the command line:
// "docs/img", "docs\img\" and "%install path%\docs\img" all give
// "%install path%\docs\img\". Throws Refused for "." and ".." segments
// and for a folder the installer could not create (field_rules.h).
std::string install_folder_path(const std::string& typed);

// Refuses (throws Refused) a value with `problem` (field_rules.h), naming
// `what` and the value.
void refuse_problem(const std::string& what, const std::string& value, const std::string& problem);
// A line of a project file cannot hold a line break: refuses such a text,
// and one over 259 characters, naming `what`.
void check_line(const std::string& what, const std::string& text);

}  // namespace quill::cli
