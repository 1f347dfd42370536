// The OS boundary: every file, folder, registry and shell operation that the
// portable logic needs, named for what the caller wants. Two backends
// implement it: win32_os.cpp (the real calls) and posix_os.cpp (a simulated
// Windows machine inside a sandbox folder, for tests and the Linux builder);
// the test doubles of tests/support implement it too.
// Paths, names and texts are UTF-8 strings; paths in Windows form
// ("C:\Folder\file.txt"). Names compare as Windows compares them, ignoring
// letter case (text/unicode.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quill::os {

// Environment failures are values the caller can act on.
enum class Error {
  none,
  not_found,      // the file, folder or key does not exist
  exists,         // the target exists and may not be replaced
  access_denied,  // read-only, locked or refused
  disk_full,
  not_empty,      // a folder still holds entries
  io,             // any other failure
};

// File attribute bits, as Windows numbers them.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeSystem = 0x04;
constexpr std::uint32_t kAttributeArchive = 0x20;

struct FileStatus {
  bool exists = false;
  bool is_folder = false;
  bool read_only = false;
  // The path itself is a symbolic link, junction or other reparse point;
  // is_folder then tells whether it is one to a folder.
  bool is_link = false;
  // Neither a file nor a folder (nor a link to one): a device, a pipe or a
  // socket, whose reading need never end.
  bool is_device = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // last write, seconds since 1970 (UTC); 0 when unknown
};

struct FolderEntry {
  std::string name;  // the entry's own name, without its folder
  bool is_folder = false;
  bool read_only = false;
  bool is_link = false;  // a symbolic link, junction or other reparse point
  std::uint64_t size = 0;
};

// Who may change a folder made by Os::create_folder_secured.
enum class FolderAccess {
  // A run's private work folder: only the running user can write it, or,
  // when the program runs elevated, only Administrators and SYSTEM.
  private_work,
  // An install folder of a machine-wide install: Administrators and SYSTEM
  // have full control, users may read and run (as in Program Files).
  machine_program,
};

enum class OpenMode {
  read,    // existing file, from its start
  write,   // created or truncated
  append,  // created when missing, writes go to its end
};

// An open file. Binary: no line-end translation happens here.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes; returns the count read (0 at the end or on error).
  virtual std::size_t read(void* buffer, std::size_t size) = 0;
  // Writes all `size` bytes; false when not all of them could be written.
  virtual bool write(const void* data, std::size_t size) = 0;
  virtual bool seek(std::uint64_t offset) = 0;
  // Reads up to `size` bytes from `offset` (the count read, as read()
  // answers). Two threads may read one file this way at once, as long as
  // neither uses seek() and read() on it meanwhile: where the file's
  // position ends is not said. Files read by one thread only keep this
  // default.
  virtual std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) {
    return seek(offset) ? read(buffer, size) : 0;
  }
  virtual std::uint64_t tell() = 0;
  virtual std::uint64_t size() = 0;
  // Sets the last-write time (an MS-DOS date and time pair) and, unless
  // `attributes` is 0, the kAttribute* bits of this open file written to
  // its end: one call on the handle instead of opening the file again by
  // its path. A backend that cannot answers Error::io, and the caller uses
  // Os::set_file_time and Os::set_attributes after closing the file.
  virtual Error finish(std::uint32_t dos_date_time, std::uint32_t attributes) = 0;
};

enum class SpecialFolder {
  program_files,  // CSIDL_PROGRAM_FILES
  windows,        // CSIDL_WINDOWS
  system,         // CSIDL_SYSTEM
  desktop,        // CSIDL_DESKTOPDIRECTORY
  programs,       // CSIDL_PROGRAMS (start menu programs)
  app_data,       // CSIDL_APPDATA
  profile,        // the user's profile folder
  local_app_data,   // CSIDL_LOCAL_APPDATA
  common_desktop,   // CSIDL_COMMON_DESKTOPDIRECTORY (all users)
  common_programs,  // CSIDL_COMMON_PROGRAMS (all users' start menu programs)
};

// Registry roots carry the values of the Windows predefined keys.
enum class RegistryRoot : std::uint32_t {
  classes_root = 0x80000000u,
  current_user = 0x80000001u,
  local_machine = 0x80000002u,
  users = 0x80000003u,
  current_config = 0x80000005u,
};

struct Shortcut {
  std::string link_path;       // full path of the .lnk file to write
  std::string target;          // the file the shortcut starts
  std::string working_folder;  // may be empty
  std::string description;     // may be empty
};

// A system-wide lock held by this process until the object is destroyed
// (or the process ends): Os::take_lock.
class SystemLock {
 public:
  virtual ~SystemLock() = default;
};

// A thread started by Os::start_thread; destroying the object waits until
// its work has returned.
class Thread {
 public:
  virtual ~Thread() = default;
};

// A counting semaphore by which two threads hand work to each other: wait()
// takes one count, waiting while there is none; post() adds one.
class Semaphore {
 public:
  virtual ~Semaphore() = default;
  virtual void post() = 0;
  virtual void wait() = 0;
};

