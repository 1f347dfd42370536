// Applying a package's declarations inside the install transaction.
#include "installer/declarations_apply.h"

#include <memory>
#include <vector>

#include "text/unicode.h"
#include "installer/install_log.h"
#include "installer/transaction.h"
#include "installer/upgrade.h"
#include "package/declaration_records.h"
#include "package/entry_names.h"
#include "package/macros.h"
#include "package/payload.h"

namespace quill::installer {

namespace {

using package::DeclarationRecord;
using Value = os::Os::RegistryValue;

const char* root_name(os::RegistryRoot root) {
  return root == os::RegistryRoot::local_machine ? "HKLM" : "HKCU";
}

std::string value_text(const Value& value) {
  return value.type == Value::Type::dword ? std::to_string(value.dword) : value.text;
}

// The keys of `key`'s chain (its parents first, then itself).
std::vector<std::string> key_chain(const std::string& key) {
  std::vector<std::string> chain;
  for (std::size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1)) {
    chain.push_back(key.substr(0, at));
  }
  chain.push_back(key);
  return chain;
}

// Deletes each key of `keys` (deepest last in the list) that is empty.
// Asked twice: a look that fails must not leave a key of the run behind.
bool remove_empty_keys(os::Os& os, os::RegistryRoot root, const std::vector<std::string>& keys) {
  bool all = true;
  for (std::size_t i = keys.size(); i-- > 0;) {
    const std::string& key = keys[i];
    if (!os.registry_key_exists(root, key)) continue;
    if (!os.registry_key_empty(root, key) && !os.registry_key_empty(root, key)) continue;
    const std::size_t slash = key.rfind('\\');
    const std::string parent = slash == std::string::npos ? std::string() : key.substr(0, slash);
    const std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
    if (os.registry_delete_key(root, parent, name) != os::Error::none &&
        os.registry_delete_key(root, parent, name) != os::Error::none) {
      all = false;
    }
  }
  return all;
}

// "ROOT\key\name", as the notes and questions name a value.
std::string place(os::RegistryRoot root, const std::string& key, const std::string& name) {
  std::string where = root_name(root);
  where += '\\';
  where += key;
  where += '\\';
  where += name;
  return where;
}

// Puts a value back as it was; a step that fails is tried once more.
bool restore_value(os::Os& os, os::RegistryRoot root, const std::string& key, const std::string& name,
                   const Value& previous) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (os.registry_write_value(root, key, name, previous) == os::Error::none) return true;
  }
  return false;
}

struct Notices {
  bool associations = false;
  bool environment = false;
};

class Applier {
 public:
  Applier(os::Os& os, const InstallRequest& request, const std::string& log_path,
          InstallCallback& callback, Transaction& transaction)
      : os_(os), request_(request), log_path_(log_path), callback_(callback),
        transaction_(transaction), notices_(new Notices()) {}

  InstallResult run(const package::DeclarationPlan& plan);

 private:
  WriteOutcome apply_value(const package::PlannedValue& value);
  WriteOutcome apply_path(const package::PlannedPath& path);
  // Appends the records as one write; false when it failed.
  bool log_records(const std::vector<DeclarationRecord>& records);
  // The record of the installed program's log (an upgrade) for the same
  // value or PATH entry, whose "previous" is the machine before the first
  // install.
  const DeclarationRecord* old_record(DeclarationRecord::Kind kind, os::RegistryRoot root,
                                      const std::string& key, const std::string& name) const;
  void notice(package::PlannedKind kind);
  // Logs the old install's records that this one did not take over, so that
  // the removal still undoes what the old version did.
  WriteOutcome carry_old_records();

  os::Os& os_;
  const InstallRequest& request_;
  const std::string& log_path_;
  InstallCallback& callback_;
  Transaction& transaction_;
  std::shared_ptr<Notices> notices_;
  std::vector<DeclarationRecord> old_records_;
  mutable std::vector<char> taken_over_;  // by old_records_'s index (bytes: smaller code than bits)
};

const DeclarationRecord* Applier::old_record(DeclarationRecord::Kind kind, os::RegistryRoot root,
                                             const std::string& key, const std::string& name) const {
  for (const DeclarationRecord& record : old_records_) {
    if (record.kind == kind && record.root == root && text::equal_ignoring_case(record.key, key) &&
        text::equal_ignoring_case(record.name, name)) {
      taken_over_[&record - old_records_.data()] = true;
      return &record;
    }
  }
  return nullptr;
}

