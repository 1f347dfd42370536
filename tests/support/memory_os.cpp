// The in-memory machine: a tree of folders and files with shared contents.
#include "tests/support/memory_os.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

#include "text/unicode.h"
#include "os/simulated.h"

namespace quill::os {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

struct Data {
  std::string bytes;
  bool counted = true;  // false once deleted: its bytes no longer take space
};

// Orders names ignoring letter case, as Windows compares and lists them;
// looks names up without copying them. ASCII is compared here byte by byte;
// from the first other byte on, by the letter-case rule of text/unicode.h.
struct NameLess {
  using is_transparent = void;
  static unsigned char fold(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
  }
  bool operator()(std::string_view a, std::string_view b) const {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      if ((static_cast<unsigned char>(a[i]) | static_cast<unsigned char>(b[i])) >= 0x80) {
        return text::compare_ignoring_case(a.substr(i), b.substr(i)) < 0;
      }
      if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]);
    }
    return a.size() < b.size();
  }
};

struct Node {
  bool folder = false;  // for a link: whether it leads to a folder
  bool read_only = false;
  std::uint32_t dos_time = 0;
  std::string link;     // a link: the path it leads to; empty for a file or folder
  int access = -1;      // a secured folder's FolderAccess; -1: inherited
  std::shared_ptr<Data> data;                                    // files only
  std::map<std::string, std::unique_ptr<Node>, NameLess> children;  // by name, in listing order

  bool is_link() const { return !link.empty(); }
  bool is_folder() const { return folder && link.empty(); }
};

// Links followed in a row before a path counts as leading nowhere (a loop).
constexpr int kMaxLinkHops = 8;

// A copy of `from` and everything below it.
std::unique_ptr<Node> copy_node(const Node& from) {
  auto node = std::make_unique<Node>();
  node->folder = from.folder;
  node->read_only = from.read_only;
  node->dos_time = from.dos_time;
  node->link = from.link;
  node->access = from.access;
  if (from.data) node->data = std::make_shared<Data>(*from.data);
  for (const auto& [name, child] : from.children) {
    node->children.emplace_hint(node->children.end(), name, copy_node(*child));
  }
  return node;
}

// The names of a path, held inline up to the usual depth so that looking a
// path up allocates nothing; deeper paths go on in `more_`.
class Names {
 public:
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::string_view operator[](std::size_t i) const { return i < kInline ? inline_[i] : more_[i - kInline]; }
  std::string_view back() const { return (*this)[size_ - 1]; }
  void push_back(std::string_view name) {
    if (size_ < kInline) {
      inline_[size_] = name;
    } else {
      more_.push_back(name);
    }
    ++size_;
  }
  void pop_back() {
    --size_;
    if (size_ >= kInline) more_.pop_back();
  }

 private:
  static constexpr std::size_t kInline = 16;
  std::string_view inline_[kInline];
  std::vector<std::string_view> more_;
  std::size_t size_ = 0;
};

// A path split into its drive ("C", "UNC") and components, "." and ".."
// applied as the sandbox backend applies them.
struct Parts {
  std::string drive;
  Names names;  // into the path given to split()
};

bool split(const std::string& path, Parts* parts) {
  std::size_t start = 0;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    parts->drive = simulated::upper(path.substr(0, 1));
    start = 2;
  } else if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
    parts->drive = "UNC";
    start = 2;
  } else if (!path.empty() && path[0] == '/') {
    return false;  // a host path: outside the machine
  } else {
    parts->drive = "C";
  }
  std::size_t i = start;
  while (i < path.size()) {
    while (i < path.size() && is_separator(path[i])) ++i;
    std::size_t end = i;
    while (end < path.size() && !is_separator(path[end])) ++end;
    std::string_view part(path.data() + i, end - i);
    i = end;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts->names.empty()) parts->names.pop_back();
      continue;
    }
    parts->names.push_back(part);
  }
  return true;
}

}  // namespace

struct MemoryOs::Machine {
  explicit Machine(std::uint64_t bytes) : capacity(bytes) { top.folder = true; }

