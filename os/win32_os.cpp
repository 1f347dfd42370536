// The Win32 backend of the OS boundary: the wide (UTF-16) system calls
// throughout, paths and names converted from and to UTF-8 at each call.
#include "os/win32_os.h"
#include "os/win32_registry_root.h"
#include "os/win32_system_dll.h"
#include "os/win32_text.h"

#include <windows.h>
#include <ntsecapi.h>
#include <objbase.h>
#include <objidl.h>
#include <sddl.h>
#include <shlobj.h>
#include <shellapi.h>
#include <restartmanager.h>

#include <cwchar>

namespace quill::os {
namespace {

Error error_from(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS:
      return Error::none;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
      return Error::not_found;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return Error::exists;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return Error::access_denied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Error::disk_full;
    case ERROR_DIR_NOT_EMPTY:
      return Error::not_empty;
    default:
      return Error::io;
  }
}

Error last_error() { return error_from(GetLastError()); }

// A reparse point: a symbolic link, a junction or a mount point, which
// would carry an operation elsewhere; INVALID_FILE_ATTRIBUTES is none.
bool is_reparse_point(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// True when the process runs with an elevated token (an administrator past
// the consent prompt); false where the system cannot tell.
bool runs_elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const BOOL known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return known && elevation.TokenIsElevated != 0;
}

// The running user's security identifier in text form; empty when unknown.
std::string user_sid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
  std::string text;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::string buffer(size, '\0');
  wchar_t* sid_text = nullptr;
  if (size > 0 && GetTokenInformation(token, TokenUser, &buffer[0], size, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(&buffer[0])->User.Sid, &sid_text)) {
    text = narrow(sid_text);
    LocalFree(sid_text);
  }
  CloseHandle(token);
  return text;
}

// The access list of a secured folder in the system's descriptor language:
// protected from its parent's entries ("P"), every entry inherited by the
// folders and files made inside ("OICI"). Empty when it cannot be formed.
std::string access_list(FolderAccess access) {
  static const char kAdministratorsAndSystem[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  if (access == FolderAccess::machine_program) {
    // Users: read, list and run (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE).
    return std::string(kAdministratorsAndSystem) + "(A;OICI;0x1200a9;;;BU)";
  }
  if (runs_elevated()) return kAdministratorsAndSystem;
  const std::string user = user_sid();
  return user.empty() ? std::string() : "D:P(A;OICI;FA;;;" + user + ")";
}

// Registry calls answer their status directly rather than through GetLastError.
Error registry_error(LONG status) { return error_from(static_cast<DWORD>(status)); }

class Win32File : public File {
 public:
  Win32File(HANDLE handle, bool append) : handle_(handle), append_(append) {}
  ~Win32File() override { CloseHandle(handle_); }

  std::size_t read(void* buffer, std::size_t size) override {
    std::size_t total = 0;
    char* out = static_cast<char*>(buffer);
    while (total < size) {
      DWORD want = static_cast<DWORD>(size - total > 0x40000000u ? 0x40000000u : size - total);
      DWORD got = 0;
      if (!ReadFile(handle_, out + total, want, &got, nullptr) || got == 0) break;
      total += got;
    }
    return total;
  }

  bool write(const void* data, std::size_t size) override {
    if (append_) {
      LARGE_INTEGER zero{};
      SetFilePointerEx(handle_, zero, nullptr, FILE_END);
    }
    const char* in = static_cast<const char*>(data);
    std::size_t total = 0;
    while (total < size) {
      DWORD want = static_cast<DWORD>(size - total > 0x40000000u ? 0x40000000u : size - total);
      DWORD put = 0;
      if (!WriteFile(handle_, in + total, want, &put, nullptr) || put == 0) return false;
      total += put;
    }
    return true;
  }

  bool seek(std::uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
  }

  // A read with its offset in an OVERLAPPED structure starts there on a
  // handle opened for synchronous access too, whatever another thread did
  // to the file's position.
  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    std::size_t total = 0;
    char* out = static_cast<char*>(buffer);
    while (total < size) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(offset + total);
      at.OffsetHigh = static_cast<DWORD>((offset + total) >> 32);
      DWORD want = static_cast<DWORD>(size - total > 0x40000000u ? 0x40000000u : size - total);
      DWORD got = 0;
      if (!ReadFile(handle_, out + total, want, &got, &at) || got == 0) break;
      total += got;
    }
    return total;
  }

  std::uint64_t tell() override {
    LARGE_INTEGER zero{}, at{};
    if (!SetFilePointerEx(handle_, zero, &at, FILE_CURRENT)) return 0;
    return static_cast<std::uint64_t>(at.QuadPart);
  }

  std::uint64_t size() override {
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(handle_, &length)) return 0;
    return static_cast<std::uint64_t>(length.QuadPart);
  }

  Error finish(std::uint32_t dos_date_time, std::uint32_t attributes) override;

 private:
  HANDLE handle_;
  bool append_;
};

