// A simulated Windows machine inside a sandbox folder of the host.
//
// Drive paths ("C:\Folder\file") map to <sandbox>/C/Folder/file. Nothing
// else of the host is reachable unless the owner calls allow_host_paths():
// from then on a path that starts with a single '/' is a host path used as it
// is (the Linux builder reads its project and sources that way). Without it
// such a path lies outside the machine and every operation refuses it. The
// registry is a small file-backed tree inside the sandbox; a shortcut is a
// text file naming its target and working folder. Read-only files refuse deletion and writes as on Windows,
// even for root.
//
// Path rules: `\` and `/` both separate; "." components are dropped and ".."
// never climbs above the drive (so no drive path leaves the sandbox); a
// relative path counts from C:\; "\\server\share" (and "//server/share",
// host paths allowed or not) maps below <sandbox>/UNC.
// A component that does not exist under its exact name is looked up
// case-insensitively, as Windows file names are. Listings come in name order,
// ignoring letter case, as a Windows file system returns them. A host
// symbolic link stands for a Windows link or junction (os.h tells how each
// operation treats one).
//
// The machine: profile C:\Users\User with Desktop, AppData\Roaming (and its
// ...\Start Menu\Programs and ...\Internet Explorer\Quick Launch folders) and
// AppData\Local\Temp\ as the temporary folder; C:\Program Files; C:\Windows;
// C:\Windows\System32. The registry is the file <sandbox>/registry.txt, read
// and rewritten by every registry call, so two instances on one sandbox (an
// installer run, then an uninstaller run) share it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "os/os.h"

namespace quill::os {

class PosixOs : public Os {
 public:
  // Creates the sandbox's standard folders (program files, Windows, system,
  // user profile, desktop, Programs, application data, temp) when missing.
  explicit PosixOs(std::string sandbox_root);

  // The host path that a Windows path maps to; empty for a path outside the
  // machine.
  std::string host_path(const std::string& path) const;
  // Lets paths that start with a single '/' name host files (see above).
  void allow_host_paths() { host_paths_allowed_ = true; }
  const std::string& sandbox_root() const { return root_; }

  // Test settings.
  void set_module_path(const std::string& path) { module_path_ = path; }
  void set_free_megabytes(std::uint64_t megabytes) { free_override_ = megabytes; has_free_override_ = true; }
  // Every shell_open and start_program call, in order ("open|file" or
  // "start|program|arguments"). Copies, as worker threads may add to them.
  std::vector<std::string> shell_log() const;
  // Every folder passed to notify_folder_created, in order.
  std::vector<std::string> notified_folders() const;
  // Reads back a shortcut written by create_shortcut; false when `link_path`
  // holds none.
  bool read_shortcut(const std::string& link_path, Shortcut* shortcut);
  // Plants a link at `path` that leads to `target` (a host symbolic link,
  // which stands for a Windows link or junction), as someone else might.
  Error create_link(const std::string& path, const std::string& target);

