// The editor driven from the command line.
#include "cli/edit_session.h"

#include <chrono>

#include "builder/editor/folder_scan.h"
#include "builder/project/field_rules.h"
#include "builder/project/interruption.h"
#include "builder/project/project_file.h"

namespace quill::cli {

using project::kNoItem;
using project::kNoSlot;
using project::TreeItem;

namespace {

const std::string kInstallRoot = project::kInstallRootPath;

}  // namespace

std::string install_folder_path(const std::string& typed) {
  std::string path = typed;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.compare(0, kInstallRoot.size() - 1, kInstallRoot, 0, kInstallRoot.size() - 1) == 0) {
    path.erase(0, kInstallRoot.size() - 1);
  }
  std::string result = kInstallRoot;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    std::string segment = path.substr(start, end - start);
    if (segment == "." || segment == "..") {
      throw Refused("the folder " + typed + " holds a \".\" or \"..\" name");
    }
    if (!segment.empty()) result += segment + "\\";
    start = end + 1;
  }
  refuse_problem("the folder", typed, project::install_folder_problem(result));
  return result;
}

void refuse_problem(const std::string& what, const std::string& value, const std::string& problem) {
  if (problem.empty()) return;
  // A value with a line break is shown on one line.
  std::string shown;
  for (char c : value) {
    if (static_cast<unsigned char>(c) < 0x20) {
      static const char hex[] = "0123456789ABCDEF";
      shown += std::string("\\x") + hex[(c >> 4) & 0xF] + hex[c & 0xF];
    } else {
      shown += c;
    }
  }
  throw Refused(what + " \"" + shown + "\" " + problem);
}

void check_line(const std::string& what, const std::string& text) {
  refuse_problem(what, text, project::text_problem(text));
}

EditSession::EditSession(Platform& platform)
    : platform_(platform), editor_(platform.os(), prompter_, view_) {
  editor_.set_tree_observer(this);
}

EditSession::~EditSession() { editor_.set_tree_observer(nullptr); }

void EditSession::run(const std::function<void()>& command) {
  std::size_t before = prompter_.log.size();
  inserted_.clear();
  command();
  for (std::size_t i = before; i < prompter_.log.size(); ++i) {
    const std::string& line = prompter_.log[i];
    if (line.compare(0, 5, "tell:") == 0) throw Refused(line.substr(5));
  }
}

void EditSession::start_new() {
  prompter_.answers.push_back(editor::Answer::no);
  run([&] { editor_.new_project(); });
}

void EditSession::open(const std::string& path, const std::string& typed,
                       std::vector<project::RenamedFile>* renamed,
                       std::vector<project::FileFinding>* findings) {
  os::FileStatus status = os().file_status(path);
  if (!status.exists || status.is_folder) throw Failed("cannot read the project file " + typed);
  prompter_.files.push_back(path);
  try {
    run([&] { editor_.open_project(); });
  } catch (const Refused&) {
    if (project::interruption_requested()) throw Failed("interrupted while reading " + typed);
    // The window keeps what it read of a damaged file; a command would
    // save that back over the rest.
    throw Failed("cannot read the whole project file " + typed);
  }
  if (renamed || findings) {
    // The window's load does not say which records it renamed with
    // "copy of ", nor what it found; a second reading of the file does.
    project::Project scratch;
    project::load_project(scratch, os(), path, std::string(), renamed, findings);
  }
  if (project::interruption_requested()) throw Failed("interrupted while reading " + typed);
}

TreeItem EditSession::folder_item(const std::string& folder_path) const {
  int slot = project().find_folder_by_path(folder_path);
  return slot == kNoSlot ? kNoItem : project().folder(slot).item;
}

TreeItem EditSession::ensure_folder(const std::string& folder_path) {
  TreeItem item = project().install_root();
  std::size_t start = kInstallRoot.size();
  while (start < folder_path.size()) {
    std::size_t end = folder_path.find('\\', start);
    std::string prefix = folder_path.substr(0, end + 1);
    TreeItem existing = folder_item(prefix);
    if (existing != kNoItem) {
      item = existing;
    } else {
      // The window makes an empty folder by adding an empty source folder
      // of that name: do just that with a work folder.
      os::Os& o = os();
      auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
      std::string work = o.temp_folder() + "quillset-cli-" + std::to_string(stamp) + "\\";
      std::string empty = work + folder_path.substr(start, end - start);
      o.create_folder(work);
      o.create_folder(empty);
      try {
        item = add_folder(item, empty);
      } catch (...) {
        o.remove_folder(empty);
        o.remove_folder(work);
        throw;
      }
      o.remove_folder(empty);
      o.remove_folder(work);
    }
    start = end + 1;
  }
  return item;
}

TreeItem EditSession::add_file(TreeItem folder, const std::string& source) {
  editor_.select(folder);
  prompter_.files.push_back(source);
  run([&] { editor_.add_file(); });
  if (inserted_.empty()) throw Refused("the file " + source + " was not added");
  return inserted_.front();
}

TreeItem EditSession::add_folder(TreeItem folder, const std::string& source) {
  editor_.select(folder);
  prompter_.folders.push_back(source);
  run([&] { editor_.add_folder(); });
  if (inserted_.empty()) throw Refused("the folder " + source + " was not added");
  return inserted_.front();
}

TreeItem EditSession::set_custom_path(TreeItem file, const std::string& target) {
  editor_.select(file);
  run([&] {
    editor_.custom_path_button(std::string());
    editor_.custom_path_button(target);
  });
  return editor_.current_item();
}

void EditSession::set_shortcut(TreeItem file, int location, const std::string& name,
                               const std::string& start_menu_folder) {
  run([&] {
    editor_.select(file);
    editor_.location_changed(location);
    editor_.sync_tick(name, start_menu_folder);
  });
}

TreeItem EditSession::find_file(const std::string& typed) const {
  std::string path = typed;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.empty() || path[0] != '%') path = kInstallRoot + path;
  std::size_t cut = path.rfind('\\');
  if (cut == std::string::npos) return kNoItem;
  int slot = project().find_file_by_name_and_folder(path.substr(cut + 1), path.substr(0, cut + 1));
  return slot == kNoSlot ? kNoItem : project().file(slot).item;
}

void EditSession::save(project::Project& p, const std::string& path, const std::string& typed) {
  std::string backup = project::backup_path_for(os().module_path());
  if (path == backup) throw Refused("the builder's own backup file cannot be edited: " + typed);
  if (project::interruption_requested()) throw Failed("interrupted; " + typed + " was not changed");
  if (!project::save_project(p, os(), path, backup)) throw Failed("cannot write the project file " + typed);
}

}  // namespace quill::cli
