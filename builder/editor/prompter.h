// How the editor reaches the author: questions, messages and the choice of
// a file or folder. Every box the editor opens has the caption "Quillset".
//
// Win32 side: implement Prompter with MessageBoxW (caption "Quillset", owner
// the main window unless `owned` is false), GetOpenFileNameW /
// GetSaveFileNameW (explorer style, hide read-only, 260-character buffer,
// the flags of FileDialog) and SHBrowseForFolderW + SHGetPathFromIDListW.
// Tests and benchmarks answer with ScriptedPrompter (scripted_prompter.h).
#pragma once

#include <string>

namespace quill::editor {

enum class Answer { yes, no, cancel };
enum class Buttons { ok, yes_no, yes_no_cancel };
enum class Icon { none, question, warning, information, error };

// An open-file or save-file dialog. The filter is one pair: its display
// name ("Quillset files (*.qsp)") and its pattern ("*.qsp").
struct FileDialog {
  std::string filter_name;
  std::string pattern;
  std::string default_extension;  // empty: none ("qsp", "exe")
  bool prompt_overwrite = false;  // save dialogs: ask before replacing
  bool folder_must_exist = false;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A question box. `owned` false: a box without owner window (the
  // association question at start-up). Buttons::ok answers yes.
  virtual Answer ask(const std::string& text, Buttons buttons, Icon icon, bool owned = true) = 0;
  // A message box with an OK button.
  virtual void tell(const std::string& text, Icon icon) = 0;
  // False when the author cancels; `path` is at most 259 characters.
  virtual bool choose_file_to_open(const FileDialog& dialog, std::string* path) = 0;
  virtual bool choose_file_to_save(const FileDialog& dialog, std::string* path) = 0;
  // The folder browser titled `title`; false when cancelled.
  virtual bool choose_folder(const std::string& title, std::string* path) = 0;
};

}  // namespace quill::editor
