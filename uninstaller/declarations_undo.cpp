// Undoing the declaration records of the uninstall log.
#include "uninstaller/declarations_undo.h"

#include <string>
#include <vector>

#include "package/declaration_records.h"
#include "package/declarations_check.h"
#include "package/uninstall_key.h"
#include "uninstaller/removal_log.h"

namespace quill::uninstaller {

namespace {

using package::DeclarationRecord;
using Value = os::Os::RegistryValue;

void note(RunLog* record, const char* step, const std::string& value,
          const std::string& second = std::string()) {
  if (record) record->note(step, value, second);
}

void delete_key_when_empty(os::Os& os, os::RegistryRoot root, const std::string& key, RunLog* record) {
  if (!os.registry_key_empty(root, key)) return;
  const std::size_t slash = key.rfind('\\');
  const std::string parent = slash == std::string::npos ? std::string() : key.substr(0, slash);
  const std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
  if (os.registry_delete_key(root, parent, name) == os::Error::none) {
    note(record, log_step::kKeyDeleted, package::shown_registry_place(root, parent, name));
  }
}

// Removes the record's folder from the `Path` as it is now.
bool remove_path_entry(os::Os& os, const DeclarationRecord& record, RunLog* run_record) {
  Value path;
  if (os.registry_read_value(record.root, record.key, package::kPathValue, &path) != os::Error::none ||
      (path.type != Value::Type::string && path.type != Value::Type::expandable_string)) {
    return false;
  }
  std::string rest;
  if (!package::path_without(path.text, record.name, &rest)) return false;
  if (rest.empty() && record.created_value) {
    os.registry_delete_value(record.root, record.key, package::kPathValue);
  } else {
    path.text = rest;
    os.registry_write_value(record.root, record.key, package::kPathValue, path);
  }
  note(run_record, log_step::kPathRemoved, record.name,
       package::shown_registry_place(record.root, record.key, package::kPathValue));
  return true;
}

}  // namespace

void undo_declarations(os::Os& os, const UninstallLog& log, RunLog* run_record) {
  const std::vector<DeclarationRecord> records = package::declaration_records(log.declaration_lines);
  bool associations = false;
  bool environment = false;
  for (std::size_t i = records.size(); i-- > 0;) {
    const DeclarationRecord& record = records[i];
    switch (record.kind) {
      case DeclarationRecord::Kind::value:
        if (!record.remove_on_uninstall) break;
        if (record.previous.type == Value::Type::absent) {
          os.registry_delete_value(record.root, record.key, record.name);
        } else {
          os.registry_write_value(record.root, record.key, record.name, record.previous);
        }
        note(run_record,
             record.previous.type == Value::Type::absent ? log_step::kValueDeleted : log_step::kValueRestored,
             package::shown_registry_place(record.root, record.key, record.name));
        if (record.remove_key_when_empty) delete_key_when_empty(os, record.root, record.key, run_record);
        if (record.what == 'a') associations = true;
        if (record.what == 'e') environment = true;
        break;
      case DeclarationRecord::Kind::created_key:
        delete_key_when_empty(os, record.root, record.key, run_record);
        break;
      case DeclarationRecord::Kind::path_entry:
        if (remove_path_entry(os, record, run_record)) environment = true;
        break;
    }
  }
  if (associations) os.notify_associations_changed();
  if (environment) os.broadcast_environment_changed();
}

}  // namespace quill::uninstaller
