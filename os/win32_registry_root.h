// The predefined key of each registry root, for the Win32 backend's
// registry calls.
#pragma once

#include <windows.h>

#include "os/os.h"

namespace quill::os {

inline HKEY root_key(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::classes_root: return HKEY_CLASSES_ROOT;
    case RegistryRoot::current_user: return HKEY_CURRENT_USER;
    case RegistryRoot::local_machine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::users: return HKEY_USERS;
    case RegistryRoot::current_config: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CURRENT_USER;
}

}  // namespace quill::os
