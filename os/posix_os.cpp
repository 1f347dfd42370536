// The sandbox backend: a simulated Windows machine below a host folder.
#include "os/posix_os.h"

#include "os/simulated.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>

namespace quill::os {
namespace {

using simulated::equal_nocase;
using simulated::RegKey;
using simulated::RegValue;

bool is_separator(char c) { return c == '\\' || c == '/'; }

Error from_errno(int e) {
  switch (e) {
    case 0: return Error::none;
    case ENOENT:
    case ENOTDIR: return Error::not_found;
    case EEXIST: return Error::exists;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case EBUSY: return Error::access_denied;
    case ENOSPC:
    case EDQUOT: return Error::disk_full;
    case ENOTEMPTY: return Error::not_empty;
    default: return Error::io;
  }
}

// Splits the part of `path` from `start` into components, dropping empty
// and "." ones and letting ".." remove the previous one but never more.
std::vector<std::string> components(const std::string& path, std::size_t start) {
  std::vector<std::string> parts;
  std::size_t i = start;
  while (i < path.size()) {
    while (i < path.size() && is_separator(path[i])) ++i;
    std::size_t end = i;
    while (end < path.size() && !is_separator(path[end])) ++end;
    std::string part = path.substr(i, end - i);
    i = end;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  return parts;
}

// `folder` + "/" + `name`, where `name` is replaced by the existing entry
// that matches it case-insensitively when no entry has exactly that name.
std::string resolve_component(const std::string& folder, const std::string& name) {
  std::string exact = folder + "/" + name;
  struct stat st;
  if (::lstat(exact.c_str(), &st) == 0) return exact;
  DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
  if (dir == nullptr) return exact;
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    if (equal_nocase(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found.empty() ? exact : folder + "/" + found;
}

bool make_host_folders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      std::string part = path.substr(0, i);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

bool is_writable(const struct stat& st) { return (st.st_mode & S_IWUSR) != 0; }

// True when the host path itself is a symbolic link (the sandbox's links,
// which stand for Windows links and junctions).
bool is_host_link(const std::string& host) {
  struct stat st;
  return ::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// True when the host path leads to a folder, through links.
bool leads_to_folder(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }

  std::size_t read(void* buffer, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  bool write(const void* data, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::write(fd_, static_cast<const char*>(data) + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  bool seek(std::uint64_t offset) override {
    if (offset > static_cast<std::uint64_t>(LLONG_MAX)) return false;
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
  }

  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset > static_cast<std::uint64_t>(LLONG_MAX)) return 0;
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, size - done,
                          static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  std::uint64_t tell() override {
    off_t at = ::lseek(fd_, 0, SEEK_CUR);
    return at < 0 ? 0 : static_cast<std::uint64_t>(at);
  }

  std::uint64_t size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
  }

  // The caller sets the time and attributes by path after closing.
  Error finish(std::uint32_t, std::uint32_t) override { return Error::io; }

 private:
  int fd_;
};

// ---- The registry: a tree of keys kept in one text file of the sandbox.
//
// File format, one record per line:
//   key <root in hex>\<path>       starts a key (its full path, original case)
//   str <name>=<value>             a string value of the last key
//   dw <name>=<decimal>            a dword value of the last key
//   exp <name>=<value>             an expandable string value of the last key
// Names and values escape '%', '=', and control characters as %XX.

std::string escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c == '%' || c == '=' || c == 0x7f) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The registry tree, read from the file when made; save() writes it back.
class Registry {
 public:
  explicit Registry(std::string file) : file_(std::move(file)) { load(); }

  simulated::RegistryTree& tree() { return tree_; }

  Error save() {
    std::string temp = file_ + ".new";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return Error::io;
    for (const auto& [root, key] : tree_.roots()) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%08X", root);
      write_key(f, hex, key);
    }
    bool ok = std::fflush(f) == 0;
    ok = (std::fclose(f) == 0) && ok;
    return ok && std::rename(temp.c_str(), file_.c_str()) == 0 ? Error::none : Error::io;
  }

 private:
  static void write_key(FILE* f, const std::string& path, const RegKey& key) {
    std::fprintf(f, "key %s\n", escape(path).c_str());
    for (const RegValue& v : key.values) {
      if (v.is_dword) {
        std::fprintf(f, "dw %s=%u\n", escape(v.name).c_str(), static_cast<unsigned>(v.dword));
      } else {
        std::fprintf(f, v.expandable ? "exp %s=%s\n" : "str %s=%s\n", escape(v.name).c_str(),
                     escape(v.text).c_str());
      }
    }
    for (const RegKey& child : key.children) write_key(f, path + "\\" + child.name, child);
  }

  void load() {
    FILE* f = std::fopen(file_.c_str(), "rb");
    if (f == nullptr) return;
    std::string line;
    RegKey* current = nullptr;
    int c;
    for (;;) {
      c = std::fgetc(f);
      if (c != EOF && c != '\n') {
        line += static_cast<char>(c);
        continue;
      }
      if (line.compare(0, 4, "key ") == 0) {
        std::string path = unescape(line.substr(4));
        std::size_t slash = path.find('\\');
        std::uint32_t root = static_cast<std::uint32_t>(
            std::strtoul(path.substr(0, slash).c_str(), nullptr, 16));
        std::string rest = slash == std::string::npos ? "" : path.substr(slash + 1);
        current = tree_.find(static_cast<RegistryRoot>(root), rest, true);
      } else if (current != nullptr && (line.compare(0, 4, "str ") == 0 || line.compare(0, 3, "dw ") == 0 ||
                                        line.compare(0, 4, "exp ") == 0)) {
        bool dword = line[0] == 'd';
        std::string body = line.substr(dword ? 3 : 4);
        std::size_t eq = body.find('=');
        if (eq != std::string::npos) {
          RegValue v;
          v.name = unescape(body.substr(0, eq));
          v.is_dword = dword;
          v.expandable = line[0] == 'e';
          if (dword) {
            v.dword = static_cast<std::uint32_t>(std::strtoul(body.c_str() + eq + 1, nullptr, 10));
          } else {
            v.text = unescape(body.substr(eq + 1));
          }
          current->values.push_back(v);
        }
      }
      line.clear();
      if (c == EOF) break;
    }
    std::fclose(f);
  }

  std::string file_;
  simulated::RegistryTree tree_;
};

}  // namespace

PosixOs::PosixOs(std::string sandbox_root) : root_(std::move(sandbox_root)) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
  make_host_folders(root_);
  for (const std::string& folder : simulated::standard_folders()) make_host_folders(host_path(folder));
}

std::string PosixOs::host_path(const std::string& path) const {
  std::string base;
  std::size_t start = 0;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    base = root_ + "/" + simulated::upper(path.substr(0, 1));
    start = 2;
  } else if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
    base = root_ + "/UNC";  // a network path, "//server/share" as well
    start = 2;
  } else if (!path.empty() && path[0] == '/') {
    if (!host_paths_allowed_) return std::string();  // outside the machine
    start = 0;
  } else {
    base = root_ + "/C";
  }
  std::string result = base;
  for (const std::string& part : components(path, start)) result = resolve_component(result, part);
  return result.empty() ? "/" : result;
}

