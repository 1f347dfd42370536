// Message boxes and common dialogs for the editor.
#include "builder/ui/win32_prompter.h"

#include "builder/editor/messages.h"
#include "builder/ui/common_dialogs.h"
#include "os/win32_text.h"

namespace quill::ui {

namespace {

UINT icon_style(editor::Icon icon) {
  switch (icon) {
    case editor::Icon::question: return MB_ICONQUESTION;
    case editor::Icon::warning: return MB_ICONWARNING;
    case editor::Icon::information: return MB_ICONINFORMATION;
    case editor::Icon::error: return MB_ICONERROR;
    case editor::Icon::none: break;
  }
  return 0;
}

UINT button_style(editor::Buttons buttons) {
  switch (buttons) {
    case editor::Buttons::yes_no: return MB_YESNO;
    case editor::Buttons::yes_no_cancel: return MB_YESNOCANCEL;
    case editor::Buttons::ok: break;
  }
  return MB_OK;
}

// The file dialog's owner: the main window, or the box in front of it.
HWND front_owner(HWND owner) { return owner ? GetLastActivePopup(owner) : nullptr; }

}  // namespace

editor::Answer Win32Prompter::ask(const std::string& text, editor::Buttons buttons, editor::Icon icon,
                                  bool owned) {
  int answer = MessageBoxW(owned ? front_owner(owner_) : nullptr, os::wide(text).c_str(),
                           os::wide(editor::text::kCaption).c_str(), button_style(buttons) | icon_style(icon));
  switch (answer) {
    case IDYES:
    case IDOK: return editor::Answer::yes;
    case IDNO: return editor::Answer::no;
    default: return editor::Answer::cancel;
  }
}

void Win32Prompter::tell(const std::string& text, editor::Icon icon) {
  MessageBoxW(front_owner(owner_), os::wide(text).c_str(), os::wide(editor::text::kCaption).c_str(),
              MB_OK | icon_style(icon));
}

bool Win32Prompter::choose_file_to_open(const editor::FileDialog& dialog, std::string* path) {
  return choose_open_file(front_owner(owner_), {dialog.filter_name, dialog.pattern}, path);
}

bool Win32Prompter::choose_file_to_save(const editor::FileDialog& dialog, std::string* path) {
  return choose_save_file(front_owner(owner_), {dialog.filter_name, dialog.pattern}, dialog.default_extension,
                          dialog.prompt_overwrite, dialog.folder_must_exist, path);
}

bool Win32Prompter::choose_folder(const std::string& title, std::string* path) {
  return ui::choose_folder(owner_, title, path);
}

}  // namespace quill::ui
