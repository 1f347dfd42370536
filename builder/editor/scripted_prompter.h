// A Prompter that answers from a script and records what was put to the
// author: for tests, benchmarks and any front end without dialogs.
// Win32 side: not used (the main window has its own Prompter).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "builder/editor/prompter.h"

namespace quill::editor {

class ScriptedPrompter : public Prompter {
 public:
  // Queued answers, taken in order. An empty queue answers a question with
  // `default_answer` and cancels a file or folder choice.
  std::deque<Answer> answers;
  std::deque<std::string> files;    // for both open and save choices; "" cancels
  std::deque<std::string> folders;  // "" cancels
  Answer default_answer = Answer::no;

  // Every box and dialog, in order: "ask:<text>", "tell:<text>",
  // "open:<filter name>", "save:<filter name>", "folder:<title>".
  std::vector<std::string> log;

  Answer ask(const std::string& text, Buttons buttons, Icon icon, bool owned = true) override;
  void tell(const std::string& text, Icon icon) override;
  bool choose_file_to_open(const FileDialog& dialog, std::string* path) override;
  bool choose_file_to_save(const FileDialog& dialog, std::string* path) override;
  bool choose_folder(const std::string& title, std::string* path) override;

  // Number of log lines that begin with `prefix`.
  int count(const std::string& prefix) const;
  // The last "tell:" text, empty when none.
  std::string last_message() const;

 private:
  bool take_file(std::string* path);
};

}  // namespace quill::editor
