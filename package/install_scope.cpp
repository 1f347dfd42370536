// The install scope's data file and its rules.
#include "package/install_scope.h"


namespace quill::package {
namespace {

const char kUser[] = "user";
const char kMachine[] = "machine";
const char kAllUsers[] = "all users";
const char kCurrentUser[] = "current user";

}  // namespace

std::string install_scope_text(const InstallScope& scope) {
  std::string text = scope.scope == Scope::user ? kUser : kMachine;
  text += "\n";
  text += scope.shortcuts == ShortcutFolders::all_users ? kAllUsers : kCurrentUser;
  text += "\n";
  return text;
}

InstallScope install_scope_from_text(const std::string& bytes) {
  InstallScope scope;
  std::size_t at = 0;
  auto next_line = [&] {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    at = end < bytes.size() ? end + 1 : end;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  };
  if (next_line() == kUser) scope.scope = Scope::user;
  if (next_line() == kAllUsers) scope.shortcuts = ShortcutFolders::all_users;
  return scope;
}

os::RegistryRoot uninstall_root(const InstallScope& scope) {
  return scope.scope == Scope::user ? os::RegistryRoot::current_user : os::RegistryRoot::local_machine;
}

namespace {
bool all_users(const InstallScope& scope) {
  return scope.scope == Scope::machine && scope.shortcuts == ShortcutFolders::all_users;
}
}  // namespace

os::SpecialFolder desktop_folder(const InstallScope& scope) {
  return all_users(scope) ? os::SpecialFolder::common_desktop : os::SpecialFolder::desktop;
}

os::SpecialFolder programs_folder(const InstallScope& scope) {
  return all_users(scope) ? os::SpecialFolder::common_programs : os::SpecialFolder::programs;
}

bool secures_install_folder(const InstallScope& scope) { return scope.scope == Scope::machine; }

const char* default_folder_text(Scope scope) {
  return scope == Scope::user ? "%user programs%\\%name%" : "%program files%\\%name%";
}

}  // namespace quill::package