  // The node of `parts` without its last `skip` names; null when missing.
  // A link in the middle of the path is followed, as the system follows
  // one; the path's own last node only with `follow_last`.
  Node* find(const Parts& parts, std::size_t skip = 0, bool follow_last = false, int hops = 0) {
    auto drive = top.children.find(parts.drive);
    if (drive == top.children.end()) return nullptr;
    Node* node = drive->second.get();
    for (std::size_t i = 0; i + skip < parts.names.size(); ++i) {
      if (!node->is_folder()) return nullptr;
      auto it = node->children.find(parts.names[i]);
      if (it == node->children.end()) return nullptr;
      node = it->second.get();
      if (node->is_link() && (i + 1 < parts.names.size() || follow_last)) {
        node = follow(*node, hops);
        if (node == nullptr) return nullptr;
      }
    }
    return node;
  }
  Node* find(const std::string& path, bool follow_last = false) {
    Parts parts;
    return split(path, &parts) ? find(parts, 0, follow_last) : nullptr;
  }
  // Where a link leads; null when nowhere.
  Node* follow(const Node& link, int hops) {
    Parts target;
    if (hops >= kMaxLinkHops || !split(link.link, &target)) return nullptr;
    return find(target, 0, true, hops + 1);
  }
  // Adds `name` below `parent`, which must be a folder without it.
  Node* add(Node* parent, std::string_view name, bool folder) {
    auto node = std::make_unique<Node>();
    node->folder = folder;
    if (!folder) node->data = std::make_shared<Data>();
    Node* made = node.get();
    parent->children.emplace(std::string(name), std::move(node));
    return made;
  }
  // Drops the existing node of `parts` from its folder.
  void remove(const Parts& parts) {
    auto& siblings = find(parts, 1)->children;
    siblings.erase(siblings.find(parts.names.back()));
  }
  // Resizes a file's contents within the capacity; false when full.
  bool resize(Data& data, std::uint64_t size) {
    if (!data.counted) {
      data.bytes.resize(static_cast<std::size_t>(size));
      return true;
    }
    if (size > data.bytes.size()) {
      std::uint64_t growth = size - data.bytes.size();
      if (growth > capacity - std::min(capacity, used)) return false;
      used += growth;
    } else {
      used -= std::min<std::uint64_t>(used, data.bytes.size() - size);
    }
    data.bytes.resize(static_cast<std::size_t>(size));
    return true;
  }

  std::recursive_mutex mutex;
  Node top;  // its children are the drives
  std::uint64_t capacity;
  std::uint64_t used = 0;
  simulated::RegistryTree registry;
  std::string module_path = "C:\\setup.exe";
  bool has_free_override = false;
  std::uint64_t free_override = 0;
  std::vector<std::string> shell_log;
  std::vector<std::string> notified;
  std::uint64_t names_made = 0;  // unpredictable_name's state
  struct Holder {
    std::vector<std::string> programs;
    bool stubborn = false;
  };
  std::map<std::string, Holder> held;  // by upper-case path
  std::set<std::string> locks;
};

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

class MemoryFile : public File {
 public:
  MemoryFile(std::shared_ptr<MemoryOs::Machine> machine, std::shared_ptr<Data> data, OpenMode mode)
      : machine_(std::move(machine)), data_(std::move(data)), mode_(mode) {}