FileStatus PosixOs::file_status(const std::string& path) {
  FileStatus status;
  struct stat st;
  std::string host = host_path(path);
  if (host.empty() || ::lstat(host.c_str(), &st) != 0) return status;
  status.exists = true;
  if (S_ISLNK(st.st_mode)) {
    // The link's own status, as Windows reports it: its kind, no size.
    status.is_link = true;
    status.is_folder = leads_to_folder(host);
    struct stat target;
    status.is_device = ::stat(host.c_str(), &target) == 0 && !S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode);
    status.modified = static_cast<std::int64_t>(st.st_mtime);
    return status;
  }
  status.is_folder = S_ISDIR(st.st_mode);
  status.is_device = !S_ISREG(st.st_mode) && !status.is_folder;
  status.read_only = !is_writable(st);
  status.size = status.is_folder ? 0 : static_cast<std::uint64_t>(st.st_size);
  status.modified = static_cast<std::int64_t>(st.st_mtime);
  return status;
}

std::unique_ptr<File> PosixOs::open_file(const std::string& path, OpenMode mode, Error* error) {
  Error dummy;
  Error& result = error != nullptr ? *error : dummy;
  std::string host = host_path(path);
  if (host.empty()) {
    result = Error::access_denied;
    return nullptr;
  }
  struct stat st;
  bool exists = ::stat(host.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    result = Error::access_denied;
    return nullptr;
  }
  int flags = O_RDONLY;
  if (mode != OpenMode::read) {
    // Root may write anywhere; the read-only attribute must still hold.
    if (exists && !is_writable(st)) {
      result = Error::access_denied;
      return nullptr;
    }
    // A link in place of the file is refused, never written through.
    flags = mode == OpenMode::write ? (O_RDWR | O_CREAT | O_TRUNC) : (O_WRONLY | O_CREAT | O_APPEND);
    flags |= O_NOFOLLOW;
  }
  int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) {
    result = errno == ELOOP ? Error::access_denied : from_errno(errno);
    return nullptr;
  }
  result = Error::none;
  return std::make_unique<PosixFile>(fd);
}