bool utc_file_time(std::uint32_t dos_date_time, FILETIME* utc) {
  FILETIME local;
  return DosDateTimeToFileTime(static_cast<WORD>(dos_date_time >> 16),
                               static_cast<WORD>(dos_date_time & 0xFFFFu), &local) &&
         LocalFileTimeToFileTime(&local, utc);
}

// The basic information record of ntdll's NtSetInformationFile: times in
// 100-nanosecond steps (0 leaves one as it is) and the attribute bits (0
// leaves them as they are).
struct BasicInformation {
  LARGE_INTEGER creation_time;
  LARGE_INTEGER last_access_time;
  LARGE_INTEGER last_write_time;
  LARGE_INTEGER change_time;
  ULONG attributes;
};
struct StatusBlock {
  union {
    LONG status;
    void* pointer;
  };
  ULONG_PTR information;
};
using SetInformationFile = LONG(WINAPI*)(HANDLE, StatusBlock*, void*, ULONG, int);
constexpr int kFileBasicInformation = 4;

// Looked up by name: the call has been in ntdll since the first NT, but
// the import libraries do not all carry it.
SetInformationFile set_information_file() {
  static const SetInformationFile function = reinterpret_cast<SetInformationFile>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile")));
  return function;
}

// The part of a path that names its drive root ("C:\"), or the path itself
// when it names no drive letter.
std::string drive_root(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
  return path;
}

int csidl_of(SpecialFolder which) {
  switch (which) {
    case SpecialFolder::program_files: return CSIDL_PROGRAM_FILES;
    case SpecialFolder::windows: return CSIDL_WINDOWS;
    case SpecialFolder::system: return CSIDL_SYSTEM;
    case SpecialFolder::desktop: return CSIDL_DESKTOPDIRECTORY;
    case SpecialFolder::programs: return CSIDL_PROGRAMS;
    case SpecialFolder::app_data: return CSIDL_APPDATA;
    case SpecialFolder::profile: return CSIDL_PROFILE;
    case SpecialFolder::local_app_data: return CSIDL_LOCAL_APPDATA;
    case SpecialFolder::common_desktop: return CSIDL_COMMON_DESKTOPDIRECTORY;
    case SpecialFolder::common_programs: return CSIDL_COMMON_PROGRAMS;
  }
  return -1;
}

Error delete_key_tree(HKEY parent, const quill::os::WideString& subkey) {
  HKEY key = nullptr;
  LONG status = RegOpenKeyExW(parent, subkey.c_str(), 0, KEY_READ | KEY_WRITE, &key);
  if (status != ERROR_SUCCESS) return registry_error(status);
  // Always enumerate index 0: each deletion shifts the remaining subkeys down.
  // A key name has at most 255 characters.
  wchar_t name[256];
  for (;;) {
    DWORD length = sizeof name / sizeof name[0];
    status = RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    Error inner = delete_key_tree(key, name);
    if (inner != Error::none) {
      RegCloseKey(key);
      return inner;
    }
  }
  RegCloseKey(key);
  return registry_error(RegDeleteKeyW(parent, subkey.c_str()));
}

// Time and attributes in one call on the open handle, where opening the
// file again by its path would cost a name lookup each.
Error Win32File::finish(std::uint32_t dos_date_time, std::uint32_t attributes) {
  SetInformationFile set = set_information_file();
  FILETIME utc;
  if (set == nullptr || !utc_file_time(dos_date_time, &utc)) return Error::io;
  BasicInformation information{};
  information.last_write_time.LowPart = utc.dwLowDateTime;
  information.last_write_time.HighPart = static_cast<LONG>(utc.dwHighDateTime);
  if (attributes != 0) {
    information.attributes = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                           FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (information.attributes == 0) information.attributes = FILE_ATTRIBUTE_NORMAL;
  }
  StatusBlock status{};
  return set(handle_, &status, &information, sizeof information, kFileBasicInformation) >= 0
             ? Error::none
             : Error::io;
}

}  // namespace

