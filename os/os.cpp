// Texts for the OS boundary's error values.
#include "os/os.h"

namespace quill::os {

const char* error_text(Error e) {
  switch (e) {
    case Error::none: return "no error";
    case Error::not_found: return "not found";
    case Error::exists: return "already exists";
    case Error::access_denied: return "access denied";
    case Error::disk_full: return "disk full";
    case Error::not_empty: return "folder not empty";
    case Error::io: return "input/output error";
  }
  return "unknown error";
}

Error Os::replace_file(const std::string& from, const std::string& to) {
  Error e = copy_file(from, to, false);
  if (e != Error::none) return e;
  return delete_file(from);
}

}  // namespace quill::os