Error PosixOs::create_folder(const std::string& path) {
  std::string host = host_path(path);
  if (host.empty()) return Error::access_denied;
  if (::mkdir(host.c_str(), 0755) != 0) return from_errno(errno);
  return Error::none;
}

Error PosixOs::create_folder_secured(const std::string& path, FolderAccess access) {
  std::string host = host_path(path);
  if (host.empty()) return Error::access_denied;
  // mkdir never adopts what is there, a link included.
  if (::mkdir(host.c_str(), access == FolderAccess::private_work ? 0700 : 0755) != 0) {
    return from_errno(errno);
  }
  return Error::none;
}

Error PosixOs::delete_file(const std::string& path) {
  std::string host = host_path(path);
  if (host.empty()) return Error::access_denied;
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0) return from_errno(errno);
  // A link of either kind is unlinked itself.
  if (!S_ISLNK(st.st_mode) && (S_ISDIR(st.st_mode) || !is_writable(st))) return Error::access_denied;
  if (::unlink(host.c_str()) != 0) return from_errno(errno);
  return Error::none;
}

Error PosixOs::remove_folder(const std::string& path) {
  std::string host = host_path(path);
  if (host.empty()) return Error::access_denied;
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0) return from_errno(errno);
  if (S_ISLNK(st.st_mode) && leads_to_folder(host)) {
    // A link to a folder goes itself; the folder stays as it is.
    return ::unlink(host.c_str()) == 0 ? Error::none : from_errno(errno);
  }
  if (!S_ISDIR(st.st_mode)) return Error::io;
  if (::rmdir(host.c_str()) != 0) return errno == EEXIST ? Error::not_empty : from_errno(errno);
  return Error::none;
}

Error PosixOs::list_folder(const std::string& path, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::string host = host_path(path);
  if (host.empty()) return Error::access_denied;
  DIR* dir = ::opendir(host.c_str());
  if (dir == nullptr) return from_errno(errno);
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    std::string entry_path = host + "/" + name;
    if (::lstat(entry_path.c_str(), &st) != 0) continue;
    FolderEntry entry;
    entry.name = name;
    if (S_ISLNK(st.st_mode)) {
      // The link's own entry, listed even when it leads nowhere.
      entry.is_link = true;
      entry.is_folder = leads_to_folder(entry_path);
      entries->push_back(entry);
      continue;
    }
    entry.is_folder = S_ISDIR(st.st_mode);
    entry.read_only = !is_writable(st);
    entry.size = entry.is_folder ? 0 : static_cast<std::uint64_t>(st.st_size);
    entries->push_back(entry);
  }
  ::closedir(dir);
  // A Windows file system lists in name order regardless of letter case;
  // keep that so that listing order never depends on the host.
  std::sort(entries->begin(), entries->end(), [](const FolderEntry& a, const FolderEntry& b) {
    return simulated::listing_before(a.name, b.name);
  });
  return Error::none;
}

