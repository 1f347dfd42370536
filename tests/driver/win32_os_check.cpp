// win32_os_check.exe: exercises the Win32 backend of the OS boundary under
// Wine and reads every result back through the system itself (its wide
// calls; the backend's names are UTF-8). Prints one line per failed check
// and "checks: N failed: M"; exits 1 on any failure.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "os/win32_os.h"
#include "os/win32_text.h"

using quill::os::Error;
using quill::os::OpenMode;
using quill::os::RegistryRoot;
using quill::os::SpecialFolder;
using quill::os::narrow;
using quill::os::wide;

namespace {

int g_checks = 0;
int g_failed = 0;

void check(bool ok, const std::string& what) {
  ++g_checks;
  if (!ok) {
    ++g_failed;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

// Windows' comparison of names ignoring letter case.
bool same_name(const std::string& a, const std::string& b) {
  return lstrcmpiW(wide(a).c_str(), wide(b).c_str()) == 0;
}

std::string read_all(quill::os::Os& os, const std::string& path) {
  auto file = os.open_file(path, OpenMode::read);
  if (!file) return "<unreadable>";
  std::string text(static_cast<std::size_t>(file->size()), '\0');
  text.resize(file->read(&text[0], text.size()));
  return text;
}

bool write_all(quill::os::Os& os, const std::string& path, const std::string& text,
               OpenMode mode = OpenMode::write) {
  auto file = os.open_file(path, mode);
  return file && file->write(text.data(), text.size());
}

void files_and_folders(quill::os::Win32Os& os, const std::string& root) {
  const std::string file = root + "a.txt";
  check(write_all(os, file, "abc"), "write a new file");
  check(write_all(os, file, "def", OpenMode::append), "append to it");
  check(read_all(os, file) == "abcdef", "append mode writes at the end");
  check(write_all(os, file, "xy"), "rewrite truncates");
  check(read_all(os, file) == "xy", "write mode truncates: " + read_all(os, file));
  {
    auto f = os.open_file(file, OpenMode::read);
    char c = 0;
    check(f && f->seek(1) && f->read(&c, 1) == 1 && c == 'y' && f->tell() == 2, "seek, read, tell");
  }
  quill::os::FileStatus status = os.file_status(file);
  check(status.exists && !status.is_folder && status.size == 2, "status of a file");
  check(!os.file_status(root + "missing").exists, "status of a missing file");
  Error error = Error::none;
  check(!os.open_file(root + "missing", OpenMode::read, &error) && error == Error::not_found,
        "opening a missing file answers not_found");

  const std::string sub = root + "sub";
  check(os.create_folder(sub) == Error::none, "create a folder");
  check(os.create_folder(sub) == Error::exists, "an existing folder answers exists");
  check(os.create_folder(root + "no\\such") == Error::not_found, "a missing parent answers not_found");
  check(os.file_status(sub).is_folder, "status of a folder");
  check(write_all(os, sub + "\\inner.txt", "1"), "file in the folder");
  std::vector<quill::os::FolderEntry> entries;
  check(os.list_folder(sub, &entries) == Error::none && entries.size() == 1 &&
            entries[0].name == "inner.txt" && !entries[0].is_folder && entries[0].size == 1,
        "listing skips . and .. and reports the file");
  check(os.list_folder(root + "nowhere", &entries) != Error::none, "listing a missing folder fails");
  check(os.remove_folder(sub) == Error::not_empty, "removing a non-empty folder answers not_empty");

  check(os.set_read_only(file, true) == Error::none && os.file_status(file).read_only,
        "set read-only");
  check(os.delete_file(file) == Error::access_denied, "a read-only file refuses deletion");
  // 2020-05-17 13:45:30 as an MS-DOS date and time.
  const std::uint32_t dos = ((40u << 9 | 5u << 5 | 17u) << 16) | (13u << 11 | 45u << 5 | 15u);
  check(os.set_file_time(file, dos) == Error::none, "set the time of a read-only file");
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  WORD date = 0, time = 0;
  GetFileAttributesExW(wide(file).c_str(), GetFileExInfoStandard, &data);
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  check((static_cast<std::uint32_t>(date) << 16 | time) == dos, "the file time reads back");
  check(os.set_read_only(file, false) == Error::none && !os.file_status(file).read_only,
        "clear read-only");

  const std::string copy = root + "copy.txt";
  check(os.copy_file(file, copy, true) == Error::none && read_all(os, copy) == "xy", "copy a file");
  check(write_all(os, file, "new"), "change the source");
  check(os.copy_file(file, copy, true) == Error::exists, "copy refuses to replace when asked");
  check(os.copy_file(file, copy, false) == Error::none && read_all(os, copy) == "new",
        "copy replaces otherwise");

  check(os.delete_file(sub + "\\inner.txt") == Error::none && os.remove_folder(sub) == Error::none,
        "delete a file and remove its emptied folder");
  check(os.delete_file(file) == Error::none && os.delete_file(copy) == Error::none,
        "delete files");
  check(os.delete_file(file) == Error::not_found, "deleting a missing file answers not_found");
}

void places(quill::os::Win32Os& os) {
  std::string temp = os.temp_folder();
  check(!temp.empty() && temp.back() == '\\' && os.file_status(temp).is_folder,
        "temp folder ends in a backslash: " + temp);
  std::string self = os.module_path();
  check(self.size() > 4 && os.file_status(self).exists, "module path names this program: " + self);
  std::uint64_t megabytes = 0;
  check(os.free_megabytes("C:\\some\\folder", &megabytes) && megabytes > 0, "free space of drive C");
  check(!os.free_megabytes("\\\\nosuchserver\\share", &megabytes), "no free space for an unknown share");
  const SpecialFolder folders[] = {SpecialFolder::program_files, SpecialFolder::windows,
                                   SpecialFolder::system,        SpecialFolder::desktop,
                                   SpecialFolder::programs,      SpecialFolder::app_data,
                                   SpecialFolder::profile};
  for (SpecialFolder which : folders) {
    std::string path = os.special_folder(which);
    check(!path.empty() && path.back() != '\\' && os.file_status(path).is_folder,
          "special folder " + std::to_string(static_cast<int>(which)) + ": " + path);
  }
}

void registry(quill::os::Win32Os& os) {
  const RegistryRoot user = RegistryRoot::current_user;
  const std::string key = "Software\\QuillOsCheck";
  check(!os.registry_key_exists(user, key), "the test key starts absent");
  check(os.registry_write_string(user, key, "Text", "value") == Error::none, "write a string");
  std::string text;
  check(os.registry_read_string(user, key, "Text", &text) == Error::none && text == "value",
        "read the string back");
  check(os.registry_read_string(user, key, "Text", &text, 3) == Error::none && text == "val",
        "a read is cut at max_length");
  std::uint32_t number = 0;
  check(os.registry_write_dword(user, key, "Number", 7) == Error::none &&
            os.registry_read_dword(user, key, "Number", &number) == Error::none && number == 7,
        "write and read a number");
  check(os.registry_read_string(user, key, "Number", &text) == Error::not_found,
        "a number read as a string answers not_found");
  check(os.registry_read_dword(user, key, "Text", &number) == Error::not_found,
        "a string read as a number answers not_found");
  check(os.registry_read_string(user, key, "Absent", &text) == Error::not_found, "missing value");
  check(os.registry_create_key(user, key + "\\A\\B\\C") == Error::none &&
            os.registry_write_string(user, key + "\\A\\B", "Deep", "x") == Error::none,
        "create a key chain");
  check(os.registry_delete_key(user, key, "") != Error::none && os.registry_key_exists(user, key),
        "an empty subkey never deletes the parent");
  check(os.registry_delete_key(user, "Software", "QuillOsCheck") == Error::none &&
            !os.registry_key_exists(user, key),
        "a key is deleted with everything below it");
  check(os.registry_delete_key(user, "Software", "QuillOsCheck") == Error::not_found,
        "deleting a missing key answers not_found");
}

// A shortcut's target and working folder, read through the shell link object.
void read_shortcut(const std::string& link_path, std::string* target, std::string* folder) {
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t path[MAX_PATH] = {}, directory[MAX_PATH] = {};
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(wide(link_path).c_str(), STGM_READ))) {
        // The target from the link's item list, which holds the names in
        // UTF-16. (GetPath answers from the link's volume information, which
        // Wine writes in the ANSI code page only.)
        LPITEMIDLIST items = nullptr;
        if (SUCCEEDED(link->GetIDList(&items)) && items) {
          SHGetPathFromIDListW(items, path);
          CoTaskMemFree(items);
        }
        link->GetWorkingDirectory(directory, MAX_PATH);
      }
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  *target = narrow(path);
  *folder = narrow(directory);
}

void shell(quill::os::Win32Os& os, const std::string& root) {
  const std::string target = root + "target.txt";
  write_all(os, target, "t");
  quill::os::Shortcut shortcut;
  shortcut.link_path = root + "Link.lnk";
  shortcut.target = target;
  shortcut.working_folder = root;
  check(os.create_shortcut(shortcut) == Error::none && os.file_status(shortcut.link_path).exists,
        "create a shortcut");
  std::string path, folder;
  read_shortcut(shortcut.link_path, &path, &folder);
  check(same_name(path, target), "shortcut target: " + path);
  check(same_name(folder, root) || same_name(folder + "\\", root), "shortcut working folder: " + folder);
  check(os.create_shortcut({root + "no\\such\\Link.lnk", target, "", ""}) != Error::none,
        "a shortcut into a missing folder fails");
  os.notify_folder_created(root);
  check(os.shell_open(root + "missing.txt") != Error::none, "opening a missing file fails");
  check(os.start_program(root + "missing.exe", "") != Error::none, "starting a missing program fails");
  os.delete_file(shortcut.link_path);
  os.delete_file(target);
}

// Renames, attributes, the last-write time and long names.
void later_additions(quill::os::Win32Os& os, const std::string& root) {
  const std::string from = root + "m1.txt", to = root + "m2.txt";
  write_all(os, from, "moved");
  os.set_read_only(from, true);
  check(os.move_file(from, to) == Error::none, "moving a read-only file");
  check(!os.file_status(from).exists && read_all(os, to) == "moved", "the move kept the bytes");
  write_all(os, from, "other");
  check(os.move_file(from, to) != Error::none && read_all(os, to) == "moved",
        "a move onto an existing file fails");

  check(os.set_attributes(from, 0x23) == Error::none, "setting attributes");
  DWORD bits = GetFileAttributesW(wide(from).c_str());
  check((bits & 0x27) == 0x23, "read-only, hidden and archive set: " + std::to_string(bits));
  check(os.set_attributes(from, 0) == Error::none && (GetFileAttributesW(wide(from).c_str()) & 0x07) == 0,
        "no attributes: neither read-only, hidden nor system");

  // (Wine keeps no creation time of its own, so only the last write is read.)
  FILETIME written = {};
  check(os.set_file_time(from, 0x5A8C6000u) == Error::none, "setting the time");
  HANDLE h = CreateFileW(wide(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  GetFileTime(h, nullptr, nullptr, &written);
  CloseHandle(h);
  FILETIME local;
  WORD date = 0, time = 0;
  FileTimeToLocalFileTime(&written, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  check(date == 0x5A8C && time == 0x6000, "the entry's time is the last-write time");

  const std::string long_folder = root + "A Long Folder Name";
  os.create_folder(long_folder);
  wchar_t short_wide[MAX_PATH] = {};
  GetShortPathNameW(wide(long_folder).c_str(), short_wide, MAX_PATH);
  const std::string short_path = narrow(short_wide);
  check(short_path != long_folder, "a short name exists: " + short_path);
  check(same_name(os.long_path_name(short_path), long_folder),
        "short name resolved: " + os.long_path_name(short_path));
  check(same_name(os.long_path_name(short_path + "\\missing\\x"), long_folder + "\\missing\\x"),
        "missing parts kept: " + os.long_path_name(short_path + "\\missing\\x"));
  const std::string tilde = root + "My~1Tool";
  os.create_folder(tilde);
  check(same_name(os.long_path_name(tilde), tilde), "a real My~1Tool stays: " + os.long_path_name(tilde));
  check(os.shell_open_default(root + "missing.txt") != Error::none,
        "the default verb on a missing file fails");
  os.remove_folder(tilde);
  os.remove_folder(long_folder);
  os.delete_file(from);
  os.set_read_only(to, false);
  os.delete_file(to);
}

// Folders made with an access list of their own, never over what is there;
// names nobody can guess; deletion at the next start.
void secured_folders(quill::os::Win32Os& os, const std::string& root) {
  const std::string work = root + "private", program = root + "program";
  check(os.create_folder_secured(work, quill::os::FolderAccess::private_work) == Error::none,
        "make a private folder");
  check(os.create_folder_secured(work, quill::os::FolderAccess::private_work) == Error::exists,
        "an existing folder is never adopted");
  check(write_all(os, root + "taken", "x") &&
            os.create_folder_secured(root + "taken", quill::os::FolderAccess::machine_program) ==
                Error::exists,
        "nor a file in its place");
  check(os.create_folder_secured(program, quill::os::FolderAccess::machine_program) == Error::none,
        "make a program folder");
  // (Wine 8 keeps no access list of a folder: it reads back a default one,
  // so the lists themselves are not read back here.)
  check(write_all(os, work + "\\inside.txt", "in") && read_all(os, work + "\\inside.txt") == "in",
        "the maker writes in its private folder");
  check(!os.file_status(work).is_link && !os.file_status(root + "taken").is_link,
        "plain files and folders are no links");
  const std::string a = os.unpredictable_name(), b = os.unpredictable_name();
  check(a.size() == 16 && a.find_first_not_of("0123456789abcdef") == std::string::npos && a != b,
        "unpredictable names: " + a + " " + b);
  check(os.delete_file_later(work + "\\inside.txt") == Error::none, "delete at the next start");
  os.delete_file(work + "\\inside.txt");
  os.delete_file(root + "taken");
  os.remove_folder(work);
  os.remove_folder(program);
}

// Files in use, the next start's renames and the setup lock.
void in_use(quill::os::Win32Os& os, const std::string& root) {
  const std::string target = root + "held.txt", written = root + "~held.new";
  check(write_all(os, target, "old") && write_all(os, written, "new"), "write the pair");
  check(!os.file_in_use(target), "a file nobody holds is not in use");
  HANDLE held = CreateFileW(wide(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  check(held != INVALID_HANDLE_VALUE && os.file_in_use(target), "a file held sharing nothing is in use");
  std::vector<std::string> programs;
  const Error named = os.programs_using_file(target, &programs);
  // Where the Restart Manager answers, it names this program.
  std::printf("programs using a held file: %s", named == Error::none ? "" : "(the system cannot tell)");
  for (const std::string& program : programs) std::printf(" [%s]", program.c_str());
  std::printf("\n");
  check(os.replace_file_later(written, target) == Error::none, "replace at the next start");
  check(os.cancel_later(written) == Error::none, "take the replacement back");
  check(os.cancel_later(written) == Error::not_found, "taken back once");
  CloseHandle(held);
  os.delete_file(target);
  os.delete_file(written);

  Error error = Error::io;
  auto first = os.take_lock("Quillset-check", &error);
  check(first && error == Error::none, "take a lock");
  check(!os.take_lock("Quillset-check", &error) && error == Error::exists, "the lock is taken");
  first.reset();
  check(os.take_lock("Quillset-check", &error) != nullptr, "a lock let go is free again");
}

// Names outside every ANSI code page, through each kind of call: made with
// UTF-8 names here and found by the system under their UTF-16 ones.
void unicode_names(quill::os::Win32Os& os) {
  const std::string top = "C:\\Ünï 日本", folder = top + "\\données";
  check(os.create_folder(top) == Error::none && os.create_folder(folder) == Error::none,
        "create " + folder);
  const DWORD bits = GetFileAttributesW(L"C:\\Ünï 日本\\données");
  check(bits != INVALID_FILE_ATTRIBUTES && (bits & FILE_ATTRIBUTE_DIRECTORY) != 0,
        "the system knows the folder by its name");
  const std::string file = folder + "\\日本語.txt";
  check(write_all(os, file, "日本") && read_all(os, file) == "日本", "write and read " + file);
  check(GetFileAttributesW(L"C:\\Ünï 日本\\données\\日本語.txt") != INVALID_FILE_ATTRIBUTES,
        "the system knows the file by its name");
  std::vector<quill::os::FolderEntry> entries;
  check(os.list_folder(folder, &entries) == Error::none && entries.size() == 1 &&
            entries[0].name == "日本語.txt",
        "the listing names the file in UTF-8: " + (entries.empty() ? "" : entries[0].name));
  const std::string greek = folder + "\\Ελληνικά.txt";
  check(os.move_file(file, greek) == Error::none && !os.file_status(file).exists &&
            os.file_status(greek).size == 6,
        "rename to " + greek);
  check(read_all(os, folder + "\\ΕΛΛΗΝΙΚΆ.TXT") == "日本", "Greek letters compare ignoring case");

  const RegistryRoot user = RegistryRoot::current_user;
  const std::string key = "Software\\QuillOsCheck\\Ключ 日本";
  std::string text;
  check(os.registry_write_string(user, key, "Wert Ü 日本", "Данные 日本語") == Error::none &&
            os.registry_read_string(user, key, "Wert Ü 日本", &text) == Error::none &&
            text == "Данные 日本語",
        "a registry value's name and data: " + text);
  check(os.registry_read_string(user, key, "Wert Ü 日本", &text, 6) == Error::none && text == "Данные",
        "a read is cut at max_length characters: " + text);
  HKEY handle = nullptr;
  wchar_t data[64] = {};
  DWORD type = 0, size = sizeof data - sizeof data[0];
  const bool found = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuillOsCheck\\Ключ 日本", 0, KEY_READ,
                                   &handle) == ERROR_SUCCESS &&
                     RegQueryValueExW(handle, L"Wert Ü 日本", nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
  if (handle) RegCloseKey(handle);
  check(found && type == REG_SZ && quill::os::WideString(data) == L"Данные 日本語",
        "the system reads the value as UTF-16: " + narrow(data));
  check(os.registry_delete_key(user, "Software", "QuillOsCheck") == Error::none, "delete the keys");

  quill::os::Shortcut shortcut;
  shortcut.link_path = top + "\\Café 日本.lnk";
  shortcut.target = greek;
  shortcut.working_folder = folder;
  check(os.create_shortcut(shortcut) == Error::none &&
            GetFileAttributesW(L"C:\\Ünï 日本\\Café 日本.lnk") != INVALID_FILE_ATTRIBUTES,
        "create " + shortcut.link_path);
  std::string target, working;
  read_shortcut(shortcut.link_path, &target, &working);
  check(same_name(target, greek) && same_name(working, folder),
        "the shortcut reads back: " + target + " in " + working);

  check(os.delete_file(shortcut.link_path) == Error::none && os.delete_file(greek) == Error::none &&
            os.remove_folder(folder) == Error::none && os.remove_folder(top) == Error::none,
        "delete them all");
  check(GetFileAttributesW(L"C:\\Ünï 日本") == INVALID_FILE_ATTRIBUTES, "nothing is left");
}

}  // namespace

int main() {
  quill::os::Win32Os os;
  std::string root = os.temp_folder() + "quill_os_check\\";
  os.create_folder(root.substr(0, root.size() - 1));
  files_and_folders(os, root);
  places(os);
  registry(os);
  shell(os, root);
  later_additions(os, root);
  secured_folders(os, root);
  in_use(os, root);
  unicode_names(os);
  os.remove_folder(root.substr(0, root.size() - 1));
  std::printf("checks: %d failed: %d\n", g_checks, g_failed);
  return g_failed == 0 ? 0 : 1;
}
