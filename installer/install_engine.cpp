// The install engine's file part and the install thread's sequence.
#include "installer/install_engine.h"

#include "common/in_use.h"
#include "common/lines.h"
#include "common/paths.h"
#include "installer/declarations_apply.h"
#include "installer/install_log.h"
#include "installer/registration.h"
#include "installer/transaction.h"
#include "installer/upgrade.h"
#include "common/texts.h"
#include "package/archive.h"
#include "uninstaller/shared_texts.h"
#include "package/payload.h"

namespace quill::installer {

std::string undoing_status() { return std::string(texts::text(texts::TextId::undoing)); }

std::string replace_question(const std::string& name) {
  return texts::format(texts::TextId::replace_question, {name});
}

std::string installing_status(const std::string& destination) {
  return texts::format(texts::TextId::installing_file, {destination});
}

std::string write_question(const std::string& path) {
  return texts::format(texts::TextId::write_question, {path});
}

InstallRequest make_install_request(const package::InstallerData& data,
                                    const InstallFolder& install_folder,
                                    const ShortcutChoice& choice) {
  InstallRequest request;
  request.install_folder = install_folder;
  request.registered_name = data.registered_name;
  request.has_registered_name = data.has_registered_name;
  request.install_entry_count = data.install_entry_count;
  request.shortcuts = choice;
  request.scope = data.scope;
  request.macros = &data.macros;
  request.data_files = &data.files;
  request.archive = data.archive;
  request.payload_folder = data.payload_folder;
  return request;
}

void note(const InstallRequest& request, const char* step, const std::string& value,
          const std::string& second) {
  if (request.log != nullptr) request.log->note(step, value, second);
}

void logged(const InstallRequest& request, const std::string& path) {
  if (request.logged != nullptr && !path.empty()) request.logged->push_back(path);
}

const std::vector<package::MacroRecord>& macro_table(const InstallRequest& request) {
  static const std::vector<package::MacroRecord> kNoMacros;
  return request.macros != nullptr ? *request.macros : kNoMacros;
}

std::string replaced_files_folder(const InstallRequest& request) {
  return with_trailing_backslash(request.payload_folder) + "~replaced\\";
}

WriteOutcome write_or_ask(InstallCallback* callback, const std::string& path,
                          CallbackRef<bool()> attempt) {
  for (;;) {
    if (attempt()) return WriteOutcome::written;
    if (callback == nullptr) return WriteOutcome::ignored;
    switch (callback->ask_write_failed(path)) {
      case WriteAnswer::retry: continue;
      case WriteAnswer::ignore: return WriteOutcome::ignored;
      case WriteAnswer::abort: return WriteOutcome::aborted;
    }
  }
}

namespace {

class FileInstaller {
 public:
  FileInstaller(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                Transaction& transaction, InstallStats* stats)
      : os_(os),
        request_(request),
        callback_(callback),
        transaction_(transaction),
        stats_(stats) {}

  InstallResult run();

 private:
  enum class LineResult { next, cancel, damaged, abort };
  LineResult install_line(const std::string& line);
  // Writes the entry to `destination`, moving an existing file aside first.
  // `existed`: the destination held a file when the line began.
  WriteOutcome write_entry(std::size_t index, const std::string& destination, bool existed,
                           bool* damaged);
  // The destination is in use by another program: asked about (or, silent,
  // decided at once) until it is free, left for the next restart, passed
  // over or the run aborted. `later` tells that it went to the restart.
  WriteOutcome write_in_use(std::size_t index, const std::string& destination, bool* damaged,
                            bool* later);
  // Writes the entry beside the destination under a private name and has
  // the system put it in place at the next start.
  WriteOutcome write_later(std::size_t index, const std::string& destination, bool* damaged);
  // Appends a line to the uninstall log through a handle kept open for the
  // file lines; a failed write closes it, so that a retry opens it again.
  bool append_to_log(const std::string& line);

