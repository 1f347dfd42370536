// The record of everything one install run changes on the machine, so that
// a run that does not finish can put the machine back as it found it.
//
// Every change is recorded before or as it is made: folders created, files
// created, and files replaced, whose old content is first moved aside into
// a folder of the run's own (a rename where the volume allows, else a
// copy). Undoing walks the record backwards: created files are deleted,
// replaced files get their old content back byte for byte, created folders
// are removed when they are empty. Nothing that existed before the run is
// ever deleted. A run that is kept deletes the old contents it moved aside,
// because the folder they lie in outlives the run. The uninstall entry is not
// recorded: the install writes it last, after the last step that can fail;
// declared registry values are, through changed().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <set>
#include <vector>

#include "os/os.h"

namespace quill::installer {

class Transaction {
 public:
  // Old contents go below `aside_folder` (with or without its trailing
  // backslash), which is created when first needed.
  Transaction(os::Os& os, std::string aside_folder);

  // Creates every missing folder of `path` up to `path` itself, recording
  // each one created. True when the whole chain exists afterwards.
  bool create_folders(const std::string& path) { return create_chain(path, false); }
  // The same for the install folder: made by this run, it gets the access
  // list of a machine-wide program's folder (administrators write, users
  // read and run) instead of its parent's, so that no ordinary user can
  // change what is installed or its uninstall log. A folder that exists
  // already keeps its own.
  bool create_install_folder(const std::string& path, bool secured = true) {
    return create_chain(path, secured);
  }
  // Records that `path` is about to be created by the caller (it must not
  // exist now).
  void creating_file(const std::string& path);
  // Frees `path` for a new file by moving the existing file aside; true
  // when `path` no longer exists afterwards. Nothing is recorded and nothing
  // changes when it fails.
  bool move_aside(const std::string& path);
  // Removes the empty folder `path`, recording it when it went.
  os::Error remove_folder(const std::string& path);

  // Puts the file `written` (made by this run beside `path`, and recorded
  // with creating_file) in the place of `path` at the system's next start;
  // undoing takes the pending operation back, and the file goes. Nothing is
  // recorded when the system refuses.
  os::Error replace_later(const std::string& written, const std::string& path);

  // Records a change the caller made outside the file system (a registry
  // value): undoing runs `undo`, which answers whether it succeeded. The
  // callable is moved into a holder of its own rather than a std::function,
  // which would compile a copier for each that is never used.
  template <typename Undo>
  void changed(Undo undo) {
    changed(std::unique_ptr<Action>(new ActionOf<Undo>(std::move(undo))));
  }

  // A point to undo back to.
  std::size_t mark() const { return changes_.size(); }
  // Undoes the changes recorded after `mark`, newest first; false when some
  // change could not be undone.
  bool undo_to(std::size_t mark);
  bool undo_all() { return undo_to(0); }
  // Keeps the run's changes: the old contents moved aside are deleted, with
  // the aside folders they leave empty, and the record starts afresh.
  void keep();
  std::size_t change_count() const { return changes_.size(); }

 private:
  struct Action {
    virtual ~Action() = default;
    virtual bool undo() = 0;
  };
  template <typename Undo>
  struct ActionOf final : Action {
    explicit ActionOf(Undo&& undo) : run(std::move(undo)) {}
    bool undo() override { return run(); }
    Undo run;
  };
  void changed(std::unique_ptr<Action> action);

  enum class Kind { folder, file, replaced, removed_folder, later, other };
  struct Change {
    Kind kind;
    std::string path;
    std::string aside;  // replaced: where the old content is; later: the new file
  };
  bool create_chain(const std::string& path, bool secure_last);
  bool move_or_copy(const std::string& from, const std::string& to);
  bool delete_file(const std::string& path);

  os::Os& os_;
  std::string aside_folder_;
  bool aside_ready_ = false;
  std::uint64_t next_aside_ = 0;
  std::vector<Change> changes_;
  // The undoing of each change of Kind::other, by its place in changes_.
  std::map<std::size_t, std::unique_ptr<Action>> actions_;
  // Folders create_folders found or made whole (with their parents), so
  // that the files of a folder cost no look at it each; forgotten by every
  // undo.
  std::set<std::string> known_folders_;
};

}  // namespace quill::installer
