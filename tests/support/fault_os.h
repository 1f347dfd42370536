// An Os that wraps another and fails chosen operations on purpose, so tests
// can check how the engines behave when the Nth file, folder or registry
// operation fails (for example a full disk on the Nth write).
//
// Typical loop:
//   for (std::uint64_t n = 1;; ++n) {
//     PosixOs posix(fresh_sandbox());
//     FaultOs os(posix);
//     os.arm(FaultOs::kAll, n, Error::disk_full);
//     run_the_engine(os);
//     check_invariants();
//     if (!os.triggered()) break;   // the run met no fault: every N was tried
//   }
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "os/os.h"

namespace quill::os {

class FaultOs : public Os {
 public:
  // Operation groups that can be made to fail; combine with |.
  enum Op : std::uint32_t {
    kOpenFile = 1u << 0,       // open_file
    kWrite = 1u << 1,          // File::write on files this object opened
    kRead = 1u << 2,           // File::read (a fault reads nothing)
    kCreateFolder = 1u << 3,   // create_folder, create_folder_secured
    kDeleteFile = 1u << 4,
    kRemoveFolder = 1u << 5,
    kListFolder = 1u << 6,
    kCopyFile = 1u << 7,
    kSetReadOnly = 1u << 8,
    kSetFileTime = 1u << 9,
    kFreeSpace = 1u << 10,     // free_megabytes (a fault answers false)
    kRegistryRead = 1u << 11,  // registry_read_string, registry_read_dword
    kRegistryWrite = 1u << 12, // registry_create_key, _write_*, _delete_key
    kShortcut = 1u << 13,      // create_shortcut
    kShell = 1u << 14,         // shell_open, start_program
    kFileStatus = 1u << 15,    // file_status (a fault reports "does not exist")
    kMoveFile = 1u << 16,      // move_file
    // Everything that changes the machine.
    kAllWrites = kOpenFile | kWrite | kCreateFolder | kDeleteFile | kRemoveFolder | kCopyFile |
                 kSetReadOnly | kSetFileTime | kRegistryWrite | kShortcut | kMoveFile,
    // Every operation that reports failure through a result. file_status is
    // left out: most callers cannot tell a fault there from a missing file.
    kAll = kAllWrites | kRead | kListFolder | kFreeSpace | kRegistryRead | kShell,
  };

  explicit FaultOs(Os& inner);

  // Fails the `nth` call (counting from 1) among the operations in `ops`,
  // answering `error`; with `persistent`, that call and every later one of
  // the set fail. Resets the counters.
  void arm(std::uint32_t ops, std::uint64_t nth, Error error = Error::io, bool persistent = false);
  // No more faults; counting goes on.
  void disarm();
  // Calls of the armed set so far (with no set armed: of every operation).
  std::uint64_t calls() const;
  // Faults injected so far.
  std::uint64_t faults() const;
  bool triggered() const { return faults() > 0; }
  // One line per injected fault ("write #3", "delete_file #5 C:\x"), for
  // messages of failing tests.
  std::vector<std::string> fault_log() const;

  Os& inner() { return inner_; }

  FileStatus file_status(const std::string& path) override;
  std::unique_ptr<File> open_file(const std::string& path, OpenMode mode,
                                  Error* error = nullptr) override;
  Error create_folder(const std::string& path) override;
  Error delete_file(const std::string& path) override;
  Error remove_folder(const std::string& path) override;
  Error list_folder(const std::string& path, std::vector<FolderEntry>* entries) override;
  Error copy_file(const std::string& from, const std::string& to, bool fail_if_exists) override;
  // A copy_file and a delete_file of this object, each counted as such.
  Error replace_file(const std::string& from, const std::string& to) override;
  Error set_read_only(const std::string& path, bool read_only) override;
  Error set_file_time(const std::string& path, std::uint32_t dos_date_time) override;
  std::string temp_folder() override;
  std::string module_path() override;
  bool free_megabytes(const std::string& path, std::uint64_t* megabytes) override;
  std::string special_folder(SpecialFolder which) override;
  // Empty, without asking the inner Os.
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
  // Error::io, without asking the inner Os.
  Error run_program(const std::string& program, const std::string& arguments,
                    std::uint32_t* exit_code) override;
  // The inner machine's answers, never faults.
  bool file_in_use(const std::string& path) override;
  Error programs_using_file(const std::string& path, std::vector<std::string>* programs) override;
  Error close_programs_using_file(const std::string& path) override;
  Error move_file(const std::string& from, const std::string& to) override;
  // Counted with move_file.
  Error delete_file_later(const std::string& path) override;
  // Counted with move_file too.
  Error replace_file_later(const std::string& from, const std::string& to) override;
  // Never fails on purpose: undoing must be able to take a pending
  // replacement back.
  Error cancel_later(const std::string& from) override;
  // Counted with create_folder.
  Error create_folder_secured(const std::string& path, FolderAccess access) override;
  // Never fails on purpose.
  std::string unpredictable_name() override;
  // The inner machine's lock.
  std::unique_ptr<SystemLock> take_lock(const std::string& name, Error* error) override;
  // Neither: the faults are counted on one thread, in order.
  std::unique_ptr<Thread> start_thread(void (*)(void*), void*) override { return nullptr; }
  std::unique_ptr<Semaphore> make_semaphore(unsigned) override { return nullptr; }
  std::string long_path_name(const std::string& path) override;
  // Counted with set_read_only.
  Error set_attributes(const std::string& path, std::uint32_t attributes) override;
  // Counted with kShell.
  Error shell_open_default(const std::string& file) override;
  // This object's shell_open_default.
  Error open_as_desktop_user(const std::string& file) override;
  // Declared values: reading a value and asking whether a key is empty
  // (a fault answers "not empty") count as kRegistryRead, writing and
  // deleting a value as kRegistryWrite. The two notifications cannot fail
  // and reach the inner machine.
  Error registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                            RegistryValue* value) override;
  Error registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                             const RegistryValue& value) override;
  Error registry_delete_value(RegistryRoot root, const std::string& key,
                              const std::string& name) override;
  bool registry_key_empty(RegistryRoot root, const std::string& key) override;
  void notify_associations_changed() override;
  void broadcast_environment_changed() override;

  // Shared with the File objects handed out, which may outlive this object.
  struct State;

 private:
  Error injected_error() const;

  Os& inner_;
  std::shared_ptr<State> state_;
};

}  // namespace quill::os
