// DLLs come only from the system folder. The installer and the uninstaller
// run with administrator rights from folders anyone can write to (Downloads,
// the temporary folder), and Windows looks for a DLL named without a path
// beside the program first: a DLL placed there would run inside them.
#pragma once

#include <windows.h>

namespace quill::os {

// Makes the system folder the only folder searched for a DLL loaded later
// by name, by this program or by a system DLL on its behalf, where the
// system offers it (SetDefaultDllDirectories, looked up at run time since
// older systems lack it); elsewhere at least the current folder leaves the
// search. First thing in every program's entry point.
void search_dlls_in_system_folder_only();

// Loads the system DLL `name` ("riched32.dll") from the system folder by
// its full path, its own imports from there too; nullptr when it cannot.
HMODULE load_system_dll(const char* name);

}  // namespace quill::os
