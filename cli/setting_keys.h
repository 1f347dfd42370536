// The project's plain settings by readable key, as "set" takes them and
// "show" prints them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "builder/project/project.h"

namespace quill::cli {

class EditSession;

struct SettingKey {
  enum Kind { text, path, flag, choice, number, colour };
  std::string name;
  Kind kind = text;
  std::string help;
  std::vector<std::string> choices;  // choice: the values by index; flag: off, on
  int minimum = 0;
  int maximum = 0;
  int control = 0;  // the window's control holding it; 0: a dialog's setting
  std::function<std::string(const project::Project&)> get;
  std::function<void(project::Project&, const std::string&)> put;  // dialog settings
};

// Every key, in the order "show" lists them.
const std::vector<SettingKey>& setting_keys();
const SettingKey* find_setting_key(const std::string& name);

// The value as "set" stores it: checked and turned into the key's own form
// ("on", "#FF0000", an absolute path). Throws Refused.
std::string parse_setting(EditSession& session, const SettingKey& key, const std::string& value);
// Stores a parsed value: window controls through the editor now, dialog
// settings into `model` (the project about to be saved).
void apply_window_setting(EditSession& session, const SettingKey& key, const std::string& value);
void apply_dialog_setting(project::Project& model, const SettingKey& key, const std::string& value);

}  // namespace quill::cli