Error PosixOs::replace_file(const std::string& from, const std::string& to) {
  std::string source = host_path(from);
  std::string target = host_path(to);
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || !is_writable(st))) {
    return Error::access_denied;
  }
  if (::rename(source.c_str(), target.c_str()) != 0) return from_errno(errno);
  return Error::none;
}

Error PosixOs::copy_file(const std::string& from, const std::string& to, bool fail_if_exists) {
  std::string source = host_path(from);
  std::string target = host_path(to);
  if (source.empty() || target.empty()) return Error::access_denied;
  struct stat from_st;
  if (::stat(source.c_str(), &from_st) != 0) return from_errno(errno);
  if (S_ISDIR(from_st.st_mode)) return Error::access_denied;
  struct stat to_st;
  if (::lstat(target.c_str(), &to_st) == 0 && S_ISLNK(to_st.st_mode)) {
    return fail_if_exists ? Error::exists : Error::access_denied;
  }
  if (::stat(target.c_str(), &to_st) == 0) {
    if (fail_if_exists) return Error::exists;
    if (S_ISDIR(to_st.st_mode) || !is_writable(to_st)) return Error::access_denied;
    // Copying a file onto itself would truncate it before it is read.
    if (to_st.st_dev == from_st.st_dev && to_st.st_ino == from_st.st_ino) return Error::access_denied;
  }
  int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return from_errno(errno);
  int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    Error e = from_errno(errno);
    ::close(in);
    return e;
  }
  PosixFile reader(in), writer(out);
  std::vector<char> buffer(1 << 16);
  Error result = Error::none;
  for (;;) {
    std::size_t n = reader.read(buffer.data(), buffer.size());
    if (n == 0) break;
    if (!writer.write(buffer.data(), n)) {
      result = from_errno(errno);
      if (result == Error::none) result = Error::io;
      break;
    }
  }
  if (result != Error::none) {
    ::unlink(target.c_str());  // leave no partial copy behind
    return result;
  }
  // The copy keeps the source's modification time and read-only attribute.
  struct timespec times[2] = {from_st.st_atim, from_st.st_mtim};
  ::futimens(out, times);
  if (!is_writable(from_st)) ::fchmod(out, 0444);
  return Error::none;
}

Error PosixOs::set_read_only(const std::string& path, bool read_only) {
  std::string host = host_path(path);
  if (host.empty()) return Error::access_denied;
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) return from_errno(errno);
  // Folders keep their permissions; a link's attribute is its own, and what
  // it leads to keeps its mode.
  if (S_ISDIR(st.st_mode) || is_host_link(host)) return Error::none;
  mode_t mode = st.st_mode & 07777;
  mode = read_only ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
  if (::chmod(host.c_str(), mode) != 0) return from_errno(errno);
  return Error::none;
}

Error PosixOs::set_attributes(const std::string& path, std::uint32_t attributes) {
  return set_read_only(path, (attributes & kAttributeReadOnly) != 0);
}

Error PosixOs::set_file_time(const std::string& path, std::uint32_t dos_date_time) {
  std::string host = host_path(path);
  if (host.empty()) return Error::access_denied;
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) return from_errno(errno);
  struct tm t;
  if (!simulated::dos_time(dos_date_time, &t)) return Error::io;
  time_t when = std::mktime(&t);
  if (when == static_cast<time_t>(-1)) return Error::io;
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = when;
  times[0].tv_nsec = times[1].tv_nsec = 0;
  if (::utimensat(AT_FDCWD, host.c_str(), times, 0) != 0) return from_errno(errno);
  return Error::none;
}

