// Quillset.exe: the builder's entry routine.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "builder/editor/startup.h"
#include "builder/ui/main_window.h"
#include "os/win32_os.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  // The rich edit class of the folder properties dialog.
  LoadLibraryA("RichEd32.dll");
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // The folder browser needs COM on this thread.
  OleInitialize(nullptr);
  {
    quill::os::Win32Os os;
    quill::editor::remember_command_line(os, command_line ? command_line : "");
  }
  quill::ui::run_main_window(instance);
  OleUninitialize();
  return 0;
}
