// Path comparison and the list of folders a removal never deletes.
#include "uninstaller/folder_guard.h"

#include <cstring>

#include "common/paths.h"

namespace quill::uninstaller {
namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Normalises one path component; false when it cannot be part of a plain path.
bool clean_component(std::string* component) {
  while (!component->empty() && (component->back() == '.' || component->back() == ' ')) {
    component->pop_back();
  }
  if (component->empty()) return false;  // ".", "..", "...", " "
  for (char c : *component) {
    if (static_cast<unsigned char>(c) < 32 || std::strchr(":*?\"<>|", c) != nullptr) return false;
  }
  for (char& c : *component) c = ascii_upper(c);
  return true;
}

}  // namespace

std::string comparable_folder_path(const std::string& raw) {
  std::string path = raw;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  std::string result;
  std::size_t position = 0;
  std::size_t root_components = 0;  // components that belong to the root
  if (path.size() >= 3 && is_letter(path[0]) && path[1] == ':' && path[2] == '\\') {
    result = std::string(1, ascii_upper(path[0])) + ":";
    position = 3;
  } else if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // "\\?\" and "\\.\" reach devices and bypass the usual path rules.
    if (path.size() >= 4 && (path[2] == '?' || path[2] == '.') && path[3] == '\\') return "";
    position = 2;
    root_components = 2;  // server and share
  } else {
    return "";
  }

  std::size_t seen = 0;
  while (position < path.size()) {
    std::size_t end = path.find('\\', position);
    if (end == std::string::npos) end = path.size();
    std::string component = path.substr(position, end - position);
    position = end + 1;
    if (component.empty()) {
      if (seen < root_components) return "";  // "\\\share" or "\\server\\"
      continue;
    }
    if (!clean_component(&component)) return "";
    if (seen == 0 && root_components > 0) {
      result = "\\\\" + component;
    } else {
      result += "\\" + component;
    }
    ++seen;
  }
  if (seen < root_components) return "";
  return result;
}

FolderGuard::FolderGuard(os::Os& os) : os_(&os) {
  const os::SpecialFolder all[] = {
      os::SpecialFolder::program_files, os::SpecialFolder::windows,
      os::SpecialFolder::system,        os::SpecialFolder::desktop,
      os::SpecialFolder::programs,      os::SpecialFolder::app_data,
      os::SpecialFolder::profile,       os::SpecialFolder::local_app_data,
      os::SpecialFolder::common_desktop, os::SpecialFolder::common_programs,
  };
  for (os::SpecialFolder which : all) add(os.special_folder(which));
  // The folder per-user installs go below.
  const std::string local = os.special_folder(os::SpecialFolder::local_app_data);
  if (!local.empty()) add(local + "\\Programs");
  add(os.temp_folder());
}

FolderGuard::FolderGuard(const std::vector<std::string>& protected_folders) {
  for (const std::string& folder : protected_folders) add(folder);
}

std::string FolderGuard::long_name(const std::string& folder) const {
  return os_ != nullptr && !folder.empty() ? os_->long_path_name(folder) : folder;
}

void FolderGuard::add(const std::string& folder) {
  std::string comparable = comparable_folder_path(long_name(folder));
  if (!comparable.empty()) protected_.push_back(comparable);
}

bool FolderGuard::may_remove(const std::string& folder) const {
  std::string candidate = comparable_folder_path(long_name(folder));
  if (candidate.empty()) return false;
  // A drive root is "X:"; a share root is "\\SERVER\SHARE" (one separator
  // after the leading pair).
  if (candidate.size() == 2 && candidate[1] == ':') return false;
  if (candidate.compare(0, 2, "\\\\") == 0 && candidate.find('\\', 2) == candidate.rfind('\\')) {
    return false;
  }
  for (const std::string& kept : protected_) {
    if (kept == candidate) return false;
    if (kept.size() > candidate.size() && kept.compare(0, candidate.size(), candidate) == 0 &&
        kept[candidate.size()] == '\\') {
      return false;
    }
  }
  return true;
}

}  // namespace quill::uninstaller