  std::size_t read(void* buffer, std::size_t size) override {
    Lock lock(machine_->mutex);
    if (mode_ != OpenMode::read || position_ >= data_->bytes.size()) return 0;
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, data_->bytes.size() - position_));
    std::memcpy(buffer, data_->bytes.data() + position_, n);
    position_ += n;
    return n;
  }

  bool write(const void* data, std::size_t size) override {
    Lock lock(machine_->mutex);
    if (mode_ == OpenMode::read) return false;
    if (mode_ == OpenMode::append) position_ = data_->bytes.size();
    std::uint64_t end = position_ + size;
    if (end > data_->bytes.size() && !machine_->resize(*data_, end)) return false;
    if (size > 0) std::memcpy(&data_->bytes[static_cast<std::size_t>(position_)], data, size);
    position_ = end;
    return true;
  }

  bool seek(std::uint64_t offset) override {
    position_ = offset;
    return true;
  }
  std::uint64_t tell() override { return position_; }
  std::uint64_t size() override {
    Lock lock(machine_->mutex);
    return data_->bytes.size();
  }
  // Time and attributes are set by path once the file is closed.
  Error finish(std::uint32_t, std::uint32_t) override { return Error::io; }

 private:
  std::shared_ptr<MemoryOs::Machine> machine_;
  std::shared_ptr<Data> data_;
  OpenMode mode_;
  std::uint64_t position_ = 0;
};

}  // namespace

namespace {

// Adds '\' and `name` upper-case to `path`: how drive_contents() names an
// entry.
void append_name(std::string& path, const std::string& name) {
  path += '\\';
  path += simulated::upper(name);
}

void add_contents(const Node& folder, const std::string& path, std::map<std::string, std::string>* all) {
  all->emplace(path, "<folder>");
  for (const auto& [name, node] : folder.children) {
    std::string child = path;
    append_name(child, name);
    if (node->is_link()) {
      all->emplace(std::move(child), "l:" + node->link);
    } else if (node->folder) {
      add_contents(*node, child, all);
    } else {
      all->emplace(std::move(child), (node->read_only ? "r:" : "w:") + node->data->bytes);
    }
  }
}

}  // namespace

std::map<std::string, std::string> MemoryOs::drive_contents() const {
  Lock lock(machine_->mutex);
  std::map<std::string, std::string> all;
  add_contents(*machine_->top.children.at("C"), "C:", &all);
  return all;
}

namespace {

// Drive C: of a fresh machine, made once and copied into each new machine.
const Node& standard_drive() {
  static const std::unique_ptr<Node> drive = [] {
    MemoryOs::Machine machine(0);
    Node* c = machine.add(&machine.top, "C", true);
    for (const std::string& folder : simulated::standard_folders()) {
      Parts parts;
      split(folder, &parts);
      machine.add(machine.find(parts, 1), parts.names.back(), true);
    }
    return copy_node(*c);
  }();
  return *drive;
}

// Adds to `changed` the path of `node` and of everything below it; `path`
// is the node's own, and is the same again on return.
void add_all(const Node& node, std::string& path, std::vector<std::string>* changed) {
  changed->push_back(path);
  for (const auto& [name, child] : node.children) {
    const std::size_t length = path.size();
    append_name(path, name);
    add_all(*child, path, changed);
    path.resize(length);
  }
}

// Adds to `changed` the paths below folder `path` that differ between the
// folders `before` and `after`. Both list their children in the same
// order, so one pass through the two lists pairs them up.
void add_changes(const Node& before, const Node& after, std::string& path, std::vector<std::string>* changed) {
  const NameLess less;
  auto old_it = before.children.begin();
  auto new_it = after.children.begin();
  while (old_it != before.children.end() || new_it != after.children.end()) {
    const bool only_old = new_it == after.children.end() ||
                          (old_it != before.children.end() && less(old_it->first, new_it->first));
    const bool only_new = !only_old && (old_it == before.children.end() || less(new_it->first, old_it->first));
    const std::string& name = only_new ? new_it->first : old_it->first;
    const std::size_t length = path.size();
    append_name(path, name);
    if (only_old) {
      add_all(*(old_it++)->second, path, changed);
    } else if (only_new) {
      add_all(*(new_it++)->second, path, changed);
    } else {
      const Node& was = *(old_it++)->second;
      const Node& is = *(new_it++)->second;
      if (was.is_folder() && is.is_folder()) {
        add_changes(was, is, path, changed);
      } else if (was.is_folder() || is.is_folder()) {
        // A file or link turned folder or back: the path, and all the
        // folder held.
        add_all(was.is_folder() ? was : is, path, changed);
      } else if (was.link != is.link ||
                 (!was.is_link() && (was.read_only != is.read_only || was.data->bytes != is.data->bytes))) {
        changed->push_back(path);
      }
    }
    path.resize(length);
  }
}

}  // namespace

