// Loading DLLs from the system folder only; see win32_system_dll.h.
#include "os/win32_system_dll.h"

#include "os/win32_text.h"

#include <string>

namespace quill::os {

void search_dlls_in_system_folder_only() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto set_default_directories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set_default_directories && set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryW(L"");
}

HMODULE load_system_dll(const char* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  // The names given here are ASCII.
  quill::os::WideString path = quill::os::WideString(folder, length) + L"\\";
  for (const char* c = name; *c; ++c) path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // A system without the search flags refuses them; the full path then
  // finds the DLL, and its imports are looked for in its own folder first.
  if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  return module;
}

}  // namespace quill::os