FileStatus Win32Os::file_status(const std::string& path) {
  FileStatus status;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) return status;
  status.exists = true;
  status.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.read_only = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  // The attributes are the link's own: the system does not follow a link
  // at the end of the path here.
  status.is_link = is_reparse_point(data.dwFileAttributes);
  status.is_device = (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0 || path.compare(0, 4, "\\\\.\\") == 0;
  status.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  // 100-nanosecond steps since 1601, to seconds since 1970.
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  if (ticks > 116444736000000000ull) {
    status.modified = static_cast<std::int64_t>((ticks - 116444736000000000ull) / 10000000ull);
  }
  return status;
}

std::unique_ptr<File> Win32Os::open_file(const std::string& path, OpenMode mode, Error* error) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ;
  DWORD disposition = OPEN_EXISTING;
  if (mode == OpenMode::write) {
    access = GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
  } else if (mode == OpenMode::append) {
    access = GENERIC_WRITE;
    disposition = OPEN_ALWAYS;
  }
  const quill::os::WideString name = wide(path);
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
  if (mode != OpenMode::read) {
    // A link planted in place of the file would carry the write to its
    // target: the link itself is opened, and refused.
    if (is_reparse_point(GetFileAttributesW(name.c_str()))) {
      if (error) *error = Error::access_denied;
      return nullptr;
    }
    flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  }
  HANDLE handle = CreateFileW(name.c_str(), access, share, nullptr, disposition, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (error) *error = last_error();
    return nullptr;
  }
  if (mode != OpenMode::read) {
    // One planted between the look and the open.
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information) ||
        is_reparse_point(information.dwFileAttributes)) {
      CloseHandle(handle);
      if (error) *error = Error::access_denied;
      return nullptr;
    }
  }
  if (error) *error = Error::none;
  return std::make_unique<Win32File>(handle, mode == OpenMode::append);
}

Error Win32Os::create_folder(const std::string& path) {
  if (CreateDirectoryW(wide(path).c_str(), nullptr)) return Error::none;
  return last_error();
}