std::vector<std::string> MemoryOs::changed_paths_since(const MemoryOs& before) const {
  std::scoped_lock lock(before.machine_->mutex, machine_->mutex);
  std::vector<std::string> changed;
  std::string path = "C:";
  add_changes(*before.machine_->top.children.at("C"), *machine_->top.children.at("C"), path, &changed);
  return changed;
}

MemoryOs::MemoryOs(std::uint64_t capacity) : machine_(std::make_shared<Machine>(capacity)) {
  machine_->top.children.emplace("C", copy_node(standard_drive()));
}

MemoryOs::MemoryOs(std::shared_ptr<Machine> machine) : machine_(std::move(machine)) {}

MemoryOs MemoryOs::clone() const {
  Lock lock(machine_->mutex);
  const Machine& from = *machine_;
  auto copy = std::make_shared<Machine>(from.capacity);
  for (const auto& [drive, node] : from.top.children) copy->top.children.emplace(drive, copy_node(*node));
  copy->used = from.used;
  copy->registry = from.registry;
  copy->module_path = from.module_path;
  copy->has_free_override = from.has_free_override;
  copy->free_override = from.free_override;
  copy->shell_log = from.shell_log;
  copy->notified = from.notified;
  copy->names_made = from.names_made;
  return MemoryOs(std::move(copy));
}

MemoryOs::~MemoryOs() = default;

void MemoryOs::set_module_path(const std::string& path) {
  Lock lock(machine_->mutex);
  machine_->module_path = path;
}

void MemoryOs::set_free_megabytes(std::uint64_t megabytes) {
  Lock lock(machine_->mutex);
  machine_->free_override = megabytes;
  machine_->has_free_override = true;
}

std::vector<std::string> MemoryOs::shell_log() const {
  Lock lock(machine_->mutex);
  return machine_->shell_log;
}

std::vector<std::string> MemoryOs::notified_folders() const {
  Lock lock(machine_->mutex);
  return machine_->notified;
}

bool MemoryOs::read_shortcut(const std::string& link_path, Shortcut* shortcut) {
  return simulated::read_shortcut(*this, link_path, shortcut);
}

FileStatus MemoryOs::file_status(const std::string& path) {
  Lock lock(machine_->mutex);
  FileStatus status;
  const Node* node = machine_->find(path);
  if (node == nullptr) return status;
  status.exists = true;
  status.is_folder = node->folder;
  status.is_link = node->is_link();
  if (node->is_link()) return status;  // the link's own status: its kind, no size
  status.read_only = node->read_only;
  status.size = node->folder ? 0 : node->data->bytes.size();
  return status;
}

std::unique_ptr<File> MemoryOs::open_file(const std::string& path, OpenMode mode, Error* error) {
  Error dummy;
  Error& result = error != nullptr ? *error : dummy;
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts)) {
    result = Error::access_denied;
    return nullptr;
  }
  Node* node = machine_->find(parts);
  if (node != nullptr && node->is_link()) {
    // Read through, as the system reads; never written through.
    node = mode == OpenMode::read ? machine_->follow(*node, 0) : nullptr;
    if (node == nullptr) {
      result = mode == OpenMode::read ? Error::not_found : Error::access_denied;
      return nullptr;
    }
  }
  if (node != nullptr && node->folder) {
    result = Error::access_denied;
    return nullptr;
  }
  if (node == nullptr) {
    Node* parent = parts.names.empty() ? nullptr : machine_->find(parts, 1);
    if (mode == OpenMode::read || parent == nullptr || !parent->is_folder()) {
      result = Error::not_found;
      return nullptr;
    }
    node = machine_->add(parent, parts.names.back(), false);
  } else if (mode != OpenMode::read) {
    if (node->read_only) {
      result = Error::access_denied;
      return nullptr;
    }
    if (mode == OpenMode::write) machine_->resize(*node->data, 0);
  }
  result = Error::none;
  return std::make_unique<MemoryFile>(machine_, node->data, mode);
}