// `count` bytes as lower-case hexadecimal digits, two a byte: how the
// backends spell an unpredictable name.
std::string hex_name(const unsigned char* bytes, std::size_t count);

// The operations, grouped by topic. One instance is passed to the engines;
// nothing reaches a global backend. All paths are absolute Windows paths
// unless noted. Every backend implements every operation; one that lacks a
// feature answers as the operation's contract says, and the caller takes
// its own way round.
class Os {
 public:
  virtual ~Os() = default;

  // Files.
  // Links: as on Windows, a link in the middle of a path is followed, and
  // so is one at its end when a file is read or a folder listed. Reporting
  // (file_status, list_folder's entries), deleting and removing take the
  // link itself; opening for writing and copying onto a link are refused.
  virtual FileStatus file_status(const std::string& path) = 0;
  virtual std::unique_ptr<File> open_file(const std::string& path, OpenMode mode,
                                          Error* error = nullptr) = 0;
  // Deletes a file; a read-only file is refused with Error::access_denied.
  // A link of either kind is deleted itself, never what it points to.
  virtual Error delete_file(const std::string& path) = 0;
  // A link at `to` is refused with Error::access_denied.
  virtual Error copy_file(const std::string& from, const std::string& to,
                          bool fail_if_exists) = 0;
  // Puts the file `from` in the place of `to` (replacing it) and removes
  // `from`; a backend replaces in one step where it can, so that `to` is
  // always either the old or the new file, and otherwise copies and deletes.
  virtual Error replace_file(const std::string& from, const std::string& to) = 0;
  // Renames a file within its volume; the target must not exist. A backend
  // or a pair of volumes that cannot rename answers an error, and the
  // caller copies instead.
  virtual Error move_file(const std::string& from, const std::string& to) = 0;
  // Deletes a file that is in use when the system next starts, by its own
  // path: it is never moved first, so no folder that others can write to
  // decides what goes then. A folder given here is removed then when it is
  // empty. A backend without such a list answers Error::io.
  virtual Error delete_file_later(const std::string& path) = 0;
  // Puts the file `from` in the place of `to` when the system next starts
  // (`from` lies beside `to`, on its volume). A backend without such a list
  // answers Error::io; a user who may not add to it, Error::access_denied.
  virtual Error replace_file_later(const std::string& from, const std::string& to) = 0;
  // Takes back every operation delete_file_later or replace_file_later
  // recorded for `from`; Error::not_found when there was none.
  virtual Error cancel_later(const std::string& from) = 0;
  virtual Error set_read_only(const std::string& path, bool read_only) = 0;
  // Sets a file's read-only, hidden, system and archive attributes to the
  // kAttribute* bits given. A backend that keeps only the read-only
  // attribute sets that bit alone.
  virtual Error set_attributes(const std::string& path, std::uint32_t attributes) = 0;
  // Sets a file's modification time from an MS-DOS date and time pair.
  virtual Error set_file_time(const std::string& path, std::uint32_t dos_date_time) = 0;
  // The path with every 8.3 short-name part replaced by its long name; the
  // parts that do not exist are kept as written. On a machine without short
  // names, `path` unchanged.
  virtual std::string long_path_name(const std::string& path) = 0;

  // Folders.
  // Creates one folder; its parent must exist. An existing folder gives Error::exists.
  virtual Error create_folder(const std::string& path) = 0;
  // Removes an empty folder. A link to a folder is removed itself, however
  // full the folder it points to.
  virtual Error remove_folder(const std::string& path) = 0;
  // Lists a folder's entries ("." and ".." are never returned).
  virtual Error list_folder(const std::string& path, std::vector<FolderEntry>* entries) = 0;

  // Registry. Keys are paths below a root ("SOFTWARE\Vendor\Tool").
  virtual bool registry_key_exists(RegistryRoot root, const std::string& key) = 0;
  virtual Error registry_create_key(RegistryRoot root, const std::string& key) = 0;
  // Reads a string value (at most `max_length` characters are returned).
  virtual Error registry_read_string(RegistryRoot root, const std::string& key,
                                     const std::string& name, std::string* value,
                                     std::size_t max_length = 259) = 0;
  virtual Error registry_read_dword(RegistryRoot root, const std::string& key,
                                    const std::string& name, std::uint32_t* value) = 0;
  // Writers create the key when it is missing.
  virtual Error registry_write_string(RegistryRoot root, const std::string& key,
                                      const std::string& name, const std::string& value) = 0;
  virtual Error registry_write_dword(RegistryRoot root, const std::string& key,
                                     const std::string& name, std::uint32_t value) = 0;
  // Deletes `subkey` below `parent` (with everything under it).
  virtual Error registry_delete_key(RegistryRoot root, const std::string& parent,
                                    const std::string& subkey) = 0;