Error Win32Os::create_folder_secured(const std::string& path, FolderAccess access) {
  const std::string list = access_list(access);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (list.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                          wide(list).c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    return Error::io;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  // Fails on anything already there, a link included: nothing made in
  // advance by someone else is adopted.
  const Error result = CreateDirectoryW(wide(path).c_str(), &attributes) ? Error::none : last_error();
  LocalFree(descriptor);
  return result;
}

Error Win32Os::delete_file(const std::string& path) {
  // DeleteFile takes a file link itself; a link to a folder goes the way
  // a folder does, and RemoveDirectory takes that link itself.
  const quill::os::WideString name = wide(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (is_reparse_point(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return RemoveDirectoryW(name.c_str()) ? Error::none : last_error();
  }
  if (DeleteFileW(name.c_str())) return Error::none;
  return last_error();
}

Error Win32Os::remove_folder(const std::string& path) {
  // On a junction or a link to a folder, RemoveDirectory removes the link
  // and leaves the folder it points to as it is.
  if (RemoveDirectoryW(wide(path).c_str())) return Error::none;
  return last_error();
}

Error Win32Os::list_folder(const std::string& path, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::string pattern = path;
  if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return last_error();
  // The first entry the search returns is examined like every other one.
  do {
    if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0) continue;
    FolderEntry entry;
    entry.name = narrow(found.cFileName);
    entry.is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.read_only = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    entry.is_link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    entries->push_back(std::move(entry));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return Error::none;
}

Error Win32Os::copy_file(const std::string& from, const std::string& to, bool fail_if_exists) {
  // CopyFile would write through a link at the destination.
  const quill::os::WideString target = wide(to);
  if (is_reparse_point(GetFileAttributesW(target.c_str()))) {
    return fail_if_exists ? Error::exists : Error::access_denied;
  }
  if (CopyFileW(wide(from).c_str(), target.c_str(), fail_if_exists ? TRUE : FALSE)) return Error::none;
  return last_error();
}

Error Win32Os::replace_file(const std::string& from, const std::string& to) {
  if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Error::none;
  }
  return last_error();
}

Error Win32Os::set_read_only(const std::string& path, bool read_only) {
  const quill::os::WideString name = wide(path);
  DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return last_error();
  if (read_only) {
    attributes |= FILE_ATTRIBUTE_READONLY;
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
  } else {
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  }
  if (SetFileAttributesW(name.c_str(), attributes)) return Error::none;
  return last_error();
}

Error Win32Os::set_file_time(const std::string& path, std::uint32_t dos_date_time) {
  FILETIME utc;
  if (!utc_file_time(dos_date_time, &utc)) return Error::io;
  HANDLE handle = CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return last_error();
  // The time is the file's last change; creation and access stay as they are.
  BOOL ok = SetFileTime(handle, nullptr, nullptr, &utc);
  Error result = ok ? Error::none : last_error();
  CloseHandle(handle);
  return result;
}

std::string Win32Os::temp_folder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::string();
  std::string folder = narrow(quill::os::WideString(buffer, length));
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

std::string Win32Os::module_path() {
  // Long enough for any path the system gives a program (32767 characters).
  quill::os::WideString buffer(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return std::string();
  buffer.resize(length);
  return narrow(buffer);
}

bool Win32Os::free_megabytes(const std::string& path, std::uint64_t* megabytes) {
  ULARGE_INTEGER available{}, total{}, free_total{};
  std::string root = drive_root(path);
  if (root.empty() || !GetDiskFreeSpaceExW(wide(root).c_str(), &available, &total, &free_total)) {
    return false;
  }
  *megabytes = available.QuadPart / 1024 / 1024;
  return true;
}

std::string Win32Os::special_folder(SpecialFolder which) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl_of(which), &list)) || list == nullptr) {
    return std::string();
  }
  wchar_t buffer[MAX_PATH + 1] = {};
  BOOL ok = SHGetPathFromIDListW(list, buffer);
  CoTaskMemFree(list);
  if (!ok) return std::string();
  std::string folder = narrow(buffer);
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool Win32Os::registry_key_exists(RegistryRoot root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root_key(root), wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

Error Win32Os::registry_create_key(RegistryRoot root, const std::string& key) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyW(root_key(root), wide(key).c_str(), &handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  RegCloseKey(handle);
  return Error::none;
}

Error Win32Os::registry_read_string(RegistryRoot root, const std::string& key,
                                    const std::string& name, std::string* value,
                                    std::size_t max_length) {
  HKEY handle = nullptr;
  LONG status = RegOpenKeyExW(root_key(root), wide(key).c_str(), 0, KEY_READ, &handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  const quill::os::WideString value_name = wide(name);
  DWORD type = 0;
  DWORD size = 0;
  status = RegQueryValueExW(handle, value_name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) status = ERROR_FILE_NOT_FOUND;
  quill::os::WideString data;
  if (status == ERROR_SUCCESS) {
    // The stored bytes need not end in a zero, nor be whole characters; a
    // spare character keeps the text closed.
    data.assign(size / sizeof(wchar_t) + 2, L'\0');
    status = RegQueryValueExW(handle, value_name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(&data[0]), &size);
  }
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  data.resize(std::wcslen(data.c_str()));
  if (data.size() > max_length) {
    // Never half of a character that takes two units.
    std::size_t keep = max_length;
    if (keep > 0 && data[keep - 1] >= 0xD800 && data[keep - 1] <= 0xDBFF) --keep;
    data.resize(keep);
  }
  *value = narrow(data);
  return Error::none;
}

Error Win32Os::registry_read_dword(RegistryRoot root, const std::string& key,
                                   const std::string& name, std::uint32_t* value) {
  HKEY handle = nullptr;
  LONG status = RegOpenKeyExW(root_key(root), wide(key).c_str(), 0, KEY_READ, &handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  const quill::os::WideString value_name = wide(name);
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = 0;
  // Ask for the type first: a longer value of another type would only
  // answer "more data".
  status = RegQueryValueExW(handle, value_name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof data)) {
    status = ERROR_FILE_NOT_FOUND;
  }
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExW(handle, value_name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(&data), &size);
  }
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  *value = data;
  return Error::none;
}

Error Win32Os::registry_write_string(RegistryRoot root, const std::string& key,
                                     const std::string& name, const std::string& value) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyW(root_key(root), wide(key).c_str(), &handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  // Stored as UTF-16 with a byte count equal to the text's length, without
  // the terminating zero.
  const quill::os::WideString data = wide(value);
  status = RegSetValueExW(handle, wide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  RegCloseKey(handle);
  return registry_error(status);
}

Error Win32Os::registry_write_dword(RegistryRoot root, const std::string& key,
                                    const std::string& name, std::uint32_t value) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyW(root_key(root), wide(key).c_str(), &handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  DWORD data = value;
  status = RegSetValueExW(handle, wide(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data);
  RegCloseKey(handle);
  return registry_error(status);
}

Error Win32Os::registry_delete_key(RegistryRoot root, const std::string& parent,
                                   const std::string& subkey) {
  // An empty subkey would name the parent itself; never delete that.
  if (subkey.empty()) return Error::not_found;
  HKEY handle = nullptr;
  LONG status = RegOpenKeyExW(root_key(root), wide(parent).c_str(), 0, KEY_READ | KEY_WRITE, &handle);
  if (status != ERROR_SUCCESS) return registry_error(status);
  Error result = delete_key_tree(handle, wide(subkey));
  RegCloseKey(handle);
  return result;
}

Error Win32Os::create_shortcut(const Shortcut& shortcut) {
  HRESULT init = CoInitialize(nullptr);
  Error result = Error::io;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    link->SetPath(wide(shortcut.target).c_str());
    link->SetWorkingDirectory(wide(shortcut.working_folder).c_str());
    link->SetDescription(wide(shortcut.description).c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (!shortcut.link_path.empty() && SUCCEEDED(file->Save(wide(shortcut.link_path).c_str(), TRUE))) {
        result = Error::none;
      }
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return result;
}

void Win32Os::notify_folder_created(const std::string& path) {
  const quill::os::WideString folder = wide(path);
  SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW | SHCNF_FLUSH, folder.c_str(), nullptr);
}

Error Win32Os::shell_open(const std::string& file) {
  HINSTANCE result = ShellExecuteW(nullptr, L"open", wide(file).c_str(), L"", L"", SW_SHOW);
  if (reinterpret_cast<INT_PTR>(result) > 32) return Error::none;
  switch (reinterpret_cast<INT_PTR>(result)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Error::not_found;
    case SE_ERR_ACCESSDENIED:
      return Error::access_denied;
    default:
      return Error::io;
  }
}

namespace {

// Starts `program` with the command line "PROGRAM" ARGUMENTS.
bool create_process(const std::string& program, const std::string& arguments,
                    STARTUPINFOW* startup, PROCESS_INFORMATION* process) {
  std::string line = "\"" + program + "\"";
  if (!arguments.empty()) line += " " + arguments;
  quill::os::WideString command = wide(line);  // CreateProcessW may write into it
  return CreateProcessW(wide(program).c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, startup, process) != 0;
}

}  // namespace

Error Win32Os::start_program(const std::string& program, const std::string& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!create_process(program, arguments, &startup, &process)) {
    return last_error();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Error::none;
}

Error Win32Os::run_program(const std::string& program, const std::string& arguments,
                           std::uint32_t* exit_code) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!create_process(program, arguments, &startup, &process)) {
    return last_error();
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  const BOOL known = GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (!known) return Error::io;
  *exit_code = code;
  return Error::none;
}

Error Win32Os::delete_file_later(const std::string& path) {
  // Recorded for the system's next start (administrators only); a folder
  // goes then only when it is empty.
  if (MoveFileExW(wide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return Error::none;
  return last_error();
}

std::string Win32Os::unpredictable_name() {
  unsigned char bytes[8];
  if (!RtlGenRandom(bytes, sizeof bytes)) return std::string();
  return hex_name(bytes, sizeof bytes);
}

Error Win32Os::move_file(const std::string& from, const std::string& to) {
  // No copy allowed: across volumes this fails and the caller copies.
  if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0)) return Error::none;
  return last_error();
}

std::string Win32Os::long_path_name(const std::string& path) {
  quill::os::WideString buffer(4 * MAX_PATH, L'\0');
  const DWORD length =
      GetLongPathNameW(wide(path).c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
  if (length > 0 && length < buffer.size()) {
    buffer.resize(length);
    return narrow(buffer);
  }
  // A missing last part: resolve the folders above it that do exist.
  std::size_t end = path.size();
  while (end > 0 && (path[end - 1] == '\\' || path[end - 1] == '/')) --end;
  std::size_t cut = path.find_last_of("\\/", end == 0 ? 0 : end - 1);
  if (cut == std::string::npos || cut < 3 || end == 0) return path;
  std::string parent = long_path_name(path.substr(0, cut));
  if (parent == path.substr(0, cut)) return path;
  return parent + path.substr(cut);
}

std::string Win32Os::local_date() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[9];
  const unsigned parts[] = {now.wYear, now.wMonth, now.wDay};
  const int widths[] = {4, 2, 2};
  char* out = text;
  for (int i = 0; i < 3; ++i) {
    unsigned value = parts[i];
    for (int digit = widths[i] - 1; digit >= 0; --digit) {
      out[digit] = static_cast<char>('0' + value % 10);
      value /= 10;
    }
    out += widths[i];
  }
  *out = '\0';
  return text;
}

Error Win32Os::set_attributes(const std::string& path, std::uint32_t attributes) {
  DWORD kept = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  if (kept == 0) kept = FILE_ATTRIBUTE_NORMAL;
  if (SetFileAttributesW(wide(path).c_str(), kept)) return Error::none;
  return last_error();
}

Error Win32Os::shell_open_default(const std::string& file) {
  HINSTANCE result = ShellExecuteW(nullptr, nullptr, wide(file).c_str(), L"", L"", SW_SHOW);
  if (reinterpret_cast<INT_PTR>(result) > 32) return Error::none;
  switch (reinterpret_cast<INT_PTR>(result)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Error::not_found;
    case SE_ERR_ACCESSDENIED:
      return Error::access_denied;
    default:
      return Error::io;
  }
}

Error Win32Os::replace_file_later(const std::string& from, const std::string& to) {
  if (MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                  MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
    return Error::none;
  }
  return last_error();
}

namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

}  // namespace

Error Win32Os::cancel_later(const std::string& from) {
  // The list is pairs of strings, source then target ("" deletes; a
  // leading '!' replaces), sources in the "\??\" form.
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
      ERROR_SUCCESS) {
    return Error::access_denied;
  }
  DWORD type = 0;
  DWORD bytes = 0;
  Error result = Error::not_found;
  if (RegQueryValueExW(key, kPendingRenames, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ && bytes > 0) {
    quill::os::WideString list(bytes / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(&list[0]),
                         &bytes) == ERROR_SUCCESS) {
      list.resize(bytes / sizeof(wchar_t));
      std::vector<quill::os::WideString> strings;
      for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = list.find(L'\0', at);
        const std::size_t stop = end == quill::os::WideString::npos ? list.size() : end;
        strings.push_back(list.substr(at, stop - at));
        at = stop + 1;
      }
      // A list ends with an empty string of its own; an odd one is dropped.
      while (strings.size() % 2 != 0) strings.pop_back();
      const quill::os::WideString source = L"\\??\\" + wide(from);
      quill::os::WideString kept;
      for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
        if (lstrcmpiW(strings[i].c_str(), source.c_str()) == 0) {
          result = Error::none;
          continue;
        }
        kept += strings[i] + L'\0' + strings[i + 1] + L'\0';
      }
      if (result == Error::none) {
        LONG written;
        if (kept.empty()) {
          written = RegDeleteValueW(key, kPendingRenames);
        } else {
          kept += L'\0';
          written = RegSetValueExW(key, kPendingRenames, 0, REG_MULTI_SZ,
                                   reinterpret_cast<const BYTE*>(kept.data()),
                                   static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
        }
        if (written != ERROR_SUCCESS) result = error_from(static_cast<DWORD>(written));
      }
    }
  }
  RegCloseKey(key);
  return result;
}