Error MemoryOs::create_folder(const std::string& path) {
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts)) return Error::access_denied;
  if (machine_->find(parts) != nullptr) return Error::exists;
  Node* parent = parts.names.empty() ? nullptr : machine_->find(parts, 1);
  if (parent == nullptr || !parent->is_folder()) return Error::not_found;
  machine_->add(parent, parts.names.back(), true);
  return Error::none;
}

Error MemoryOs::create_folder_secured(const std::string& path, FolderAccess access) {
  Lock lock(machine_->mutex);
  const Error made = create_folder(path);
  if (made == Error::none) machine_->find(path)->access = static_cast<int>(access);
  return made;
}

bool MemoryOs::folder_access(const std::string& path, FolderAccess* access) const {
  Lock lock(machine_->mutex);
  const Node* node = machine_->find(path);
  if (node == nullptr || !node->is_folder() || node->access < 0) return false;
  *access = static_cast<FolderAccess>(node->access);
  return true;
}

Error MemoryOs::create_link(const std::string& path, const std::string& target) {
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts) || parts.names.empty()) return Error::access_denied;
  if (machine_->find(parts) != nullptr) return Error::exists;
  Node* parent = machine_->find(parts, 1);
  if (parent == nullptr || !parent->is_folder()) return Error::not_found;
  const Node* leads_to = machine_->find(target, true);
  Node* link = machine_->add(parent, parts.names.back(), leads_to != nullptr && leads_to->folder);
  link->data.reset();
  link->link = target;
  return Error::none;
}

Error MemoryOs::delete_file(const std::string& path) {
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts)) return Error::access_denied;
  Node* node = machine_->find(parts);
  if (node == nullptr) return Error::not_found;
  if (node->is_link()) {
    machine_->remove(parts);  // the link itself, of either kind
    return Error::none;
  }
  if (node->folder || node->read_only) return Error::access_denied;
  // A file still open keeps its bytes, as on the host.
  machine_->used -= std::min<std::uint64_t>(machine_->used, node->data->bytes.size());
  node->data->counted = false;
  machine_->remove(parts);
  return Error::none;
}

Error MemoryOs::remove_folder(const std::string& path) {
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts)) return Error::access_denied;
  Node* node = machine_->find(parts);
  if (node == nullptr) return Error::not_found;
  if (!node->folder) return Error::io;
  if (parts.names.empty()) return Error::access_denied;  // a drive stays
  if (node->is_link()) {
    machine_->remove(parts);  // the link itself; where it leads stays
    return Error::none;
  }
  if (!node->children.empty()) return Error::not_empty;
  machine_->remove(parts);
  return Error::none;
}

Error MemoryOs::list_folder(const std::string& path, std::vector<FolderEntry>* entries) {
  entries->clear();
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts)) return Error::access_denied;
  const Node* node = machine_->find(parts, 0, true);
  if (node == nullptr || !node->folder) return Error::not_found;
  for (const auto& [name, child] : node->children) {
    FolderEntry entry;
    entry.name = name;
    entry.is_folder = child->folder;
    entry.is_link = child->is_link();
    entry.read_only = child->read_only;
    entry.size = child->folder || child->is_link() ? 0 : child->data->bytes.size();
    entries->push_back(entry);
  }
  return Error::none;
}