std::string PosixOs::long_path_name(const std::string& path) { return path; }

std::string PosixOs::temp_folder() { return simulated::temp_folder(); }

std::string PosixOs::module_path() {
  if (!module_path_.empty()) return module_path_;
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(n));
}

bool PosixOs::free_megabytes(const std::string& path, std::uint64_t* megabytes) {
  if (has_free_override_) {
    *megabytes = free_override_;
    return true;
  }
  std::string host;
  if (path.size() >= 2 && path[1] == ':') {
    host = host_path(path.substr(0, 2) + "\\");  // the drive, as Windows asks for it
  } else {
    host = host_path(path);
    // A host path need not exist yet: ask for its nearest existing folder.
    struct stat st;
    while (host.size() > 1 && ::stat(host.c_str(), &st) != 0) {
      std::size_t slash = host.rfind('/');
      host = slash == 0 ? "/" : host.substr(0, slash);
    }
  }
  struct statvfs vfs;
  if (host.empty()) return false;
  if (::statvfs(host.c_str(), &vfs) != 0) return false;
  std::uint64_t bytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  *megabytes = bytes / 1024 / 1024;
  return true;
}

std::string PosixOs::special_folder(SpecialFolder which) { return simulated::special_folder(which); }

bool PosixOs::registry_key_exists(RegistryRoot root, const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  return registry.tree().find(root, key, false) != nullptr;
}

Error PosixOs::registry_create_key(RegistryRoot root, const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  registry.tree().find(root, key, true);
  return registry.save();
}

Error PosixOs::registry_read_string(RegistryRoot root, const std::string& key, const std::string& name,
                                    std::string* value, std::size_t max_length) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  return registry.tree().read_string(root, key, name, value, max_length);
}

Error PosixOs::registry_read_dword(RegistryRoot root, const std::string& key, const std::string& name,
                                   std::uint32_t* value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  return registry.tree().read_dword(root, key, name, value);
}

Error PosixOs::registry_write_string(RegistryRoot root, const std::string& key, const std::string& name,
                                     const std::string& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  registry.tree().write_string(root, key, name, value);
  return registry.save();
}

Error PosixOs::registry_write_dword(RegistryRoot root, const std::string& key, const std::string& name,
                                    std::uint32_t value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  registry.tree().write_dword(root, key, name, value);
  return registry.save();
}

Error PosixOs::registry_delete_key(RegistryRoot root, const std::string& parent, const std::string& subkey) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  Error e = registry.tree().delete_key(root, parent, subkey);
  return e == Error::none ? registry.save() : e;
}

Error PosixOs::create_shortcut(const Shortcut& shortcut) { return simulated::write_shortcut(*this, shortcut); }

bool PosixOs::read_shortcut(const std::string& link_path, Shortcut* shortcut) {
  return simulated::read_shortcut(*this, link_path, shortcut);
}

std::vector<std::string> PosixOs::shell_log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shell_log_;
}

std::vector<std::string> PosixOs::notified_folders() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return notified_;
}

void PosixOs::notify_folder_created(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  notified_.push_back(path);
}

Error PosixOs::shell_open(const std::string& file) {
  std::lock_guard<std::mutex> lock(mutex_);
  shell_log_.push_back("open|" + file);
  return Error::none;
}

Error PosixOs::start_program(const std::string& program, const std::string& arguments) {
  std::lock_guard<std::mutex> lock(mutex_);
  shell_log_.push_back("start|" + program + "|" + arguments);
  return Error::none;
}

Error PosixOs::run_program(const std::string&, const std::string&, std::uint32_t*) { return Error::io; }

