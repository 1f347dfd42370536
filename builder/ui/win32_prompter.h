// The editor's questions, messages and file and folder choices as Windows
// message boxes and common dialogs.
#pragma once

#include <windows.h>

#include "builder/editor/prompter.h"

namespace quill::ui {

class Win32Prompter : public editor::Prompter {
 public:
  // The boxes' owner: the main window once it exists.
  void set_owner(HWND owner) { owner_ = owner; }

  editor::Answer ask(const std::string& text, editor::Buttons buttons, editor::Icon icon,
                     bool owned = true) override;
  void tell(const std::string& text, editor::Icon icon) override;
  bool choose_file_to_open(const editor::FileDialog& dialog, std::string* path) override;
  bool choose_file_to_save(const editor::FileDialog& dialog, std::string* path) override;
  bool choose_folder(const std::string& title, std::string* path) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace quill::ui