Error MemoryOs::copy_file(const std::string& from, const std::string& to, bool fail_if_exists) {
  Lock lock(machine_->mutex);
  Parts source_parts, target_parts;
  if (!split(from, &source_parts) || !split(to, &target_parts)) return Error::access_denied;
  const Node* source = machine_->find(source_parts, 0, true);
  if (source == nullptr) return Error::not_found;
  if (source->folder) return Error::access_denied;
  Node* target = machine_->find(target_parts);
  if (target != nullptr) {
    if (fail_if_exists) return Error::exists;
    if (target->is_link()) return Error::access_denied;  // never written through
    // Copying a file onto itself would truncate it before it is read.
    if (target->folder || target->read_only || target == source) return Error::access_denied;
  } else {
    Node* parent = target_parts.names.empty() ? nullptr : machine_->find(target_parts, 1);
    if (parent == nullptr || !parent->is_folder()) return Error::not_found;
    target = machine_->add(parent, target_parts.names.back(), false);
  }
  machine_->resize(*target->data, 0);
  if (!machine_->resize(*target->data, source->data->bytes.size())) {
    // Leave no partial copy behind.
    machine_->remove(target_parts);
    return Error::disk_full;
  }
  target->data->bytes = source->data->bytes;  // not the same file: checked above
  // The copy keeps the source's modification time and read-only attribute.
  target->dos_time = source->dos_time;
  target->read_only = source->read_only;
  return Error::none;
}

Error MemoryOs::replace_file(const std::string& from, const std::string& to) {
  Error e = copy_file(from, to, false);
  if (e != Error::none) return e;
  return delete_file(from);
}

Error MemoryOs::set_read_only(const std::string& path, bool read_only) {
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts)) return Error::access_denied;
  Node* node = machine_->find(parts);
  if (node == nullptr) return Error::not_found;
  // Folders keep their attributes; a link's is its own and changes nothing.
  if (!node->folder && !node->is_link()) node->read_only = read_only;
  return Error::none;
}

Error MemoryOs::set_attributes(const std::string& path, std::uint32_t attributes) {
  return set_read_only(path, (attributes & kAttributeReadOnly) != 0);
}

Error MemoryOs::set_file_time(const std::string& path, std::uint32_t dos_date_time) {
  Lock lock(machine_->mutex);
  Parts parts;
  if (!split(path, &parts)) return Error::access_denied;
  Node* node = machine_->find(parts, 0, true);
  if (node == nullptr) return Error::not_found;
  struct tm t;
  if (!simulated::dos_time(dos_date_time, &t)) return Error::io;
  node->dos_time = dos_date_time;
  return Error::none;
}

std::string MemoryOs::temp_folder() { return simulated::temp_folder(); }

std::string MemoryOs::module_path() {
  Lock lock(machine_->mutex);
  return machine_->module_path;
}

bool MemoryOs::free_megabytes(const std::string& path, std::uint64_t* megabytes) {
  Lock lock(machine_->mutex);
  if (machine_->has_free_override) {
    *megabytes = machine_->free_override;
    return true;
  }
  Parts parts;
  if (!split(path, &parts) || machine_->top.children.count(parts.drive) == 0) return false;
  *megabytes = (machine_->capacity - std::min(machine_->capacity, machine_->used)) / 1024 / 1024;
  return true;
}

std::string MemoryOs::special_folder(SpecialFolder which) { return simulated::special_folder(which); }

std::string MemoryOs::local_date() { return std::string(); }

bool MemoryOs::registry_key_exists(RegistryRoot root, const std::string& key) {
  Lock lock(machine_->mutex);
  return machine_->registry.find(root, key, false) != nullptr;
}

Error MemoryOs::registry_create_key(RegistryRoot root, const std::string& key) {
  Lock lock(machine_->mutex);
  machine_->registry.find(root, key, true);
  return Error::none;
}

Error MemoryOs::registry_read_string(RegistryRoot root, const std::string& key, const std::string& name,
                                     std::string* value, std::size_t max_length) {
  Lock lock(machine_->mutex);
  return machine_->registry.read_string(root, key, name, value, max_length);
}

Error MemoryOs::registry_read_dword(RegistryRoot root, const std::string& key, const std::string& name,
                                    std::uint32_t* value) {
  Lock lock(machine_->mutex);
  return machine_->registry.read_dword(root, key, name, value);
}

Error MemoryOs::registry_write_string(RegistryRoot root, const std::string& key, const std::string& name,
                                      const std::string& value) {
  Lock lock(machine_->mutex);
  machine_->registry.write_string(root, key, name, value);
  return Error::none;
}

