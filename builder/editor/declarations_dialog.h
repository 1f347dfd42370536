// The "Registry and environment" dialog (template IDD_DECLARATIONS) and
// the edit dialog of each kind of declaration, without a window system:
// what they list and hold, and the rules of their buttons. A change reaches
// the project only when its edit dialog's OK is accepted.
//
// Win32 side, the list dialog: on WM_INITDIALOG fill the kind list from
// kinds() and render; rebuild the list view from rows() when revision()
// changed, select selection(), enable Edit and Remove by can_change(), show
// problems(). Add opens the edit dialog of add(kind), Edit that of edit().
// The edit dialog (edit->template_id()): fill each combo of controls() from
// choices() and set texts and checks; on OK copy every control back
// (a combo: its selected item's text) and end only when finish() says true.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "builder/editor/prompter.h"
#include "builder/project/declarations_check.h"
#include "builder/project/project.h"
#include "resources/quillset_resource.h"

namespace quill::editor {

enum class DeclarationKind { registry_value, association, path, variable };

class DeclarationEdit {
 public:
  DeclarationKind kind() const { return kind_; }
  int template_id() const;
  // "Quillset - New registry value", "Quillset - Registry value" ...
  const std::string& title() const { return title_; }
  // The edits, combos and checks of the template, in tab order.
  const std::vector<int>& controls() const { return controls_; }
  // A combo's items; empty for an edit or a check.
  const std::vector<std::string>& choices(int control) const;
  bool is_check(int control) const;
  std::string text(int control) const;
  bool checked(int control) const;
  void set_text(int control, const std::string& text);
  void set_checked(int control, bool on);

 private:
  friend class DeclarationsDialog;
  DeclarationEdit(DeclarationKind kind, int index, const project::Project& project);
  // The declaration the controls describe, put into `d` at index_ (or added).
  void apply(package::Declarations& d, std::string* own_error) const;
  int choice(int control) const;  // the chosen item's position, 0 when none matches
  void choose(int control, int position);

  DeclarationKind kind_;
  int index_;  // within its kind; -1: a new one
  std::string title_;
  std::vector<int> controls_;
  std::map<int, std::string> texts_;
  std::map<int, bool> checks_;
  std::map<int, std::vector<std::string>> choices_;
};

class DeclarationsDialog {
 public:
  // `lock` guards project changes against the backup writer.
  DeclarationsDialog(project::Project& project, Prompter& prompter, std::recursive_mutex& lock);

  std::string title() const;  // "Quillset - Registry and environment"
  // The kinds Add offers, in DeclarationKind order.
  const std::vector<std::string>& kinds() const;
  // Registry values, associations, PATH entries, variables.
  const std::vector<project::DeclarationRow>& rows() const { return rows_; }
  int revision() const { return revision_; }
  // The list's selection moved to `row` (-1: none).
  void select(int row);
  int selection() const { return selection_; }
  bool can_change() const { return selection_ >= 0; }  // Edit and Remove
  // What the checks find in the declarations as they are (after a change
  // of the install scope, say), one a line; empty when nothing.
  std::string problems() const;

  // A new declaration of `kind` (a position in kinds()).
  std::unique_ptr<DeclarationEdit> add(int kind);
  // The selected one; nullptr without a selection.
  std::unique_ptr<DeclarationEdit> edit() const;
  // OK in an edit dialog: false (the author told why) when the declaration
  // cannot be carried or brings a problem; true once it is in the project,
  // selected in the list.
  bool finish(const DeclarationEdit& edit);
  // Remove: asks, then takes the selected one out.
  void remove();

 private:
  void refresh();
  // The kind of `row` and its position within its kind.
  std::pair<DeclarationKind, int> locate(int row) const;
  int row_of(DeclarationKind kind, int index) const;

  project::Project& project_;
  Prompter& prompter_;
  std::recursive_mutex& lock_;
  std::vector<project::DeclarationRow> rows_;
  int revision_ = 0;
  int selection_ = -1;
};

}  // namespace quill::editor