Error PosixOs::move_file(const std::string& from, const std::string& to) {
  const std::string source = host_path(from);
  const std::string target = host_path(to);
  struct stat st;
  if (::lstat(source.c_str(), &st) != 0) return from_errno(errno);
  if (S_ISDIR(st.st_mode)) return Error::access_denied;
  if (::lstat(target.c_str(), &st) == 0) return Error::exists;
  if (::rename(source.c_str(), target.c_str()) != 0) return from_errno(errno);
  return Error::none;
}

Error PosixOs::shell_open_default(const std::string& file) {
  std::lock_guard<std::mutex> lock(mutex_);
  shell_log_.push_back("default|" + file);
  return Error::none;
}

Error PosixOs::open_as_desktop_user(const std::string& file) { return shell_open_default(file); }

Error PosixOs::delete_file_later(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  shell_log_.push_back("later|" + path);
  return Error::none;
}

std::string PosixOs::unpredictable_name() {
  unsigned char bytes[8];
  const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::string();
  PosixFile source(fd);
  if (source.read(bytes, sizeof bytes) != sizeof bytes) return std::string();
  return hex_name(bytes, sizeof bytes);
}

Error PosixOs::create_link(const std::string& path, const std::string& target) {
  const std::string host = host_path(path);
  const std::string to = host_path(target);
  if (host.empty() || to.empty()) return Error::access_denied;
  return ::symlink(to.c_str(), host.c_str()) == 0 ? Error::none : from_errno(errno);
}

std::string PosixOs::local_date() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d", &parts);
  return text;
}

Error PosixOs::replace_file_later(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> lock(mutex_);
  shell_log_.push_back("rename-later|" + from + "|" + to);
  return Error::none;
}

Error PosixOs::cancel_later(const std::string& from) {
  std::lock_guard<std::mutex> lock(mutex_);
  return simulated::cancel_later_lines(&shell_log_, from);
}

bool PosixOs::file_in_use(const std::string& path) {
  const std::string host = host_path(path);
  if (host.empty()) return false;
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);  // also drops the lock taken to look
  return held;
}

Error PosixOs::programs_using_file(const std::string&, std::vector<std::string>*) {
  return Error::io;
}

Error PosixOs::close_programs_using_file(const std::string&) { return Error::io; }

int PosixOs::hold_file(const std::string& path) {
  const std::string host = host_path(path);
  const int fd = host.empty() ? -1 : ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

namespace {

class FlockLock : public SystemLock {
 public:
  explicit FlockLock(int fd) : fd_(fd) {}
  ~FlockLock() override { ::close(fd_); }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<SystemLock> PosixOs::take_lock(const std::string& name, Error* error) {
  const std::string folder = root_ + "/locks";
  ::mkdir(folder.c_str(), 0700);
  const std::string file = folder + "/" + name;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    *error = from_errno(errno);
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    *error = errno == EWOULDBLOCK ? Error::exists : from_errno(errno);
    ::close(fd);
    return nullptr;
  }
  *error = Error::none;
  return std::make_unique<FlockLock>(fd);
}

// ---- Declared registry values and the environment.

Error PosixOs::registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                                   RegistryValue* value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  registry.tree().read_value(root, key, name, value);
  return Error::none;
}

Error PosixOs::registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                                    const RegistryValue& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  registry.tree().write_value(root, key, name, value);
  return registry.save();
}

Error PosixOs::registry_delete_value(RegistryRoot root, const std::string& key, const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  const Error error = registry.tree().delete_value(root, key, name);
  return error == Error::none ? registry.save() : error;
}

bool PosixOs::registry_key_empty(RegistryRoot root, const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registry registry(root_ + "/registry.txt");
  return registry.tree().key_empty(root, key);
}

void PosixOs::notify_associations_changed() {
  std::lock_guard<std::mutex> lock(mutex_);
  shell_log_.push_back("associations-changed");
}

void PosixOs::broadcast_environment_changed() {
  std::lock_guard<std::mutex> lock(mutex_);
  shell_log_.push_back("environment-changed");
}

}  // namespace quill::os
