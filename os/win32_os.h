// The Win32 backend of the OS boundary: the wide (UTF-16) calls throughout,
// paths and names UTF-8 on this side. Used by the Windows programs; see os.h
// for each operation's contract.
#pragma once

#include <string>

#include "os/os.h"

namespace quill::os {

class Win32Os : public Os {
 public:
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
  Error move_file(const std::string& from, const std::string& to) override;
  std::string long_path_name(const std::string& path) override;
  Error set_attributes(const std::string& path, std::uint32_t attributes) override;
  Error shell_open_default(const std::string& file) override;
  std::string local_date() override;
  Error run_program(const std::string& program, const std::string& arguments,
                    std::uint32_t* exit_code) override;
  // Opening it sharing nothing meets a sharing violation.
  bool file_in_use(const std::string& path) override;
  // Through the system's Restart Manager (rstrtmgr.dll, loaded from the
  // system folder when first needed); Error::io where it is missing.
  Error programs_using_file(const std::string& path, std::vector<std::string>* programs) override;
  Error close_programs_using_file(const std::string& path) override;
  Error delete_file_later(const std::string& path) override;
  // MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT (administrators only).
  Error replace_file_later(const std::string& from, const std::string& to) override;
  // Edits the system's list, PendingFileRenameOperations.
  Error cancel_later(const std::string& from) override;
  // In win32_user_shell.cpp.
  Error open_as_desktop_user(const std::string& file) override;
  // Administrators and SYSTEM, and the user where the folder is private to
  // a process that runs without elevation; see FolderAccess.
  Error create_folder_secured(const std::string& path, FolderAccess access) override;
  // From the system's cryptographic generator.
  std::string unpredictable_name() override;
  // A named mutex in the global namespace: it exists while a holder runs.
  std::unique_ptr<SystemLock> take_lock(const std::string& name, Error* error) override;
  // In win32_thread.cpp.
  std::unique_ptr<Thread> start_thread(void (*work)(void*), void* context) override;
  std::unique_ptr<Semaphore> make_semaphore(unsigned count) override;

  // Declared values and notifications, in win32_declarations.cpp.
  Error registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                            RegistryValue* value) override;
  Error registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                             const RegistryValue& value) override;
  Error registry_delete_value(RegistryRoot root, const std::string& key,
                              const std::string& name) override;
  bool registry_key_empty(RegistryRoot root, const std::string& key) override;
  // SHChangeNotify with SHCNE_ASSOCCHANGED.
  void notify_associations_changed() override;
  // WM_SETTINGCHANGE "Environment" to every top-level window, each given a
  // time-out.
  void broadcast_environment_changed() override;
};

}  // namespace quill::os