bool Win32Os::file_in_use(const std::string& path) {
  // Nobody else may have it open while this handle would share nothing.
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

namespace {

// The Restart Manager's entry points, looked up once; null where the
// system has no rstrtmgr.dll (or lacks one of them), and the programs
// still run there.
struct RestartManager {
  DWORD(WINAPI* start)(DWORD*, DWORD, WCHAR*);
  DWORD(WINAPI* add)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
  DWORD(WINAPI* list)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
  DWORD(WINAPI* shutdown)(DWORD, ULONG, RM_WRITE_STATUS_CALLBACK);
  DWORD(WINAPI* end)(DWORD);
};

template <typename T>
bool entry(HMODULE dll, const char* name, T* function) {
  *function = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
  return *function != nullptr;
}

const RestartManager* restart_manager() {
  static const RestartManager* loaded = [] () -> const RestartManager* {
    static RestartManager rm;
    HMODULE dll = load_system_dll("rstrtmgr.dll");
    if (dll == nullptr) return nullptr;
    if (!entry(dll, "RmStartSession", &rm.start) || !entry(dll, "RmRegisterResources", &rm.add) ||
        !entry(dll, "RmGetList", &rm.list) || !entry(dll, "RmShutdown", &rm.shutdown) ||
        !entry(dll, "RmEndSession", &rm.end)) {
      return nullptr;
    }
    return &rm;
  }();
  return loaded;
}

// A Restart Manager session that knows the one file; ended when it goes.
class RmSession {
 public:
  explicit RmSession(const std::string& path) : rm_(restart_manager()) {
    if (rm_ == nullptr) return;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (rm_->start(&handle_, 0, key) != ERROR_SUCCESS) {
      rm_ = nullptr;
      return;
    }
    const quill::os::WideString file = wide(path);
    LPCWSTR files[] = {file.c_str()};
    ok_ = rm_->add(handle_, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS;
  }
  ~RmSession() {
    if (rm_ != nullptr) rm_->end(handle_);
  }
  bool ok() const { return rm_ != nullptr && ok_; }
  const RestartManager& rm() const { return *rm_; }
  DWORD handle() const { return handle_; }

 private:
  const RestartManager* rm_;
  DWORD handle_ = 0;
  bool ok_ = false;
};

}  // namespace

Error Win32Os::programs_using_file(const std::string& path, std::vector<std::string>* programs) {
  RmSession session(path);
  if (!session.ok()) return Error::io;
  std::vector<RM_PROCESS_INFO> found(8);
  for (int attempt = 0; attempt < 3; ++attempt) {
    UINT needed = 0;
    UINT count = static_cast<UINT>(found.size());
    DWORD reasons = 0;
    const DWORD status = session.rm().list(session.handle(), &needed, &count, found.data(), &reasons);
    if (status == ERROR_MORE_DATA) {
      found.resize(needed + 4);
      continue;
    }
    if (status != ERROR_SUCCESS || count == 0) return Error::io;
    for (UINT i = 0; i < count; ++i) programs->push_back(narrow(found[i].strAppName));
    return Error::none;
  }
  return Error::io;
}

Error Win32Os::close_programs_using_file(const std::string& path) {
  RmSession session(path);
  if (!session.ok()) return Error::io;
  return session.rm().shutdown(session.handle(), 0, nullptr) == ERROR_SUCCESS ? Error::none
                                                                               : Error::io;
}

namespace {

class MutexLock : public SystemLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override { CloseHandle(mutex_); }

 private:
  HANDLE mutex_;
};

}  // namespace

std::unique_ptr<SystemLock> Win32Os::take_lock(const std::string& name, Error* error) {
  // The mutex's existence is the lock; the system drops it with the last
  // handle, so a holder that crashed leaves none behind. One that another
  // user made and this one may not open counts as held.
  const std::string global = "Global\\" + name;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, wide(global).c_str());
  const DWORD code = GetLastError();
  if (mutex != nullptr && code != ERROR_ALREADY_EXISTS) {
    *error = Error::none;
    return std::make_unique<MutexLock>(mutex);
  }
  if (mutex != nullptr) CloseHandle(mutex);
  *error = mutex != nullptr || code == ERROR_ACCESS_DENIED ? Error::exists : error_from(code);
  return nullptr;
}

}  // namespace quill::os
