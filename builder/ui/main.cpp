// Quillset.exe: the builder's entry routine.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>

#include "builder/editor/startup.h"
#include "builder/ui/main_window.h"
#include "os/win32_os.h"
#include "os/win32_system_dll.h"
#include "os/win32_text.h"

namespace {

// The command line after the program's name, in UTF-8: the name ends at its
// closing quote when it starts with one, else at the first blank; the blanks
// after it go too.
std::string arguments_of_command_line() {
  const wchar_t* line = GetCommandLineW();
  if (!line) return std::string();
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return quill::os::narrow(line);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  quill::os::search_dlls_in_system_folder_only();
  // The rich edit class of the folder properties dialog (RichEdit20W).
  quill::os::load_system_dll("riched20.dll");
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The folder browser needs COM on this thread.
  OleInitialize(nullptr);
  {
    quill::os::Win32Os os;
    quill::editor::remember_command_line(os, arguments_of_command_line());
  }
  quill::ui::run_main_window(instance);
  OleUninitialize();
  return 0;
}
