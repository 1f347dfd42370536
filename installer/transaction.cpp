// The install run's record of changes and their undoing.
#include "installer/transaction.h"

#include <utility>

#include "common/paths.h"
#include "package/archive.h"

namespace quill::installer {

Transaction::Transaction(os::Os& os, std::string aside_folder)
    : os_(os), aside_folder_(without_trailing_backslash(aside_folder)) {}

bool Transaction::create_chain(const std::string& path, bool secure_last) {
  package::FolderChainOptions options;
  options.known = &known_folders_;
  options.made = [this](const std::string& folder) {
    changes_.push_back({Kind::folder, folder, std::string()});
  };
  options.secure_last = secure_last;
  return package::create_folder_chain(os_, without_trailing_backslash(path), options);
}

void Transaction::creating_file(const std::string& path) {
  changes_.push_back({Kind::file, path, std::string()});
}

bool Transaction::move_or_copy(const std::string& from, const std::string& to) {
  if (os_.move_file(from, to) == os::Error::none) return true;
  // Another volume (or no rename at all): copy, then remove the original.
  if (os_.copy_file(from, to, true) != os::Error::none) {
    // A failed copy may leave a partial file; it is the run's own.
    delete_file(to);
    return false;
  }
  if (!delete_file(from)) {
    delete_file(to);
    return false;
  }
  return true;
}

bool Transaction::delete_file(const std::string& path) {
  os::Error error = os_.delete_file(path);
  if (error == os::Error::access_denied && os_.file_status(path).read_only &&
      os_.set_read_only(path, false) == os::Error::none) {
    error = os_.delete_file(path);
    // A file that stays keeps its attribute.
    if (error != os::Error::none && error != os::Error::not_found) os_.set_read_only(path, true);
  }
  return error == os::Error::none || error == os::Error::not_found;
}

bool Transaction::move_aside(const std::string& path) {
  for (;; ++next_aside_) {
    // Old contents go into folders of 256 each: a name that is not there
    // yet costs a look through its folder on some file systems.
    const std::string group = aside_folder_ + "\\" + std::to_string(next_aside_ / 256);
    if (next_aside_ % 256 == 0 || !aside_ready_) {
      for (const std::string& folder : {aside_folder_, group}) {
        if (!os_.file_status(folder).is_folder && os_.create_folder(folder) != os::Error::none) {
          return false;
        }
      }
      aside_ready_ = true;
    }
    const std::string aside = group + "\\" + std::to_string(next_aside_ % 256);
    // A name a run that never ended left behind is passed over: it may hold
    // the only copy of a file that run replaced.
    if (os_.file_status(aside).exists) continue;
    if (!move_or_copy(path, aside)) return false;
    ++next_aside_;
    changes_.push_back({Kind::replaced, path, aside});
    return true;
  }
}

os::Error Transaction::remove_folder(const std::string& path) {
  const os::Error error = os_.remove_folder(path);
  if (error == os::Error::none) {
    known_folders_.clear();
    changes_.push_back({Kind::removed_folder, path, std::string()});
  }
  return error;
}

os::Error Transaction::replace_later(const std::string& written, const std::string& path) {
  const os::Error error = os_.replace_file_later(written, path);
  if (error == os::Error::none) changes_.push_back({Kind::later, path, written});
  return error;
}

void Transaction::changed(std::unique_ptr<Action> action) {
  actions_[changes_.size()] = std::move(action);
  changes_.push_back({Kind::other, std::string(), std::string()});
}

void Transaction::keep() {
  std::vector<std::string> groups;
  for (const Change& change : changes_) {
    if (change.kind != Kind::replaced) continue;
    delete_file(change.aside);
    const std::string group = folder_part(change.aside);
    if (groups.empty() || groups.back() != group) groups.push_back(group);
  }
  // Folders that still hold something (another run's leftovers) stay.
  for (const std::string& group : groups) os_.remove_folder(without_trailing_backslash(group));
  if (!groups.empty()) os_.remove_folder(aside_folder_);
  changes_.clear();
  actions_.clear();
  known_folders_.clear();
  aside_ready_ = false;
}

bool Transaction::undo_to(std::size_t mark) {
  if (changes_.size() > mark) known_folders_.clear();
  bool all = true;
  while (changes_.size() > mark) {
    const Change change = std::move(changes_.back());
    changes_.pop_back();
    switch (change.kind) {
      case Kind::file:
        if (!delete_file(change.path)) all = false;
        break;
      case Kind::replaced:
        // Whatever the run put there goes; the old content comes back.
        if (!delete_file(change.path) || !move_or_copy(change.aside, change.path)) all = false;
        break;
      case Kind::removed_folder:
        if (!os_.file_status(change.path).is_folder && os_.create_folder(change.path) != os::Error::none) {
          all = false;
        }
        break;
      case Kind::later:
        // The file itself goes with the record of its creation, next.
        if (os_.cancel_later(change.aside) != os::Error::none) all = false;
        break;
      case Kind::other: {
        const auto action = actions_.find(changes_.size());
        if (action != actions_.end()) {
          const std::unique_ptr<Action> undo = std::move(action->second);
          actions_.erase(action);
          if (!undo->undo()) all = false;
        }
        break;
      }
      case Kind::folder: {
        const os::Error error = os_.remove_folder(change.path);
        // A folder that something else filled in the meantime stays.
        if (error != os::Error::none && error != os::Error::not_found &&
            error != os::Error::not_empty) {
          all = false;
        }
        break;
      }
    }
  }
  return all;
}

}  // namespace quill::installer