Error MemoryOs::registry_write_dword(RegistryRoot root, const std::string& key, const std::string& name,
                                     std::uint32_t value) {
  Lock lock(machine_->mutex);
  machine_->registry.write_dword(root, key, name, value);
  return Error::none;
}

Error MemoryOs::registry_delete_key(RegistryRoot root, const std::string& parent, const std::string& subkey) {
  Lock lock(machine_->mutex);
  return machine_->registry.delete_key(root, parent, subkey);
}

Error MemoryOs::create_shortcut(const Shortcut& shortcut) { return simulated::write_shortcut(*this, shortcut); }

void MemoryOs::notify_folder_created(const std::string& path) {
  Lock lock(machine_->mutex);
  machine_->notified.push_back(path);
}

Error MemoryOs::shell_open(const std::string& file) {
  Lock lock(machine_->mutex);
  machine_->shell_log.push_back("open|" + file);
  return Error::none;
}

Error MemoryOs::start_program(const std::string& program, const std::string& arguments) {
  Lock lock(machine_->mutex);
  machine_->shell_log.push_back("start|" + program + "|" + arguments);
  return Error::none;
}

Error MemoryOs::run_program(const std::string&, const std::string&, std::uint32_t*) { return Error::io; }

Error MemoryOs::move_file(const std::string& from, const std::string& to) {
  Lock lock(machine_->mutex);
  Parts source_parts, target_parts;
  if (!split(from, &source_parts) || !split(to, &target_parts)) return Error::access_denied;
  if (source_parts.names.empty() || target_parts.names.empty()) return Error::access_denied;
  Node* source = machine_->find(source_parts);
  if (source == nullptr) return Error::not_found;
  if (source->is_folder()) return Error::access_denied;
  if (machine_->find(target_parts) != nullptr) return Error::exists;
  Node* target_parent = machine_->find(target_parts, 1);
  if (target_parent == nullptr || !target_parent->is_folder()) return Error::not_found;
  auto& siblings = machine_->find(source_parts, 1)->children;
  auto it = siblings.find(source_parts.names.back());
  std::unique_ptr<Node> node = std::move(it->second);
  siblings.erase(it);
  target_parent->children.emplace(std::string(target_parts.names.back()), std::move(node));
  return Error::none;
}

Error MemoryOs::shell_open_default(const std::string& file) {
  Lock lock(machine_->mutex);
  machine_->shell_log.push_back("default|" + file);
  return Error::none;
}

std::string MemoryOs::long_path_name(const std::string& path) { return path; }

Error MemoryOs::open_as_desktop_user(const std::string& file) { return shell_open_default(file); }

Error MemoryOs::delete_file_later(const std::string& path) {
  Lock lock(machine_->mutex);
  machine_->shell_log.push_back("later|" + path);
  return Error::none;
}

std::string MemoryOs::unpredictable_name() {
  Lock lock(machine_->mutex);
  // Unguessable enough for a machine that nothing else runs on, and the
  // same on every run, so that a fuzz input replays exactly.
  std::uint64_t x = (machine_->names_made += 0x9E3779B97F4A7C15ull);
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  unsigned char bytes[8];
  for (int i = 7; i >= 0; --i, x >>= 8) bytes[i] = static_cast<unsigned char>(x & 0xFF);
  return hex_name(bytes, sizeof bytes);
}

Error MemoryOs::replace_file_later(const std::string& from, const std::string& to) {
  Lock lock(machine_->mutex);
  machine_->shell_log.push_back("rename-later|" + from + "|" + to);
  return Error::none;
}

Error MemoryOs::cancel_later(const std::string& from) {
  Lock lock(machine_->mutex);
  return simulated::cancel_later_lines(&machine_->shell_log, from);
}

namespace {
std::string held_key(const std::string& path) {
  return simulated::upper(path);
}
}  // namespace

