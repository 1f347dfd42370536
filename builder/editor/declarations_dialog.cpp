// The registry and environment dialogs' rules.
#include "builder/editor/declarations_dialog.h"

#include <algorithm>
#include <cctype>

#include "builder/editor/editor.h"
#include "builder/editor/messages.h"

namespace quill::editor {

namespace {

using package::EnvironmentScope;
using package::RegistryRoot;
using package::RegistryType;

const std::vector<std::string> kKinds = {"Registry value", "File association", "PATH entry", "Environment variable"};
// In the order of the package's enums.
const std::vector<std::string> kRoots = {"The install scope's hive", "Current user (HKCU)", "Machine (HKLM)"};
const std::vector<std::string> kTypes = {"String", "Expandable string", "Number"};
const std::vector<std::string> kScopes = {"User", "Machine"};

int scope_position(EnvironmentScope scope) { return scope == EnvironmentScope::machine ? 1 : 0; }
EnvironmentScope scope_at(int position) {
  return position == 1 ? EnvironmentScope::machine : EnvironmentScope::current_user;
}

// "Registry value" as inside a sentence; "PATH entry" stays as it is.
std::string lower_first(std::string text) {
  if (text.size() > 1 && !std::isupper(static_cast<unsigned char>(text[1]))) {
    text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  }
  return text;
}

// A checker's reason as a sentence.
std::string sentence(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

}  // namespace

// --- One declaration's edit dialog.

DeclarationEdit::DeclarationEdit(DeclarationKind kind, int index, const project::Project& project)
    : kind_(kind), index_(index) {
  const package::Declarations& d = project.declarations();
  const std::string noun = kKinds[static_cast<std::size_t>(kind)];
  title_ = std::string(text::kCaption) + " - " + (index < 0 ? "New " + lower_first(noun) : noun);
  switch (kind) {
    case DeclarationKind::registry_value: {
      controls_ = {IDC_DECL_ROOT, IDC_DECL_KEY, IDC_DECL_NAME, IDC_DECL_TYPE, IDC_DECL_DATA, IDC_DECL_REMOVE_VALUE,
                   IDC_DECL_REMOVE_KEY};
      choices_[IDC_DECL_ROOT] = kRoots;
      choices_[IDC_DECL_TYPE] = kTypes;
      const package::RegistryValueDeclaration r = index < 0 ? package::RegistryValueDeclaration() : d.registry_values[index];
      choose(IDC_DECL_ROOT, static_cast<int>(r.root));
      choose(IDC_DECL_TYPE, static_cast<int>(r.type));
      texts_[IDC_DECL_KEY] = r.key;
      texts_[IDC_DECL_NAME] = r.name;
      texts_[IDC_DECL_DATA] = r.data;
      checks_[IDC_DECL_REMOVE_VALUE] = r.remove_on_uninstall;
      checks_[IDC_DECL_REMOVE_KEY] = r.remove_key_when_empty;
      break;
    }
    case DeclarationKind::association: {
      controls_ = {IDC_DECL_EXTENSION, IDC_DECL_PROGRAM_ID, IDC_DECL_DESCRIPTION, IDC_DECL_FILE, IDC_DECL_ICON,
                   IDC_DECL_COMMAND};
      const package::AssociationDeclaration a = index < 0 ? package::AssociationDeclaration() : d.associations[index];
      // The project's files, the one named first when it is none of them.
      std::vector<std::string>& files = choices_[IDC_DECL_FILE];
      for (int slot : project.compacted_order()) files.push_back(project.shortcut_target(slot));
      if (!a.file.empty() && std::find(files.begin(), files.end(), a.file) == files.end()) {
        files.insert(files.begin(), a.file);
      }
      texts_[IDC_DECL_FILE] = !a.file.empty() ? a.file : files.empty() ? std::string() : files.front();
      texts_[IDC_DECL_EXTENSION] = a.extension;
      texts_[IDC_DECL_PROGRAM_ID] = a.program_id;
      texts_[IDC_DECL_DESCRIPTION] = a.description;
      texts_[IDC_DECL_ICON] = a.icon;
      texts_[IDC_DECL_COMMAND] = a.command;
      break;
    }
    case DeclarationKind::path: {
      controls_ = {IDC_DECL_FOLDER, IDC_DECL_SCOPE};
      choices_[IDC_DECL_SCOPE] = kScopes;
      const package::PathDeclaration p = index < 0 ? package::PathDeclaration{"%install path%"} : d.paths[index];
      texts_[IDC_DECL_FOLDER] = p.folder;
      choose(IDC_DECL_SCOPE, scope_position(p.scope));
      break;
    }
    case DeclarationKind::variable: {
      controls_ = {IDC_DECL_NAME, IDC_DECL_DATA, IDC_DECL_SCOPE};
      choices_[IDC_DECL_SCOPE] = kScopes;
      const package::VariableDeclaration v = index < 0 ? package::VariableDeclaration() : d.variables[index];
      texts_[IDC_DECL_NAME] = v.name;
      texts_[IDC_DECL_DATA] = v.value;
      choose(IDC_DECL_SCOPE, scope_position(v.scope));
      break;
    }
  }
}

int DeclarationEdit::template_id() const {
  switch (kind_) {
    case DeclarationKind::registry_value: return IDD_REGISTRY_VALUE;
    case DeclarationKind::association: return IDD_ASSOCIATION;
    case DeclarationKind::path: return IDD_PATH_ENTRY;
    case DeclarationKind::variable: return IDD_VARIABLE;
  }
  return IDD_VARIABLE;
}

const std::vector<std::string>& DeclarationEdit::choices(int control) const {
  static const std::vector<std::string> none;
  auto it = choices_.find(control);
  return it == choices_.end() ? none : it->second;
}

bool DeclarationEdit::is_check(int control) const { return checks_.count(control) > 0; }

std::string DeclarationEdit::text(int control) const {
  auto it = texts_.find(control);
  return it == texts_.end() ? std::string() : it->second;
}

bool DeclarationEdit::checked(int control) const {
  auto it = checks_.find(control);
  return it != checks_.end() && it->second;
}

void DeclarationEdit::set_text(int control, const std::string& text) {
  if (texts_.count(control)) texts_[control] = text;
}

void DeclarationEdit::set_checked(int control, bool on) {
  if (checks_.count(control)) checks_[control] = on;
}

int DeclarationEdit::choice(int control) const {
  const std::vector<std::string>& items = choices(control);
  const auto it = std::find(items.begin(), items.end(), text(control));
  return it == items.end() ? 0 : static_cast<int>(it - items.begin());
}

void DeclarationEdit::choose(int control, int position) { texts_[control] = choices_[control].at(position); }

void DeclarationEdit::apply(package::Declarations& d, std::string* own_error) const {
  // Puts `item` at index_ of `list` (or after its end) once its own check passed.
  auto put = [this, own_error](auto& list, auto item) {
    *own_error = package::declaration_error(item);
    if (index_ < 0) {
      list.push_back(std::move(item));
    } else {
      list[index_] = std::move(item);
    }
  };
  switch (kind_) {
    case DeclarationKind::registry_value: {
      package::RegistryValueDeclaration r;
      r.root = static_cast<RegistryRoot>(choice(IDC_DECL_ROOT));
      r.type = static_cast<RegistryType>(choice(IDC_DECL_TYPE));
      r.key = text(IDC_DECL_KEY);
      r.name = text(IDC_DECL_NAME);
      r.data = text(IDC_DECL_DATA);
      r.remove_on_uninstall = checked(IDC_DECL_REMOVE_VALUE);
      r.remove_key_when_empty = checked(IDC_DECL_REMOVE_KEY);
      put(d.registry_values, r);
      break;
    }
    case DeclarationKind::association: {
      package::AssociationDeclaration a;
      a.extension = text(IDC_DECL_EXTENSION);
      a.program_id = text(IDC_DECL_PROGRAM_ID);
      a.description = text(IDC_DECL_DESCRIPTION);
      a.file = text(IDC_DECL_FILE);
      a.icon = text(IDC_DECL_ICON);
      a.command = text(IDC_DECL_COMMAND);
      put(d.associations, a);
      break;
    }
    case DeclarationKind::path:
      put(d.paths, package::PathDeclaration{text(IDC_DECL_FOLDER), scope_at(choice(IDC_DECL_SCOPE))});
      break;
    case DeclarationKind::variable:
      put(d.variables,
          package::VariableDeclaration{text(IDC_DECL_NAME), text(IDC_DECL_DATA), scope_at(choice(IDC_DECL_SCOPE))});
      break;
  }
}

// --- The list.

DeclarationsDialog::DeclarationsDialog(project::Project& project, Prompter& prompter, std::recursive_mutex& lock)
    : project_(project), prompter_(prompter), lock_(lock) {
  refresh();
}

std::string DeclarationsDialog::title() const { return std::string(text::kCaption) + " - Registry and environment"; }

const std::vector<std::string>& DeclarationsDialog::kinds() const { return kKinds; }

void DeclarationsDialog::refresh() {
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    rows_ = project::declaration_rows(project_.declarations());
  }
  if (selection_ >= static_cast<int>(rows_.size())) selection_ = -1;
  ++revision_;
}

void DeclarationsDialog::select(int row) { selection_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1; }

std::string DeclarationsDialog::problems() const {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  std::string text;
  for (const std::string& line : project::declaration_errors(project_)) text += (text.empty() ? "" : "\n") + line;
  return text;
}

std::pair<DeclarationKind, int> DeclarationsDialog::locate(int row) const {
  const package::Declarations& d = project_.declarations();
  const std::size_t counts[] = {d.registry_values.size(), d.associations.size(), d.paths.size(), d.variables.size()};
  int at = row;
  for (int kind = 0; kind < 4; ++kind) {
    if (at < static_cast<int>(counts[kind])) return {static_cast<DeclarationKind>(kind), at};
    at -= static_cast<int>(counts[kind]);
  }
  return {DeclarationKind::variable, -1};
}

int DeclarationsDialog::row_of(DeclarationKind kind, int index) const {
  const package::Declarations& d = project_.declarations();
  const std::size_t counts[] = {d.registry_values.size(), d.associations.size(), d.paths.size(), d.variables.size()};
  int row = index;
  for (int k = 0; k < static_cast<int>(kind); ++k) row += static_cast<int>(counts[k]);
  return row;
}

std::unique_ptr<DeclarationEdit> DeclarationsDialog::add(int kind) {
  if (kind < 0 || kind >= static_cast<int>(kKinds.size())) return nullptr;
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return std::unique_ptr<DeclarationEdit>(new DeclarationEdit(static_cast<DeclarationKind>(kind), -1, project_));
}

std::unique_ptr<DeclarationEdit> DeclarationsDialog::edit() const {
  if (selection_ < 0) return nullptr;
  std::lock_guard<std::recursive_mutex> hold(lock_);
  const auto [kind, index] = locate(selection_);
  if (index < 0) return nullptr;
  return std::unique_ptr<DeclarationEdit>(new DeclarationEdit(kind, index, project_));
}

bool DeclarationsDialog::finish(const DeclarationEdit& edit) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  package::Declarations changed = project_.declarations();
  std::string error;
  edit.apply(changed, &error);
  if (error.empty()) error = project::new_declaration_error(project_, changed);
  if (!error.empty()) {
    prompter_.tell(sentence(error), Icon::warning);
    return false;
  }
  project_.declarations() = std::move(changed);
  const package::Declarations& d = project_.declarations();
  const std::size_t sizes[] = {d.registry_values.size(), d.associations.size(), d.paths.size(), d.variables.size()};
  const int index = edit.index_ >= 0 ? edit.index_ : static_cast<int>(sizes[static_cast<int>(edit.kind_)]) - 1;
  refresh();
  selection_ = row_of(edit.kind_, index);
  return true;
}

void DeclarationsDialog::remove() {
  if (selection_ < 0) return;
  const project::DeclarationRow& row = rows_[selection_];
  if (prompter_.ask("Remove the " + lower_first(row.kind) + " " + row.target + "?", Buttons::yes_no,
                    Icon::question) != Answer::yes) {
    return;
  }
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    package::Declarations& d = project_.declarations();
    const auto [kind, index] = locate(selection_);
    switch (kind) {
      case DeclarationKind::registry_value: d.registry_values.erase(d.registry_values.begin() + index); break;
      case DeclarationKind::association: d.associations.erase(d.associations.begin() + index); break;
      case DeclarationKind::path: d.paths.erase(d.paths.begin() + index); break;
      case DeclarationKind::variable: d.variables.erase(d.variables.begin() + index); break;
    }
  }
  selection_ = -1;
  refresh();
}

std::unique_ptr<DeclarationsDialog> Editor::declarations_dialog() {
  return std::make_unique<DeclarationsDialog>(project_, prompter_, mutex_);
}

}  // namespace quill::editor
