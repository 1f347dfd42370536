// Quillset.exe: the builder's entry routine.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "builder/editor/startup.h"
#include "builder/ui/main_window.h"
#include "os/win32_os.h"
#include "os/win32_system_dll.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  quill::os::search_dlls_in_system_folder_only();
  // The rich edit class of the folder properties dialog.
  quill::os::load_system_dll("riched32.dll");
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