void MemoryOs::hold_file(const std::string& path, std::vector<std::string> programs,
                         bool stubborn) {
  Lock lock(machine_->mutex);
  machine_->held[held_key(path)] = {std::move(programs), stubborn};
}

void MemoryOs::release_file(const std::string& path) {
  Lock lock(machine_->mutex);
  machine_->held.erase(held_key(path));
}

bool MemoryOs::file_in_use(const std::string& path) {
  Lock lock(machine_->mutex);
  return machine_->held.count(held_key(path)) != 0;
}

Error MemoryOs::programs_using_file(const std::string& path, std::vector<std::string>* programs) {
  Lock lock(machine_->mutex);
  auto it = machine_->held.find(held_key(path));
  if (it == machine_->held.end()) return Error::none;
  if (it->second.programs.empty()) return Error::io;
  *programs = it->second.programs;
  return Error::none;
}

Error MemoryOs::close_programs_using_file(const std::string& path) {
  Lock lock(machine_->mutex);
  auto it = machine_->held.find(held_key(path));
  if (it == machine_->held.end()) return Error::none;
  if (it->second.programs.empty()) return Error::io;
  if (it->second.stubborn) return Error::access_denied;
  machine_->held.erase(it);
  return Error::none;
}

namespace {
class TableLock : public SystemLock {
 public:
  TableLock(std::shared_ptr<MemoryOs::Machine> machine, std::string name)
      : machine_(std::move(machine)), name_(std::move(name)) {}
  ~TableLock() override;

 private:
  std::shared_ptr<MemoryOs::Machine> machine_;
  std::string name_;
};
}  // namespace

TableLock::~TableLock() {
  Lock lock(machine_->mutex);
  machine_->locks.erase(name_);
}

std::unique_ptr<SystemLock> MemoryOs::take_lock(const std::string& name, Error* error) {
  Lock lock(machine_->mutex);
  if (!machine_->locks.insert(name).second) {
    *error = Error::exists;
    return nullptr;
  }
  *error = Error::none;
  return std::make_unique<TableLock>(machine_, name);
}

// ---- Declared values and notifications.

Error MemoryOs::registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                                    RegistryValue* value) {
  Lock lock(machine_->mutex);
  machine_->registry.read_value(root, key, name, value);
  return Error::none;
}

Error MemoryOs::registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                                     const RegistryValue& value) {
  Lock lock(machine_->mutex);
  machine_->registry.write_value(root, key, name, value);
  return Error::none;
}

Error MemoryOs::registry_delete_value(RegistryRoot root, const std::string& key, const std::string& name) {
  Lock lock(machine_->mutex);
  return machine_->registry.delete_value(root, key, name);
}

bool MemoryOs::registry_key_empty(RegistryRoot root, const std::string& key) {
  Lock lock(machine_->mutex);
  return machine_->registry.key_empty(root, key);
}

void MemoryOs::notify_associations_changed() {
  Lock lock(machine_->mutex);
  machine_->shell_log.push_back("associations-changed");
}

void MemoryOs::broadcast_environment_changed() {
  Lock lock(machine_->mutex);
  machine_->shell_log.push_back("environment-changed");
}

namespace {

void add_key_contents(const std::string& path, const simulated::RegKey& key,
                      std::map<std::string, std::string>* out) {
  (*out)[path] = "<key>";
  for (const simulated::RegValue& v : key.values) {
    (*out)[path + "|" + simulated::upper(v.name)] =
        v.is_dword ? "d:" + std::to_string(v.dword) : (v.expandable ? "e:" : "s:") + v.text;
  }
  for (const simulated::RegKey& child : key.children) {
    add_key_contents(path + "\\" + simulated::upper(child.name), child, out);
  }
}

}  // namespace

std::map<std::string, std::string> MemoryOs::registry_contents() const {
  Lock lock(machine_->mutex);
  std::map<std::string, std::string> out;
  for (const auto& [root, key] : machine_->registry.roots()) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", root);
    add_key_contents(hex, key, &out);
  }
  return out;
}

}  // namespace quill::os
