// Common dialogs.
#include "builder/ui/common_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <string>

#include "os/win32_text.h"

namespace quill::ui {

namespace {

quill::os::WideString filter_text(const FileFilter& filter) {
  quill::os::WideString text = os::wide(filter.description);
  text.push_back(L'\0');
  text += os::wide(filter.pattern);
  text.push_back(L'\0');
  return text;  // c_str() adds the closing second zero
}

bool run_file_dialog(HWND owner, const FileFilter& filter, const std::string& default_extension,
                     bool save, DWORD flags, std::string* path) {
  const quill::os::WideString filters = filter_text(filter);
  const quill::os::WideString extension = os::wide(default_extension);
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filters.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | flags;
  BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  *path = os::narrow(file);
  return true;
}

}  // namespace

bool choose_open_file(HWND owner, const FileFilter& filter, std::string* path) {
  return run_file_dialog(owner, filter, std::string(), false, 0, path);
}

bool choose_save_file(HWND owner, const FileFilter& filter, const std::string& default_extension,
                      bool prompt_overwrite, bool folder_must_exist, std::string* path) {
  DWORD flags = (prompt_overwrite ? OFN_OVERWRITEPROMPT : 0) | (folder_must_exist ? OFN_PATHMUSTEXIST : 0);
  return run_file_dialog(owner, filter, default_extension, true, flags, path);
}

bool choose_folder(HWND owner, const std::string& title, std::string* path) {
  wchar_t display[MAX_PATH] = {};
  const quill::os::WideString caption = os::wide(title);
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = display;
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (!chosen) return false;
  wchar_t folder[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListW(chosen, folder);
  CoTaskMemFree(chosen);
  if (!ok) return false;
  *path = os::narrow(folder);
  return true;
}

}  // namespace quill::ui
