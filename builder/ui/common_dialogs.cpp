// Common dialogs.
#include "builder/ui/common_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace quill::ui {

namespace {

std::vector<char> filter_text(const FileFilter& filter) {
  std::vector<char> text(filter.description.begin(), filter.description.end());
  text.push_back('\0');
  text.insert(text.end(), filter.pattern.begin(), filter.pattern.end());
  text.push_back('\0');
  text.push_back('\0');
  return text;
}

bool run_file_dialog(HWND owner, const FileFilter& filter, const std::string& default_extension,
                     bool save, DWORD flags, std::string* path) {
  std::vector<char> filters = filter_text(filter);
  char file[MAX_PATH] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filters.data();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = default_extension.empty() ? nullptr : default_extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | flags;
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  *path = file;
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
  char display[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (!chosen) return false;
  char folder[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListA(chosen, folder);
  CoTaskMemFree(chosen);
  if (!ok) return false;
  *path = folder;
  return true;
}

}  // namespace quill::ui
