// The fault-injecting wrapper around another Os.
#include "tests/support/fault_os.h"

#include <mutex>
#include <utility>

namespace quill::os {

struct FaultOs::State {
  std::uint32_t ops = 0xffffffffu;
  std::uint64_t nth = 0;  // 0: never fail
  bool persistent = false;
  Error error = Error::io;
  std::uint64_t calls = 0;
  std::uint64_t faults = 0;
  std::vector<std::string> log;
  std::mutex mutex;  // engines may call from several threads

  // Counts a call of `op`; true when this call must fail.
  bool hit(std::uint32_t op, const char* name, const std::string& detail) {
    std::lock_guard<std::mutex> lock(mutex);
    if ((ops & op) == 0) return false;
    ++calls;
    if (nth == 0 || calls < nth || (calls > nth && !persistent)) return false;
    ++faults;
    std::string line = std::string(name) + " #" + std::to_string(calls);
    if (!detail.empty()) line += " " + detail;
    log.push_back(line);
    return true;
  }
};

namespace {

class FaultFile : public File {
 public:
  FaultFile(std::unique_ptr<File> inner, std::shared_ptr<FaultOs::State> state, std::string path)
      : inner_(std::move(inner)), state_(std::move(state)), path_(std::move(path)) {}

  std::size_t read(void* buffer, std::size_t size) override {
    if (state_->hit(FaultOs::kRead, "read", path_)) return 0;
    return inner_->read(buffer, size);
  }
  bool write(const void* data, std::size_t size) override {
    if (state_->hit(FaultOs::kWrite, "write", path_)) return false;
    return inner_->write(data, size);
  }
  bool seek(std::uint64_t offset) override { return inner_->seek(offset); }
  std::uint64_t tell() override { return inner_->tell(); }
  std::uint64_t size() override { return inner_->size(); }
  // Not passed on: the caller sets time and attributes by path instead.
  Error finish(std::uint32_t, std::uint32_t) override { return Error::io; }

 private:
  std::unique_ptr<File> inner_;
  std::shared_ptr<FaultOs::State> state_;
  std::string path_;
};

}  // namespace

FaultOs::FaultOs(Os& inner) : inner_(inner), state_(std::make_shared<State>()) {}

void FaultOs::arm(std::uint32_t ops, std::uint64_t nth, Error error, bool persistent) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->ops = ops;
  state_->nth = nth;
  state_->error = error;
  state_->persistent = persistent;
  state_->calls = 0;
  state_->faults = 0;
  state_->log.clear();
}

void FaultOs::disarm() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->nth = 0;
}

std::uint64_t FaultOs::calls() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->calls;
}

std::uint64_t FaultOs::faults() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->faults;
}

std::vector<std::string> FaultOs::fault_log() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->log;
}

Error FaultOs::injected_error() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->error;
}

FileStatus FaultOs::file_status(const std::string& path) {
  if (state_->hit(kFileStatus, "file_status", path)) return FileStatus();
  return inner_.file_status(path);
}

std::unique_ptr<File> FaultOs::open_file(const std::string& path, OpenMode mode, Error* error) {
  if (state_->hit(kOpenFile, "open_file", path)) {
    if (error != nullptr) *error = injected_error();
    return nullptr;
  }
  std::unique_ptr<File> file = inner_.open_file(path, mode, error);
  if (!file) return nullptr;
  return std::make_unique<FaultFile>(std::move(file), state_, path);
}

Error FaultOs::create_folder(const std::string& path) {
  if (state_->hit(kCreateFolder, "create_folder", path)) return injected_error();
  return inner_.create_folder(path);
}

Error FaultOs::delete_file(const std::string& path) {
  if (state_->hit(kDeleteFile, "delete_file", path)) return injected_error();
  return inner_.delete_file(path);
}

Error FaultOs::remove_folder(const std::string& path) {
  if (state_->hit(kRemoveFolder, "remove_folder", path)) return injected_error();
  return inner_.remove_folder(path);
}

Error FaultOs::list_folder(const std::string& path, std::vector<FolderEntry>* entries) {
  if (state_->hit(kListFolder, "list_folder", path)) {
    entries->clear();
    return injected_error();
  }
  return inner_.list_folder(path, entries);
}

Error FaultOs::copy_file(const std::string& from, const std::string& to, bool fail_if_exists) {
  if (state_->hit(kCopyFile, "copy_file", to)) return injected_error();
  return inner_.copy_file(from, to, fail_if_exists);
}

Error FaultOs::replace_file(const std::string& from, const std::string& to) {
  Error e = copy_file(from, to, false);
  if (e != Error::none) return e;
  return delete_file(from);
}

Error FaultOs::set_read_only(const std::string& path, bool read_only) {
  if (state_->hit(kSetReadOnly, "set_read_only", path)) return injected_error();
  return inner_.set_read_only(path, read_only);
}

Error FaultOs::set_file_time(const std::string& path, std::uint32_t dos_date_time) {
  if (state_->hit(kSetFileTime, "set_file_time", path)) return injected_error();
  return inner_.set_file_time(path, dos_date_time);
}

std::string FaultOs::temp_folder() { return inner_.temp_folder(); }
std::string FaultOs::module_path() { return inner_.module_path(); }

bool FaultOs::free_megabytes(const std::string& path, std::uint64_t* megabytes) {
  if (state_->hit(kFreeSpace, "free_megabytes", path)) return false;
  return inner_.free_megabytes(path, megabytes);
}

std::string FaultOs::special_folder(SpecialFolder which) { return inner_.special_folder(which); }

std::string FaultOs::local_date() { return std::string(); }

bool FaultOs::registry_key_exists(RegistryRoot root, const std::string& key) {
  return inner_.registry_key_exists(root, key);
}