  os::Os& os_;
  const InstallRequest& request_;
  InstallCallback& callback_;
  Transaction& transaction_;
  InstallStats* stats_;
  package::Archive archive_;
  std::string log_path_;
  std::unique_ptr<os::File> log_file_;
  std::uint64_t done_ = 0;
};

InstallResult FileInstaller::run() {
  if (!request_.install_folder.usable()) return InstallResult::unusable_folder;
  const std::string& folder = request_.install_folder.path();
  // An archive that cannot be read is a damaged package: nothing is touched.
  if (!archive_.open(os_, request_.archive) || archive_.damaged()) {
    return InstallResult::damaged;
  }

  // The whole chain, so that the log's first line lands even when the
  // install folder's parents do not exist yet.
  note(request_, log_step::kInstallFolder, folder);
  if (!transaction_.create_install_folder(
          folder, package::secures_install_folder(request_.scope))) return InstallResult::unusable_folder;
  log_path_ = folder + package::kUninstallLogName;
  // An old log is moved aside, not deleted, so that undoing brings it back.
  WriteOutcome started = write_or_ask(&callback_, log_path_, [&] {
    if (os_.file_status(log_path_).exists && !transaction_.move_aside(log_path_)) return false;
    transaction_.creating_file(log_path_);
    // The name heads the log even when it cannot name an uninstall key: the
    // uninstaller's question shows it, and its removal deletes no key for it.
    return package::append_log_line(
        os_, log_path_, request_.has_registered_name ? request_.registered_name : std::string());
  });
  if (started == WriteOutcome::aborted) return InstallResult::write_failed;

  const std::string* list =
      request_.data_files ? request_.data_files->find(package::data_file::kFileInfo) : nullptr;
  callback_.set_progress_range(request_.install_entry_count);
  callback_.set_progress(0);
  // No list installs nothing.
  if (list == nullptr) return InstallResult::finished;

  LineReader reader(package::expand_data_file(os_, macro_table(request_), *list, folder));
  std::string line;
  while (reader.next(&line)) {
    if (callback_.cancel_requested()) return InstallResult::cancelled;
    if (reader.last_line_cut() && !package::is_file_info_end(line)) {
      // A line cut at the limit names a shorter, different destination.
      if (stats_) ++stats_->lines_refused;
      continue;
    }
    switch (install_line(line)) {
      case LineResult::next: break;
      case LineResult::cancel: return InstallResult::cancelled;
      case LineResult::damaged: return InstallResult::damaged;
      case LineResult::abort: return InstallResult::write_failed;
    }
    if (package::is_file_info_end(line)) break;
  }
  return InstallResult::finished;
}

bool FileInstaller::append_to_log(const std::string& line) {
  if (!log_file_) log_file_ = os_.open_file(log_path_, os::OpenMode::append);
  if (log_file_ && package::append_log_line(*log_file_, line)) return true;
  log_file_.reset();
  return false;
}

WriteOutcome FileInstaller::write_entry(std::size_t index, const std::string& destination,
                                        bool existed, bool* damaged) {
  const bool folder_entry = !archive_.entry(index).name.empty() &&
                            archive_.entry(index).name.back() == '/';
  const std::size_t mark = transaction_.mark();
  bool first_attempt = true;
  WriteOutcome outcome = write_or_ask(&callback_, destination, [&] {
    // Whatever a failed attempt changed is undone before the next one.
    transaction_.undo_to(mark);
    if (folder_entry) return transaction_.create_folders(destination);
    const std::string folder = folder_part(destination);
    if (!folder.empty() && !transaction_.create_folders(folder)) return false;
    // The line's own look at the destination holds for the first attempt;
    // the user may have changed it before a retry.
    const bool occupied = first_attempt ? existed : os_.file_status(destination).exists;
    first_attempt = false;
    if (occupied && !transaction_.move_aside(destination)) return false;
    transaction_.creating_file(destination);
    package::ExtractResult result = archive_.extract_entry(index, destination);
    if (result == package::ExtractResult::damaged) {
      *damaged = true;
      return true;  // ends the loop; the caller undoes the run
    }
    return result == package::ExtractResult::ok;
  });
  // Ignore: the old file (if any) is back where it was.
  if (outcome == WriteOutcome::ignored) transaction_.undo_to(mark);
  return outcome;
}

WriteOutcome FileInstaller::write_in_use(std::size_t index, const std::string& destination,
                                         bool* damaged, bool* later) {
  for (;;) {
    std::vector<std::string> programs;
    const bool known = !request_.silent &&
                       os_.programs_using_file(destination, &programs) == os::Error::none &&
                       !programs.empty();
    InUseAnswer answer = InUseAnswer::abort;
    if (!request_.silent) {
      switch (callback_.ask_file_in_use(
          destination,
          uninstaller::in_use_text(destination, programs, request_.restart_allowed, true))) {
        case WriteAnswer::abort: answer = InUseAnswer::abort; break;
        case WriteAnswer::retry: answer = InUseAnswer::retry; break;
        case WriteAnswer::ignore: answer = InUseAnswer::ignore; break;
      }
    }
    switch (in_use_action(request_.silent, request_.restart_allowed, known, answer)) {
      case InUseAction::close_and_retry:
        os_.close_programs_using_file(destination);
        [[fallthrough]];
      case InUseAction::retry:
        if (os_.file_in_use(destination)) continue;
        return write_entry(index, destination, true, damaged);
      case InUseAction::later:
        *later = true;
        return write_later(index, destination, damaged);
      case InUseAction::skip: return WriteOutcome::ignored;
      case InUseAction::abort:
        note(request_, log_step::kFileInUse, destination);
        return WriteOutcome::aborted;
    }
  }
}

WriteOutcome FileInstaller::write_later(std::size_t index, const std::string& destination,
                                        bool* damaged) {
  const std::size_t mark = transaction_.mark();
  WriteOutcome outcome = write_or_ask(&callback_, destination, [&] {
    transaction_.undo_to(mark);
    // Beside the destination, on its volume, under a name nobody can have
    // prepared: the system renames it into place at its next start.
    const std::string unpredictable = os_.unpredictable_name();
    if (unpredictable.empty()) return false;
    const std::string written = folder_part(destination) + "~" + unpredictable + ".new";
    transaction_.creating_file(written);
    const package::ExtractResult result = archive_.extract_entry(index, written);
    if (result == package::ExtractResult::damaged) {
      *damaged = true;
      return true;
    }
    return result == package::ExtractResult::ok &&
           transaction_.replace_later(written, destination) == os::Error::none;
  });
  if (outcome == WriteOutcome::ignored) transaction_.undo_to(mark);
  return outcome;
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
  if (!is_safe_relative_name(relative) || !is_absolute_backslash_path(destination) ||
      destination.size() > kMaxPathLength) {
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
  // The old version's own files are replaced without a question.
  const bool own = existed && request_.installed && is_installed_file(*request_.installed, destination);
  if (existed && !own) {
    switch (callback_.ask_replace(relative)) {
      case ReplaceAnswer::yes: break;
      case ReplaceAnswer::no:
        write = false;
        note(request_, log_step::kFileKept, destination);
        break;
      case ReplaceAnswer::cancel: return LineResult::cancel;
    }
  }
  if (write) {
    bool damaged = false;
    bool later = false;
    const WriteOutcome written = existed && os_.file_in_use(destination)
                                     ? write_in_use(index, destination, &damaged, &later)
                                     : write_entry(index, destination, existed, &damaged);
    if (damaged) return LineResult::damaged;
    if (written == WriteOutcome::aborted) return LineResult::abort;
    if (written == WriteOutcome::written) {
      if (stats_) {
        ++stats_->files_written;
        stats_->bytes_written += archive_.entry(index).uncompressed_size;
      }
      if (later && stats_) ++stats_->files_later;
      note(request_, later     ? log_step::kFileLater
                     : existed ? log_step::kFileReplaced
                               : log_step::kFileWritten,
           destination);
    } else {
      note(request_, log_step::kFileNotWritten, destination);
    }
    // An ignored write is logged all the same, as a failed one always was.
    const WriteOutcome logged =
        write_or_ask(&callback_, log_path_, [&] { return append_to_log(destination); });
    if (logged == WriteOutcome::aborted) return LineResult::abort;
    if (logged == WriteOutcome::written) installer::logged(request_, destination);
    if (logged == WriteOutcome::ignored && !existed && written == WriteOutcome::written) {
      // A new file that the log cannot name would outlive its uninstaller.
      os_.set_read_only(destination, false);
      os_.delete_file(destination);
    }
  }
  ++done_;
  if (stats_) stats_->files_done = done_;
  callback_.set_progress(done_);
  return LineResult::next;
}

// Undoes the run when it did not finish.
InstallResult settle(InstallResult result, Transaction& transaction, InstallCallback& callback,
                     const InstallRequest& request) {
  if (result == InstallResult::finished) {
    transaction.keep();
  } else if (transaction.change_count() > 0) {
    callback.set_status(undoing_status());
    if (request.log) request.log->note_number(log_step::kRollingBack, static_cast<long long>(transaction.change_count()));
    transaction.undo_all();
    note(request, log_step::kRolledBack);
  }
  return result;
}

}  // namespace

InstallResult install_files(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                            Transaction& transaction, InstallStats* stats) {
  FileInstaller installer(os, request, callback, transaction, stats);
  return installer.run();
}

InstallResult install_files(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                            InstallStats* stats) {
  Transaction transaction(os, replaced_files_folder(request));
  return settle(install_files(os, request, callback, transaction, stats), transaction, callback,
                request);
}

InstallResult run_install(os::Os& os, const InstallRequest& request, InstallCallback& callback,
                          InstallStats* stats) {
  Transaction transaction(os, replaced_files_folder(request));
  InstallStats own_stats;
  if (stats == nullptr) stats = &own_stats;
  // An upgrade keeps what the new log names.
  std::vector<std::string> kept;
  InstallRequest run = request;
  if (run.installed != nullptr && run.logged == nullptr) run.logged = &kept;
  // The declarations are checked whole before anything is written.
  package::DeclarationPlan declarations;
  if (!plan_package_declarations(os, run, &declarations)) return InstallResult::damaged;
  InstallResult result = install_files(os, run, callback, transaction, stats);
  const std::string log_path = run.install_folder.path() + package::kUninstallLogName;
  if (result == InstallResult::finished && !create_shortcuts(os, run, log_path, callback, &transaction)) {
    result = InstallResult::write_failed;
  }
  if (result == InstallResult::finished && run.installed != nullptr) {
    logged(run, log_path);
    logged(run, run.install_folder.path());
    result = remove_old_files(os, *run.installed, *run.logged, callback, transaction);
  }
  if (result == InstallResult::finished) {
    result = apply_declarations(os, run, declarations, log_path, callback, transaction);
  }
  if (result == InstallResult::finished) {
    result = register_uninstall(os, run, log_path, &callback, &transaction, stats->bytes_written);
  }
  return settle(result, transaction, callback, run);
}

}  // namespace quill::installer