  // Os operations: see os.h.
  FileStatus file_status(const std::string& path) override;
  std::unique_ptr<File> open_file(const std::string& path, OpenMode mode,
                                  Error* error = nullptr) override;
  Error create_folder(const std::string& path) override;
  Error delete_file(const std::string& path) override;
  Error remove_folder(const std::string& path) override;
  Error list_folder(const std::string& path, std::vector<FolderEntry>* entries) override;
  Error copy_file(const std::string& from, const std::string& to, bool fail_if_exists) override;
  Error replace_file(const std::string& from, const std::string& to) override;
  Error set_read_only(const std::string& path, bool read_only) override;
  Error set_file_time(const std::string& path, std::uint32_t dos_date_time) override;
  std::string temp_folder() override;
  std::string module_path() override;
  bool free_megabytes(const std::string& path, std::uint64_t* megabytes) override;
  std::string special_folder(SpecialFolder which) override;
  bool registry_key_exists(RegistryRoot root, const std::string& key) override;
  Error registry_create_key(RegistryRoot root, const std::string& key) override;
  Error registry_read_string(RegistryRoot root, const std::string& key, const std::string& name,
                             std::string* value, std::size_t max_length = 259) override;
  Error registry_read_dword(RegistryRoot root, const std::string& key, const std::string& name,
                            std::uint32_t* value) override;
  Error registry_write_string(RegistryRoot root, const std::string& key, const std::string& name,
                              const std::string& value) override;
  Error registry_write_dword(RegistryRoot root, const std::string& key, const std::string& name,
                             std::uint32_t value) override;
  Error registry_delete_key(RegistryRoot root, const std::string& parent,
                            const std::string& subkey) override;
  Error create_shortcut(const Shortcut& shortcut) override;
  void notify_folder_created(const std::string& path) override;
  Error shell_open(const std::string& file) override;
  Error start_program(const std::string& program, const std::string& arguments) override;
  // Runs nothing: Error::io.
  Error run_program(const std::string& program, const std::string& arguments,
                    std::uint32_t* exit_code) override;
  // A file is in use while some open description of it holds an exclusive
  // flock(2): what a test holding a file does (hold_file below).
  bool file_in_use(const std::string& path) override;
  // The sandbox cannot name or close programs: Error::io.
  Error programs_using_file(const std::string& path, std::vector<std::string>* programs) override;
  Error close_programs_using_file(const std::string& path) override;
  // A rename inside the sandbox.
  Error move_file(const std::string& from, const std::string& to) override;
  // The sandbox has no short names: `path` unchanged.
  std::string long_path_name(const std::string& path) override;
  // The sandbox keeps the read-only bit alone.
  Error set_attributes(const std::string& path, std::uint32_t attributes) override;
  // Logged as "default|file".
  Error shell_open_default(const std::string& file) override;
  // The sandbox has one user: as shell_open_default.
  Error open_as_desktop_user(const std::string& file) override;
  // Logs "later|" and the path that the next start would delete.
  Error delete_file_later(const std::string& path) override;
  // Logs "rename-later|from|to"; cancel_later drops the lines of `from`.
  Error replace_file_later(const std::string& from, const std::string& to) override;
  Error cancel_later(const std::string& from) override;
  // Test setting: holds `path` open as a running program would, until the
  // descriptor answered is closed (-1: not held).
  int hold_file(const std::string& path);
  // A private folder is the owner's alone (mode 0700).
  Error create_folder_secured(const std::string& path, FolderAccess access) override;
  // From the host's /dev/urandom.
  std::string unpredictable_name() override;
  // An exclusive flock(2) on <sandbox>/locks/NAME, so that two instances on
  // one sandbox (or two processes) exclude each other.
  std::unique_ptr<SystemLock> take_lock(const std::string& name, Error* error) override;
  // In posix_thread.cpp.
  std::unique_ptr<Thread> start_thread(void (*work)(void*), void* context) override;
  std::unique_ptr<Semaphore> make_semaphore(unsigned count) override;
  // The host's local date.
  std::string local_date() override;
  // Declared values keep their type in the registry file; the two
  // notifications are logged in shell_log() as "associations-changed" and
  // "environment-changed".
  Error registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                            RegistryValue* value) override;
  Error registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                             const RegistryValue& value) override;
  Error registry_delete_value(RegistryRoot root, const std::string& key,
                              const std::string& name) override;
  bool registry_key_empty(RegistryRoot root, const std::string& key) override;
  void notify_associations_changed() override;
  void broadcast_environment_changed() override;

 private:
  std::string root_;
  std::string module_path_;
  std::uint64_t free_override_ = 0;
  bool has_free_override_ = false;
  bool host_paths_allowed_ = false;
  std::vector<std::string> shell_log_;
  std::vector<std::string> notified_;
  // Serialises the registry file and the logs between threads.
  mutable std::mutex mutex_;
};

}  // namespace quill::os
