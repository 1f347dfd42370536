// Scripted answers for tests and benchmarks.
#include "builder/editor/scripted_prompter.h"

namespace quill::editor {

Answer ScriptedPrompter::ask(const std::string& text, Buttons buttons, Icon, bool) {
  log.push_back("ask:" + text);
  if (buttons == Buttons::ok) return Answer::yes;
  if (answers.empty()) return default_answer;
  Answer answer = answers.front();
  answers.pop_front();
  // A Yes / No box has no Cancel button.
  if (answer == Answer::cancel && buttons == Buttons::yes_no) return Answer::no;
  return answer;
}

void ScriptedPrompter::tell(const std::string& text, Icon) { log.push_back("tell:" + text); }

bool ScriptedPrompter::take_file(std::string* path) {
  if (files.empty()) return false;
  std::string next = files.front();
  files.pop_front();
  if (next.empty()) return false;
  *path = next;
  return true;
}

bool ScriptedPrompter::choose_file_to_open(const FileDialog& dialog, std::string* path) {
  log.push_back("open:" + dialog.filter_name);
  return take_file(path);
}

bool ScriptedPrompter::choose_file_to_save(const FileDialog& dialog, std::string* path) {
  log.push_back("save:" + dialog.filter_name);
  return take_file(path);
}

bool ScriptedPrompter::choose_folder(const std::string& title, std::string* path) {
  log.push_back("folder:" + title);
  if (folders.empty()) return false;
  std::string next = folders.front();
  folders.pop_front();
  if (next.empty()) return false;
  *path = next;
  return true;
}

int ScriptedPrompter::count(const std::string& prefix) const {
  int n = 0;
  for (const std::string& line : log) {
    if (line.compare(0, prefix.size(), prefix) == 0) ++n;
  }
  return n;
}

std::string ScriptedPrompter::last_message() const {
  for (auto it = log.rbegin(); it != log.rend(); ++it) {
    if (it->compare(0, 5, "tell:") == 0) return it->substr(5);
  }
  return "";
}

}  // namespace quill::editor
