#include "builder/editor/macros_dialog.h"

#include <algorithm>
#include <cctype>

#include "builder/editor/messages.h"
#include "common/limits.h"

namespace quill::editor {

using namespace macro_control;

namespace {


int compare_folded(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int x = std::tolower(static_cast<unsigned char>(a[i]));
    int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool is_text_macro(const project::Macro& macro) { return macro.key.empty() && macro.value_name.empty(); }

}  // namespace

MacrosDialog::MacrosDialog(project::Project& project, Prompter& prompter, std::recursive_mutex& lock)
    : project_(project), prompter_(prompter), lock_(lock) {
  for (int id : {kList, kRootKey, kRegistry, kText, kTextValue, kKey, kValueName, kName}) controls_[id] = {};
  controls_[kNewOk] = {"New", true, false};
  controls_[kRemoveCancel] = {"Remove", false, false};
  controls_[kList].enabled = true;
}

std::string MacrosDialog::title() const { return std::string(text::kCaption) + " - Macros"; }

const DialogControl& MacrosDialog::control(int id) const {
  static const DialogControl none;
  auto it = controls_.find(id);
  return it == controls_.end() ? none : it->second;
}

int MacrosDialog::position_of_slot(int slot) const {
  for (std::size_t i = 0; i < list_.size(); ++i) {
    if (list_[i].slot == slot) return static_cast<int>(i);
  }
  return -1;
}

void MacrosDialog::insert_listed(const std::string& name, int slot) {
  auto at = std::upper_bound(list_.begin(), list_.end(), name, [](const std::string& n, const MacroListItem& item) {
    return compare_folded(n, item.name) < 0;
  });
  int position = static_cast<int>(at - list_.begin());
  list_.insert(at, {name, slot});
  if (selection_ >= position) ++selection_;
  ++list_revision_;
}

void MacrosDialog::initialise() {
  root_keys_ = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                "HKEY_USERS"};
  list_.clear();
  selection_ = -1;
  for (int slot = 0; slot < project::kMacroSlots; ++slot) {
    if (!project_.macro(slot).name.empty()) insert_listed(project_.macro(slot).name, slot);
  }
  ++list_revision_;
  controls_[kRemoveCancel].enabled = !list_.empty();
}

void MacrosDialog::set_text(int id, const std::string& text) {
  auto it = controls_.find(id);
  if (it != controls_.end()) it->second.text = text.substr(0, kMaxPathLength);
}

void MacrosDialog::enable(std::initializer_list<int> ids, bool on) {
  for (int id : ids) controls_[id].enabled = on;
}

void MacrosDialog::click(int id) {
  switch (id) {
    case kNewOk:
      adding_ ? confirm() : start_adding();
      return;
    case kRemoveCancel:
      adding_ ? end_adding() : remove();
      return;
    case kRegistry:
      controls_[kRegistry].checked = true;
      controls_[kText].checked = false;
      enable({kRootKey, kKey, kValueName}, true);
      enable({kTextValue}, false);
      return;
    case kText:
      controls_[kText].checked = true;
      controls_[kRegistry].checked = false;
      enable({kRootKey, kKey, kValueName}, false);
      enable({kTextValue}, true);
      return;
    default: return;
  }
}

void MacrosDialog::start_adding() {
  adding_ = true;
  controls_[kNewOk].text = "OK";
  controls_[kRemoveCancel].text = "Cancel";
  for (int id : {kKey, kValueName, kTextValue, kName}) controls_[id].text.clear();
  enable({kRootKey, kKey, kValueName, kRegistry, kText, kTextValue, kRemoveCancel, kName}, true);
  enable({kTextValue}, false);
  controls_[kRegistry].checked = true;
  controls_[kText].checked = false;
}

void MacrosDialog::confirm() {
  const std::string name = controls_[kName].text;
  if (name.empty()) {
    prompter_.tell(text::kMacroWithoutName, Icon::warning);
    return;
  }
  if (name[0] != '%') {
    prompter_.tell(text::kMacroWithoutPercent, Icon::warning);
    return;
  }
  project::Macro macro;
  macro.name = name;
  if (controls_[kText].checked) {
    macro.value = controls_[kTextValue].text;
  } else {
    macro.value = controls_[kRootKey].text;
    macro.key = controls_[kKey].text;
    macro.value_name = controls_[kValueName].text;
  }
  int slot;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    // The table's count rises with the record, never past the table.
    slot = project_.add_macro(macro);
  }
  if (slot >= project::kMacroSlots) {
    // A full table: the author keeps what was typed and may cancel.
    prompter_.tell(text::kMacroTableFull, Icon::warning);
    return;
  }
  insert_listed(name, slot);
  end_adding();
}

void MacrosDialog::end_adding() {
  controls_[kNewOk].text = "New";
  controls_[kRemoveCancel].text = "Remove";
  enable({kRootKey, kKey, kValueName, kRegistry, kText, kTextValue, kName}, false);
  controls_[kRemoveCancel].enabled = !list_.empty();
  adding_ = false;
}

void MacrosDialog::remove() {
  if (selection_ < 0 || selection_ >= static_cast<int>(list_.size())) return;
  int slot = list_[selection_].slot;
  {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (slot >= 0 && slot < project::kMacroSlots) project_.remove_macro(slot);
  }
  list_.erase(list_.begin() + selection_);
  selection_ = -1;
  ++list_revision_;
  for (int id : {kName, kKey, kValueName, kTextValue}) controls_[id].text.clear();
  if (list_.empty()) controls_[kRemoveCancel].enabled = false;
}

void MacrosDialog::select(int position) {
  if (position < 0 || position >= static_cast<int>(list_.size())) {
    selection_ = -1;
    return;
  }
  selection_ = position;
  int slot = list_[position].slot;
  if (slot < 0 || slot >= project::kMacroSlots) return;
  const project::Macro& macro = project_.macro(slot);
  controls_[kName].text = macro.name;
  const bool text_kind = is_text_macro(macro);
  controls_[kText].checked = text_kind;
  controls_[kRegistry].checked = !text_kind;
  if (text_kind) {
    controls_[kTextValue].text = macro.value;
    controls_[kKey].text.clear();
    controls_[kValueName].text.clear();
    return;
  }
  // As a drop-down list selects by a text's beginning, ignoring case; a
  // value no root key begins with leaves the selection as it was.
  for (const std::string& key : root_keys_) {
    if (key.size() >= macro.value.size() && compare_folded(key.substr(0, macro.value.size()), macro.value) == 0) {
      controls_[kRootKey].text = key;
      break;
    }
  }
  controls_[kKey].text = macro.key;
  controls_[kValueName].text = macro.value_name;
  controls_[kTextValue].text.clear();
}

void MacrosDialog::close() {
  if (adding_) end_adding();
}

}  // namespace quill::editor