WriteOutcome Applier::carry_old_records() {
  std::vector<DeclarationRecord> left;
  for (std::size_t i = 0; i < old_records_.size(); ++i) {
    if (!taken_over_[i]) left.push_back(old_records_[i]);
  }
  if (left.empty()) return WriteOutcome::written;
  return write_or_ask(&callback_, log_path_, [&] { return log_records(left); });
}

void Applier::notice(package::PlannedKind kind) {
  if (kind == package::PlannedKind::association) notices_->associations = true;
  if (kind == package::PlannedKind::environment) notices_->environment = true;
}

bool Applier::log_records(const std::vector<DeclarationRecord>& records) {
  std::string lines;
  for (const DeclarationRecord& record : records) {
    for (const std::string& line : package::declaration_record_lines(record)) {
      if (!lines.empty()) lines += '\n';
      lines += line;
    }
  }
  return lines.empty() || package::append_log_line(os_, log_path_, lines);
}

WriteOutcome Applier::apply_value(const package::PlannedValue& planned) {
  const std::string where = place(planned.root, planned.key, planned.name);
  const std::size_t mark = transaction_.mark();
  bool logged = true;
  WriteOutcome outcome = write_or_ask(&callback_, where, [&] {
    transaction_.undo_to(mark);
    Value previous;
    if (os_.registry_read_value(planned.root, planned.key, planned.name, &previous) != os::Error::none) {
      return false;
    }
    std::vector<std::string> created;  // keys of the chain this run makes, parents first
    std::vector<DeclarationRecord> records;
    for (const std::string& key : key_chain(planned.key)) {
      const bool missing = !created.empty() || !os_.registry_key_exists(planned.root, key);
      if (missing) created.push_back(key);
      // The keys an association makes, and those above a value whose key
      // goes when left empty, go too when left empty; an upgrade keeps the
      // old install's own keys in the log.
      if ((planned.remove_created_keys || planned.remove_key_when_empty) &&
          (old_record(DeclarationRecord::Kind::created_key, planned.root, key, "") != nullptr || missing)) {
        DeclarationRecord record;
        record.kind = DeclarationRecord::Kind::created_key;
        record.root = planned.root;
        record.key = key;
        records.push_back(std::move(record));
      }
    }
    DeclarationRecord record;
    record.what = static_cast<char>(planned.kind);
    record.root = planned.root;
    record.key = planned.key;
    record.name = planned.name;
    const DeclarationRecord* old = old_record(DeclarationRecord::Kind::value, planned.root, planned.key, planned.name);
    record.previous = old != nullptr ? old->previous : previous;
    record.remove_on_uninstall = planned.remove_on_uninstall;
    record.remove_key_when_empty = planned.remove_key_when_empty;
    records.push_back(std::move(record));
    // The record comes first: a change the log cannot name is not made.
    if (!log_records(records)) {
      logged = false;
      return false;
    }
    logged = true;
    os::Os& os = os_;
    transaction_.changed([&os, root = planned.root, key = planned.key, name = planned.name,
                          previous = std::move(previous), created = std::move(created)] {
      const bool restored = restore_value(os, root, key, name, previous);
      return remove_empty_keys(os, root, created) && restored;
    });
    return os_.registry_write_value(planned.root, planned.key, planned.name, planned.value) ==
           os::Error::none;
  });
  if (outcome == WriteOutcome::ignored) transaction_.undo_to(mark);
  if (outcome == WriteOutcome::written) {
    notice(planned.kind);
    note(request_,
         planned.kind == package::PlannedKind::association   ? log_step::kAssociation
         : planned.kind == package::PlannedKind::environment ? log_step::kEnvironment
                                                             : log_step::kRegistry,
         where, value_text(planned.value));
  } else if (outcome == WriteOutcome::ignored) {
    note(request_, logged ? log_step::kDeclarationNotWritten : log_step::kDeclarationNotLogged, where);
  }
  return outcome;
}

