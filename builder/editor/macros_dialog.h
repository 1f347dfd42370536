// The macros dialog (template 107) without a window system: the state of
// its controls and the rules of its buttons. Every addition and removal
// goes to the project's macro table at once.
//
// Win32 side: on WM_INITDIALOG call initialise() and render everything.
// Before each command copy the texts of 1066, 1061, 1062, 1060 and the
// selected text of 1055 in with set_text(); after it render the texts,
// enabled and checked states of control(), and rebuild list 1053 from
// list() when list_revision() changed (item data = the item's slot; the
// list box may sort differently, so map its selection back through
// position_of_slot()).
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "builder/editor/prompter.h"
#include "builder/project/project.h"
#include "resources/quillset_resource.h"

namespace quill::editor {

namespace macro_control {
constexpr int kList = IDC_MACRO_LIST;
constexpr int kRootKey = IDC_MACRO_ROOT_KEY;
constexpr int kRegistry = IDC_MACRO_REGISTRY;
constexpr int kText = IDC_MACRO_TEXT;
constexpr int kTextValue = IDC_MACRO_TEXT_VALUE;
constexpr int kKey = IDC_MACRO_KEY;
constexpr int kValueName = IDC_MACRO_VALUE_NAME;
constexpr int kNewOk = IDC_MACRO_NEW;
constexpr int kRemoveCancel = IDC_MACRO_REMOVE;
constexpr int kName = IDC_MACRO_NAME;
}  // namespace macro_control

struct DialogControl {
  std::string text;  // a button's caption, an edit's text, the list's selected text
  bool enabled = false;
  bool checked = false;
};

struct MacroListItem {
  std::string name;
  int slot = 0;
};

class MacrosDialog {
 public:
  // `lock` guards project changes against the backup writer.
  MacrosDialog(project::Project& project, Prompter& prompter, std::recursive_mutex& lock);

  void initialise();
  // The author typed or chose a text (an edit, or the root key's selection).
  void set_text(int control, const std::string& text);
  // Buttons 1063, 1064 and radios 1058, 1059.
  void click(int control);
  // List 1053's selection changed to `position` in list() (-1: none).
  void select(int position);
  // The close box: adding ends; the dialog ends.
  void close();

  std::string title() const;  // "Quillset - Macros"
  const DialogControl& control(int id) const;
  const std::vector<std::string>& root_keys() const { return root_keys_; }
  // The list in display order (ASCII case-insensitive, as the sorted box).
  const std::vector<MacroListItem>& list() const { return list_; }
  int list_revision() const { return list_revision_; }
  int selection() const { return selection_; }
  int position_of_slot(int slot) const;
  bool adding() const { return adding_; }

 private:
  void start_adding();
  void confirm();
  void end_adding();
  void remove();
  void enable(std::initializer_list<int> ids, bool on);
  void insert_listed(const std::string& name, int slot);

  project::Project& project_;
  Prompter& prompter_;
  std::recursive_mutex& lock_;
  std::map<int, DialogControl> controls_;
  std::vector<std::string> root_keys_;
  std::vector<MacroListItem> list_;
  int list_revision_ = 0;
  int selection_ = -1;
  bool adding_ = false;
};

}  // namespace quill::editor