  // Shell and shortcuts.
  virtual Error create_shortcut(const Shortcut& shortcut) = 0;
  // Tells the shell that a folder was created (start-menu refresh).
  virtual void notify_folder_created(const std::string& path) = 0;
  // The shell's open operation on `file` (a document, program or URL).
  virtual Error shell_open(const std::string& file) = 0;
  // The shell's default operation on `file` (its default verb), shown
  // normally.
  virtual Error shell_open_default(const std::string& file) = 0;

  // Processes.
  // Starts a program with a command-line tail; does not wait.
  virtual Error start_program(const std::string& program, const std::string& arguments) = 0;
  // Starts a program with a command-line tail and waits until it ends;
  // `exit_code` receives its exit code. A backend that cannot run programs
  // answers Error::io.
  virtual Error run_program(const std::string& program, const std::string& arguments,
                            std::uint32_t* exit_code) = 0;
  // True when another program holds the existing file `path` open (so that
  // it can be neither replaced nor deleted now).
  virtual bool file_in_use(const std::string& path) = 0;
  // The programs that hold `path` open, as the system names them to the
  // user. Error::io where the system cannot tell (the caller goes on without).
  virtual Error programs_using_file(const std::string& path,
                                    std::vector<std::string>* programs) = 0;
  // Asks the programs that hold `path` open to close; Error::none when they
  // did. Error::io where the system cannot do that.
  virtual Error close_programs_using_file(const std::string& path) = 0;

  // The system and its places.
  virtual std::string temp_folder() = 0;   // ends in a backslash
  virtual std::string module_path() = 0;   // this program's own file
  // A special folder without trailing backslash; empty when unknown.
  virtual std::string special_folder(SpecialFolder which) = 0;
  // Free space for the caller on the drive holding `path`, in whole MiB;
  // false when the drive cannot be queried.
  virtual bool free_megabytes(const std::string& path, std::uint64_t* megabytes) = 0;
  // Today's local date as "yyyymmdd"; empty when unknown.
  virtual std::string local_date() = 0;

  // Security: what a program that may run elevated needs so that nobody
  // else steers it.
  // Creates one new folder (its parent must exist) with an explicit access
  // list instead of the inherited one. Anything already at `path` (a folder,
  // a file or a link) gives Error::exists: a folder made in advance by
  // someone else is never adopted.
  virtual Error create_folder_secured(const std::string& path, FolderAccess access) = 0;
  // The shell's default operation on `file`, started with the ordinary
  // rights of the user logged on at the desktop even when this program runs
  // elevated, where the system allows; elsewhere as shell_open_default.
  virtual Error open_as_desktop_user(const std::string& file) = 0;
  // 16 hexadecimal digits from the system's source of random numbers, for
  // a name that no other program can guess. Empty when there is no such
  // source; the caller must not fall back to a guessable name.
  virtual std::string unpredictable_name() = 0;
  // Takes the system-wide lock `name` (letters, digits and '-'), shared by
  // every user's processes. Null with Error::exists while another holder
  // keeps it; with another error when the system refused.
  virtual std::unique_ptr<SystemLock> take_lock(const std::string& name, Error* error) = 0;

  // ---- A second thread, for work that overlaps the caller's (decoding
  // ahead while files are written). Null from a backend that runs
  // everything on the caller's thread, or when the system refuses; the
  // caller then does the work itself.
  // The thread calls work(context) once.
  virtual std::unique_ptr<Thread> start_thread(void (*work)(void* context), void* context) = 0;
  // A semaphore holding `count`; null as for start_thread.
  virtual std::unique_ptr<Semaphore> make_semaphore(unsigned count) = 0;

  // ---- Declared registry values, associations and the environment: what a
  // package's declarations change, read back whole so that they can be put
  // back exactly.
  struct RegistryValue {
    enum class Type { absent, string, expandable_string, dword, other };
    Type type = Type::absent;
    std::string text;              // string, expandable_string: the text; other: the raw bytes
    std::uint32_t dword = 0;       // dword
    std::uint32_t raw_type = 0;    // other: the system's type number (REG_BINARY, ...)
  };
  // Reads a value with its type. A missing key or value answers Error::none
  // with Type::absent; any other failure is an error.
  virtual Error registry_read_value(RegistryRoot root, const std::string& key,
                                    const std::string& name, RegistryValue* value) = 0;
  // Writes `value` with its type (creating the key); Type::absent deletes it.
  virtual Error registry_write_value(RegistryRoot root, const std::string& key,
                                     const std::string& name, const RegistryValue& value) = 0;
  // Deletes one value; Error::not_found when the key or value is missing.
  virtual Error registry_delete_value(RegistryRoot root, const std::string& key,
                                      const std::string& name) = 0;
  // True when the key exists and holds neither values nor subkeys.
  virtual bool registry_key_empty(RegistryRoot root, const std::string& key) = 0;
  // Tells the shell once that file associations changed.
  virtual void notify_associations_changed() = 0;
  // Tells the running programs once that the environment changed, waiting
  // a bounded time for each window so that a hung one cannot hold the caller.
  virtual void broadcast_environment_changed() = 0;
};

}  // namespace quill::os