WriteOutcome Applier::apply_path(const package::PlannedPath& planned) {
  const std::string key = planned.root == os::RegistryRoot::local_machine
                              ? package::kMachineEnvironmentKey
                              : package::kUserEnvironmentKey;
  const std::string where = place(planned.root, key, package::kPathValue);
  const std::size_t mark = transaction_.mark();
  bool added = false;
  WriteOutcome outcome = write_or_ask(&callback_, where, [&] {
    transaction_.undo_to(mark);
    added = false;
    Value previous;
    if (os_.registry_read_value(planned.root, key, package::kPathValue, &previous) != os::Error::none) {
      return false;
    }
    const bool text = previous.type == Value::Type::string || previous.type == Value::Type::expandable_string;
    // A value of another type is no list of folders: it is left alone.
    if (previous.type != Value::Type::absent && !text) return true;
    const std::string current = text ? previous.text : std::string();
    DeclarationRecord record;
    record.kind = DeclarationRecord::Kind::path_entry;
    record.root = planned.root;
    record.key = key;
    record.name = planned.folder;
    record.created_value = previous.type == Value::Type::absent;
    const DeclarationRecord* old =
        old_record(DeclarationRecord::Kind::path_entry, planned.root, key, planned.folder);
    if (package::path_holds(current, planned.folder)) {
      // Already there: it stays when the program goes, unless the old
      // install of an upgrade is the one that added it.
      if (old == nullptr) return true;
      record.created_value = old->created_value;
      return log_records({record});
    }
    Value next;
    next.type = previous.type == Value::Type::string ? Value::Type::string : Value::Type::expandable_string;
    next.text = package::path_with(current, planned.folder);
    if (next.text.size() > package::kMaxValueData) return true;  // the system could not hold it
    if (!log_records({record})) return false;
    os::Os& os = os_;
    transaction_.changed([&os, root = planned.root, key, previous = std::move(previous)] {
      return restore_value(os, root, key, package::kPathValue, previous);
    });
    added = os_.registry_write_value(planned.root, key, package::kPathValue, next) == os::Error::none;
    return added;
  });
  if (outcome == WriteOutcome::ignored) transaction_.undo_to(mark);
  if (outcome == WriteOutcome::written) {
    if (added) notices_->environment = true;
    note(request_, added ? log_step::kPathAdded : log_step::kPathKept, planned.folder, where);
  } else if (outcome == WriteOutcome::ignored) {
    note(request_, log_step::kPathNotAdded, planned.folder);
  }
  return outcome;
}

InstallResult Applier::run(const package::DeclarationPlan& plan) {
  if (request_.installed != nullptr) {
    old_records_ = package::declaration_records(request_.installed->log.declaration_lines);
    taken_over_.assign(old_records_.size(), false);
  }
  if (plan.empty()) {
    return carry_old_records() == WriteOutcome::aborted ? InstallResult::write_failed
                                                        : InstallResult::finished;
  }
  // Undone last: the shell and the programs hear once that it is all back.
  os::Os& os = os_;
  std::shared_ptr<Notices> notices = notices_;
  transaction_.changed([&os, notices] {
    if (notices->associations) os.notify_associations_changed();
    if (notices->environment) os.broadcast_environment_changed();
    return true;
  });
  for (const package::PlannedValue& value : plan.values) {
    if (callback_.cancel_requested()) return InstallResult::cancelled;
    if (apply_value(value) == WriteOutcome::aborted) return InstallResult::write_failed;
  }
  for (const package::PlannedPath& path : plan.paths) {
    if (callback_.cancel_requested()) return InstallResult::cancelled;
    if (apply_path(path) == WriteOutcome::aborted) return InstallResult::write_failed;
  }
  if (carry_old_records() == WriteOutcome::aborted) return InstallResult::write_failed;
  if (notices_->associations) os_.notify_associations_changed();
  if (notices_->environment) os_.broadcast_environment_changed();
  return InstallResult::finished;
}

}  // namespace

bool plan_package_declarations(os::Os& os, const InstallRequest& request,
                               package::DeclarationPlan* plan) {
  *plan = package::DeclarationPlan();
  // An unusable folder ends the run at its first step, as without declarations.
  if (!request.install_folder.usable()) return true;
  const std::string* file =
      request.data_files ? request.data_files->find(package::data_file::kDeclarations) : nullptr;
  if (file == nullptr) return true;
  std::string_view text = *file;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.remove_prefix(3);
  package::Declarations declarations;
  std::string error;
  const std::string& folder = request.install_folder.path();
  const bool planned =
      package::parse_declarations(text, &declarations, &error) &&
      package::plan_declarations(
          declarations, request.scope, folder,
          [&](const std::string& field) { return package::expand_macros(os, macro_table(request), field, folder); },
          plan, &error);
  if (!planned) note(request, log_step::kDeclarationsDamaged, error);
  return planned;
}

InstallResult apply_declarations(os::Os& os, const InstallRequest& request,
                                 const package::DeclarationPlan& plan, const std::string& log_path,
                                 InstallCallback& callback, Transaction& transaction) {
  Applier applier(os, request, log_path, callback, transaction);
  return applier.run(plan);
}

}  // namespace quill::installer
