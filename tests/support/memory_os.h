// The simulated Windows machine of os/posix_os.h held in memory: the same
// folders, special folders, path rules, registry, shortcut files, read-only
// attribute, listing order and links, without a host folder. Nothing of the host is
// reachable: a path that starts with a single '/' lies outside the machine
// and every operation refuses it.
//
// Differences from the sandbox backend: drives other than C: and network
// shares do not exist (operations on them answer Error::not_found); the
// machine holds at most `capacity` bytes of file data (a write beyond fails
// as on a full disk) and free_megabytes reports what is left of it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/os.h"

namespace quill::os {

class MemoryOs : public Os {
 public:
  explicit MemoryOs(std::uint64_t capacity = std::uint64_t(1) << 30);
  ~MemoryOs() override;
  // Machines are copied only on purpose, with clone().
  MemoryOs(const MemoryOs&) = delete;
  MemoryOs& operator=(const MemoryOs&) = delete;

  // A machine of its own with this one's whole state: files, folders,
  // attributes, registry, used space and test settings. Neither sees later
  // changes to the other, nor writes through files the other has open.
  MemoryOs clone() const;

  // Test settings, as on the sandbox backend. The module path defaults to
  // C:\setup.exe.
  void set_module_path(const std::string& path);
  void set_free_megabytes(std::uint64_t megabytes);
  std::vector<std::string> shell_log() const;
  std::vector<std::string> notified_folders() const;
  bool read_shortcut(const std::string& link_path, Shortcut* shortcut);
  // Plants a link at `path` that leads to `target` (a folder link when
  // `target` is a folder now, else a file link), as someone else might.
  Error create_link(const std::string& path, const std::string& target);
  // Whether create_folder_secured made the folder at `path`, and how.
  bool folder_access(const std::string& path, FolderAccess* access) const;
  // Every folder and file of drive C:, for tests that compare the machine
  // before and after: each path upper-case with '\' ("C:\WINDOWS\X.INI"),
  // a folder as "<folder>", a file as its read-only mark ("r:" or "w:")
  // followed by its bytes, a link as "l:" followed by where it leads.
  std::map<std::string, std::string> drive_contents() const;
  // The paths of drive C:, named as drive_contents() names them, whose
  // entry there differs from `before`'s: added, removed, a file's bytes or
  // read-only mark changed, a file turned folder or back. Without copying
  // either drive.
  std::vector<std::string> changed_paths_since(const MemoryOs& before) const;

  // Os operations: see os.h.
  FileStatus file_status(const std::string& path) override;
  std::unique_ptr<File> open_file(const std::string& path, OpenMode mode,
                                  Error* error = nullptr) override;
  Error create_folder(const std::string& path) override;
  Error delete_file(const std::string& path) override;
  Error remove_folder(const std::string& path) override;
  Error list_folder(const std::string& path, std::vector<FolderEntry>* entries) override;
  Error copy_file(const std::string& from, const std::string& to, bool fail_if_exists) override;
  // Copies, then deletes `from`: no step of the machine replaces a file.
  Error replace_file(const std::string& from, const std::string& to) override;
  Error set_read_only(const std::string& path, bool read_only) override;
  // The machine keeps the read-only attribute alone.
  Error set_attributes(const std::string& path, std::uint32_t attributes) override;
  Error set_file_time(const std::string& path, std::uint32_t dos_date_time) override;
  std::string temp_folder() override;
  std::string module_path() override;
  bool free_megabytes(const std::string& path, std::uint64_t* megabytes) override;
  std::string special_folder(SpecialFolder which) override;
  // Empty (unknown): the machine has no clock.
  std::string local_date() override;
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
  // No program runs here: Error::io.
  Error run_program(const std::string& program, const std::string& arguments,
                    std::uint32_t* exit_code) override;
  // What hold_file set up: the file is in use by the programs named, which
  // close (release the file) when asked unless `stubborn`.
  bool file_in_use(const std::string& path) override;
  Error programs_using_file(const std::string& path, std::vector<std::string>* programs) override;
  Error close_programs_using_file(const std::string& path) override;
  // A rename inside the machine, as on the sandbox backend.
  Error move_file(const std::string& from, const std::string& to) override;
  // Names are kept as written: there are no short names.
  std::string long_path_name(const std::string& path) override;
  // Logged as "default|file".
  Error shell_open_default(const std::string& file) override;
  // As shell_open_default: the machine has one user.
  Error open_as_desktop_user(const std::string& file) override;
  // Logs "later|" and the path that the next start would delete.
  Error delete_file_later(const std::string& path) override;
  // Logs "rename-later|from|to"; cancel_later drops the lines of `from`.
  Error replace_file_later(const std::string& from, const std::string& to) override;
  Error cancel_later(const std::string& from) override;
  // Test settings: `path` is held open by `programs` (none: the system
  // cannot tell which), or no longer.
  void hold_file(const std::string& path, std::vector<std::string> programs = {},
                 bool stubborn = false);
  void release_file(const std::string& path);
  // Remembered for folder_access().
  Error create_folder_secured(const std::string& path, FolderAccess access) override;
  // A fixed sequence per machine (a clone goes on with its original's), so
  // that runs repeat exactly.
  std::string unpredictable_name() override;
  // A table of the machine's lock names.
  std::unique_ptr<SystemLock> take_lock(const std::string& name, Error* error) override;
  // Neither: everything runs on the caller's thread.
  std::unique_ptr<Thread> start_thread(void (*)(void*), void*) override { return nullptr; }
  std::unique_ptr<Semaphore> make_semaphore(unsigned) override { return nullptr; }

  // Declared values and notifications: the notifications are logged in
  // shell_log() as "associations-changed" and "environment-changed".
  Error registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                            RegistryValue* value) override;
  Error registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                             const RegistryValue& value) override;
  Error registry_delete_value(RegistryRoot root, const std::string& key,
                              const std::string& name) override;
  bool registry_key_empty(RegistryRoot root, const std::string& key) override;
  void notify_associations_changed() override;
  void broadcast_environment_changed() override;
  // The whole registry, for tests that compare it before and after: each
  // key as "<root hex>\KEY\PATH" (upper case) mapped to "<key>", each value
  // as that path + "|NAME" mapped to its type letter and data
  // ("s:text", "e:text", "d:123").
  std::map<std::string, std::string> registry_contents() const;

  // Shared with the File objects handed out, which may outlive this object.
  struct Machine;

 private:
  explicit MemoryOs(std::shared_ptr<Machine> machine);

  std::shared_ptr<Machine> machine_;
};

}  // namespace quill::os
