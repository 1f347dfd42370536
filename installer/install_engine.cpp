// The install engine's file part and the install thread's sequence.
#include "installer/install_engine.h"

#include <cctype>

#include "common/lines.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "installer/registration.h"
#include "package/archive.h"
#include "package/payload.h"

namespace quill::installer {

const char kUninstallLogName[] = "uninstall.ini";

std::string replace_question(const std::string& name) {
  return "The file named " + name +
         " already exists at the selected location.\nDo you wish to replace it?";
}

std::string installing_status(const std::string& destination) {
  return "Installing\n" + destination + "...";
}

std::string install_folder_path(const std::string& folder_text) {
  return with_trailing_backslash(folder_text);
}

bool is_safe_registered_name(const std::string& name) {
  return !name.empty() && name.find('\\') == std::string::npos;
}

InstallRequest make_install_request(const package::InstallerData& data,
                                    const std::string& folder_text, const ShortcutChoice& choice) {
  InstallRequest request;
  request.install_folder = folder_text;
  request.registered_name = data.registered_name;
  request.has_registered_name = data.has_registered_name;
  request.install_entry_count = data.install_entry_count;
  request.shortcuts = choice;
  request.macros = &data.macros;
  return request;
}

bool is_absolute_path(const std::string& path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      path[2] == '\\') {
    return true;
  }
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

const std::vector<package::MacroRecord>& macro_table(const InstallRequest& request) {
  static const std::vector<package::MacroRecord> kNoMacros;
  return request.macros != nullptr ? *request.macros : kNoMacros;
}

namespace {

class FileInstaller {
 public:
  FileInstaller(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                InstallStats* stats)
      : os_(os),
        request_(request),
        callback_(callback),
        stats_(stats),
        payload_(package::payload_folder(os)) {}

  InstallResult run();

 private:
  enum class LineResult { next, cancel, damaged };
  LineResult install_line(const std::string& line);

  os::Os& os_;
  const InstallRequest& request_;
  InstallCallback& callback_;
  InstallStats* stats_;
  const std::string payload_;
  package::Archive archive_;
  std::string log_path_;
  std::uint64_t done_ = 0;
};

InstallResult FileInstaller::run() {
  const std::string folder = install_folder_path(request_.install_folder);
  // An archive that cannot be read is a damaged package: nothing is touched.
  if (!archive_.open(os_, payload_ + package::kPayloadArchiveName) ||
      archive_.damaged()) {
    return InstallResult::damaged;
  }

  // The whole chain, so that the log's first line lands even when the
  // install folder's parents do not exist yet.
  package::create_folder_chain(os_, without_trailing_backslash(folder));
  log_path_ = folder + kUninstallLogName;
  os_.delete_file(log_path_);
  append_line(os_, log_path_,
              request_.has_registered_name && is_safe_registered_name(request_.registered_name)
                  ? request_.registered_name
                  : std::string());

  const std::string list_path = payload_ + "fileinfo.txt";
  package::expand_macros_in_file(os_, macro_table(request_), list_path, folder);
  callback_.set_progress(0, request_.install_entry_count);

  LineReader reader(os_, list_path);
  if (!reader.is_open()) return InstallResult::finished;
  std::string line;
  while (reader.next(&line)) {
    if (callback_.cancel_requested()) return InstallResult::cancelled;
    if (reader.last_line_cut() && !package::is_file_info_end(line)) {
      // A line cut at the limit names a shorter, different destination.
      if (stats_) ++stats_->lines_refused;
      continue;
    }
    LineResult result = install_line(line);
    if (result == LineResult::cancel) return InstallResult::cancelled;
    if (result == LineResult::damaged) return InstallResult::damaged;
    if (package::is_file_info_end(line)) break;
  }
  return InstallResult::finished;
}

FileInstaller::LineResult FileInstaller::install_line(const std::string& line) {
  const package::FileInfoLine parts = package::parse_file_info_line(line);
  const std::string& name = parts.entry_name;
  std::size_t index = archive_.find_install_entry(name);
  if (index == package::Archive::npos) return LineResult::next;

  std::string relative = name;
  if (!relative.empty() && relative[0] == '\\') relative.erase(0, 1);
  const std::string destination = package::file_info_destination(parts);
  // A name that climbs out of its folder or is absolute, a destination that
  // is not absolute (it would land wherever the process happens to be) and
  // one longer than a path may be are refused: nothing written or logged.
  if (!is_safe_relative_name(relative) || !is_absolute_path(destination) ||
      destination.size() > kMaxLineLength) {
    if (stats_) ++stats_->lines_refused;
    return LineResult::next;
  }

  const os::FileStatus status = os_.file_status(destination);
  if (status.exists && status.is_folder) {
    // A file cannot replace a folder; logging the folder would have the
    // uninstaller delete its whole tree.
    if (stats_) ++stats_->lines_refused;
    return LineResult::next;
  }
  callback_.set_status(installing_status(destination));
  bool write = true;
  const bool existed = status.exists;
  if (existed) {
    switch (callback_.ask_replace(relative)) {
      case ReplaceAnswer::yes: break;
      case ReplaceAnswer::no: write = false; break;
      case ReplaceAnswer::cancel: return LineResult::cancel;
    }
  }
  if (write) {
    package::ExtractResult result = archive_.extract_entry(index, destination);
    if (result == package::ExtractResult::damaged) return LineResult::damaged;
    if (result == package::ExtractResult::ok && stats_) ++stats_->files_written;
    // A failed write stays silent and its destination is logged all the same.
    if (!append_line(os_, log_path_, destination) && !existed &&
        result == package::ExtractResult::ok) {
      // A new file that the log cannot name would outlive its uninstaller.
      os_.set_read_only(destination, false);
      os_.delete_file(destination);
    }
  }
  ++done_;
  if (stats_) stats_->files_done = done_;
  callback_.set_progress(done_, request_.install_entry_count);
  return LineResult::next;
}

}  // namespace

InstallResult install_files(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                            InstallStats* stats) {
  FileInstaller installer(os, request, callback, stats);
  return installer.run();
}

InstallResult run_install(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                          InstallStats* stats) {
  InstallResult result = install_files(os, request, callback, stats);
  if (result != InstallResult::finished) return result;
  const std::string folder = install_folder_path(request.install_folder);
  const std::string log_path = folder + kUninstallLogName;
  create_shortcuts(os, request, log_path, callback);
  register_uninstall(os, request, log_path);
  return InstallResult::finished;
}

}  // namespace quill::installer