Error FaultOs::registry_create_key(RegistryRoot root, const std::string& key) {
  if (state_->hit(kRegistryWrite, "registry_create_key", key)) return injected_error();
  return inner_.registry_create_key(root, key);
}

Error FaultOs::registry_read_string(RegistryRoot root, const std::string& key, const std::string& name,
                                   std::string* value, std::size_t max_length) {
  if (state_->hit(kRegistryRead, "registry_read_string", key + "|" + name)) return injected_error();
  return inner_.registry_read_string(root, key, name, value, max_length);
}

Error FaultOs::registry_read_dword(RegistryRoot root, const std::string& key, const std::string& name,
                                  std::uint32_t* value) {
  if (state_->hit(kRegistryRead, "registry_read_dword", key + "|" + name)) return injected_error();
  return inner_.registry_read_dword(root, key, name, value);
}

Error FaultOs::registry_write_string(RegistryRoot root, const std::string& key, const std::string& name,
                                    const std::string& value) {
  if (state_->hit(kRegistryWrite, "registry_write_string", key + "|" + name)) return injected_error();
  return inner_.registry_write_string(root, key, name, value);
}

Error FaultOs::registry_write_dword(RegistryRoot root, const std::string& key, const std::string& name,
                                   std::uint32_t value) {
  if (state_->hit(kRegistryWrite, "registry_write_dword", key + "|" + name)) return injected_error();
  return inner_.registry_write_dword(root, key, name, value);
}

Error FaultOs::registry_delete_key(RegistryRoot root, const std::string& parent, const std::string& subkey) {
  if (state_->hit(kRegistryWrite, "registry_delete_key", parent + "|" + subkey)) return injected_error();
  return inner_.registry_delete_key(root, parent, subkey);
}

Error FaultOs::create_shortcut(const Shortcut& shortcut) {
  if (state_->hit(kShortcut, "create_shortcut", shortcut.link_path)) return injected_error();
  return inner_.create_shortcut(shortcut);
}

void FaultOs::notify_folder_created(const std::string& path) { inner_.notify_folder_created(path); }

Error FaultOs::shell_open(const std::string& file) {
  if (state_->hit(kShell, "shell_open", file)) return injected_error();
  return inner_.shell_open(file);
}

Error FaultOs::start_program(const std::string& program, const std::string& arguments) {
  if (state_->hit(kShell, "start_program", program)) return injected_error();
  return inner_.start_program(program, arguments);
}

Error FaultOs::run_program(const std::string&, const std::string&, std::uint32_t*) { return Error::io; }

Error FaultOs::delete_file_later(const std::string& path) {
  if (state_->hit(kMoveFile, "delete_file_later", path)) return injected_error();
  return inner_.delete_file_later(path);
}

Error FaultOs::create_folder_secured(const std::string& path, FolderAccess access) {
  if (state_->hit(kCreateFolder, "create_folder_secured", path)) return injected_error();
  return inner_.create_folder_secured(path, access);
}

std::string FaultOs::unpredictable_name() { return inner_.unpredictable_name(); }

Error FaultOs::move_file(const std::string& from, const std::string& to) {
  if (state_->hit(kMoveFile, "move_file", to)) return injected_error();
  return inner_.move_file(from, to);
}

std::string FaultOs::long_path_name(const std::string& path) { return inner_.long_path_name(path); }

Error FaultOs::set_attributes(const std::string& path, std::uint32_t attributes) {
  if (state_->hit(kSetReadOnly, "set_attributes", path)) return injected_error();
  return inner_.set_attributes(path, attributes);
}

Error FaultOs::shell_open_default(const std::string& file) {
  if (state_->hit(kShell, "shell_open_default", file)) return injected_error();
  return inner_.shell_open_default(file);
}

Error FaultOs::open_as_desktop_user(const std::string& file) { return shell_open_default(file); }

Error FaultOs::replace_file_later(const std::string& from, const std::string& to) {
  if (state_->hit(kMoveFile, "replace_file_later", to)) return injected_error();
  return inner_.replace_file_later(from, to);
}

Error FaultOs::cancel_later(const std::string& from) { return inner_.cancel_later(from); }

bool FaultOs::file_in_use(const std::string& path) { return inner_.file_in_use(path); }

Error FaultOs::programs_using_file(const std::string& path, std::vector<std::string>* programs) {
  return inner_.programs_using_file(path, programs);
}

Error FaultOs::close_programs_using_file(const std::string& path) {
  return inner_.close_programs_using_file(path);
}

std::unique_ptr<SystemLock> FaultOs::take_lock(const std::string& name, Error* error) {
  return inner_.take_lock(name, error);
}

// ---- Declared values and notifications.

Error FaultOs::registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                                   RegistryValue* value) {
  if (state_->hit(kRegistryRead, "registry_read_value", key + "|" + name)) return injected_error();
  return inner_.registry_read_value(root, key, name, value);
}

Error FaultOs::registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                                    const RegistryValue& value) {
  if (state_->hit(kRegistryWrite, "registry_write_value", key + "|" + name)) return injected_error();
  return inner_.registry_write_value(root, key, name, value);
}

Error FaultOs::registry_delete_value(RegistryRoot root, const std::string& key, const std::string& name) {
  if (state_->hit(kRegistryWrite, "registry_delete_value", key + "|" + name)) return injected_error();
  return inner_.registry_delete_value(root, key, name);
}

bool FaultOs::registry_key_empty(RegistryRoot root, const std::string& key) {
  if (state_->hit(kRegistryRead, "registry_key_empty", key)) return false;
  return inner_.registry_key_empty(root, key);
}

void FaultOs::notify_associations_changed() { inner_.notify_associations_changed(); }

void FaultOs::broadcast_environment_changed() { inner_.broadcast_environment_changed(); }

}  // namespace quill::os
