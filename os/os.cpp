// The shared pieces of the OS boundary: the fallbacks of os.h and hex_name.
#include "os/os.h"

namespace quill::os {

Error File::finish(std::uint32_t, std::uint32_t) { return Error::io; }

Error Os::replace_file(const std::string& from, const std::string& to) {
  Error e = copy_file(from, to, false);
  if (e != Error::none) return e;
  return delete_file(from);
}

Error Os::move_file(const std::string&, const std::string&) { return Error::io; }

std::string Os::long_path_name(const std::string& path) { return path; }

Error Os::set_attributes(const std::string& path, std::uint32_t attributes) {
  return set_read_only(path, (attributes & kAttributeReadOnly) != 0);
}

Error Os::shell_open_default(const std::string& file) { return shell_open(file); }

Error Os::open_as_desktop_user(const std::string& file) { return shell_open_default(file); }

std::string Os::local_date() { return std::string(); }

Error Os::run_program(const std::string&, const std::string&, std::uint32_t*) { return Error::io; }

Error Os::delete_file_later(const std::string&) { return Error::io; }

std::string hex_name(const unsigned char* bytes, std::size_t count) {
  static const char kDigits[] = "0123456789abcdef";
  std::string name;
  for (std::size_t i = 0; i < count; ++i) {
    name += kDigits[bytes[i] >> 4];
    name += kDigits[bytes[i] & 15];
  }
  return name;
}

Error Os::create_folder_secured(const std::string& path, FolderAccess) {
  return create_folder(path);
}

std::string Os::unpredictable_name() { return std::string(); }

}  // namespace quill::os
