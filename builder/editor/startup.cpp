// Registry settings of the builder and the start-up decisions.
#include "builder/editor/startup.h"

namespace quill::editor {

using os::RegistryRoot;

const char kSettingsKey[] = "Software\\Orvelle Software\\Quillset";

namespace {

const RegistryRoot kRoot = RegistryRoot::local_machine;

bool is_set(const std::string& value) { return !value.empty() && value[0] == 'y'; }

std::string read_value(os::Os& os, const char* name) {
  std::string value;
  if (os.registry_read_string(kRoot, kSettingsKey, name, &value) != os::Error::none) return "";
  return value;
}

}  // namespace

std::string project_path_from_command_line(const std::string& command_line) {
  if (command_line.size() < 2) return "";
  return command_line.substr(1, command_line.size() - 2);
}

void remember_command_line(os::Os& os, const std::string& command_line) {
  if (command_line.empty()) return;
  os.registry_create_key(kRoot, kSettingsKey);
  os.registry_write_string(kRoot, kSettingsKey, "toopen", project_path_from_command_line(command_line));
}

std::string association_program_path(const std::string& program_path) {
  std::size_t cut = program_path.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : program_path.substr(0, cut + 1);
  return folder + "Quillset.exe";
}

void write_association(os::Os& os, const std::string& builder_path) {
  const RegistryRoot classes = RegistryRoot::classes_root;
  os.registry_write_string(classes, ".qsp", "", "Quillset");
  os.registry_write_string(classes, ".qspbak", "", "Quillset");
  os.registry_write_string(classes, "Quillset", "", "Quillset Project File");
  os.registry_write_string(classes, "Quillset\\DefaultIcon", "", builder_path + ",1");
  os.registry_write_string(classes, "Quillset\\shell\\open\\command", "",
                           "\"" + builder_path + "\" \"%1\"");
}

void clear_crash_marker(os::Os& os) {
  os.registry_create_key(kRoot, kSettingsKey);
  os.registry_write_string(kRoot, kSettingsKey, "started", "");
}

StartupPlan read_startup_settings(os::Os& os) {
  StartupPlan plan;
  // The first start on a machine finds no key: it is made here, so that the
  // association answer and the crash marker of this very run are kept.
  plan.key_available = os.registry_key_exists(kRoot, kSettingsKey) ||
                       os.registry_create_key(kRoot, kSettingsKey) == os::Error::none;
  if (!plan.key_available) {
    plan.ask_association = true;
    return plan;
  }
  plan.ask_association = !is_set(read_value(os, "qspfiles"));
  bool crashed = is_set(read_value(os, "started"));
  os.registry_write_string(kRoot, kSettingsKey, "started", "yes");
  std::string toopen = read_value(os, "toopen");
  if (crashed) {
    plan.action = StartupPlan::ask_backup;
  } else if (toopen.size() >= 3) {
    plan.action = StartupPlan::open_toopen;
    plan.toopen = toopen;
  }
  return plan;
}

void mark_association_asked(os::Os& os, const StartupPlan& plan) {
  if (plan.key_available) os.registry_write_string(kRoot, kSettingsKey, "qspfiles", "yes");
}

void clear_toopen(os::Os& os) { os.registry_write_string(kRoot, kSettingsKey, "toopen", ""); }

void write_backup_origin(os::Os& os, const std::string& project_path) {
  os.registry_write_string(kRoot, kSettingsKey, "backupof", project_path);
}

std::string read_backup_origin(os::Os& os) { return read_value(os, "backupof"); }

}  // namespace quill::editor
