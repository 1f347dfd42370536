// The Win32 backend's operations for declared registry values, associations
// and the environment, through the wide calls: names and texts are UTF-8 in
// the program and UTF-16 in the registry.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "os/win32_os.h"
#include "os/win32_registry_root.h"
#include "os/win32_text.h"

namespace quill::os {

namespace {

Error status_error(LONG status) {
  switch (status) {
    case ERROR_SUCCESS: return Error::none;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Error::not_found;
    case ERROR_ACCESS_DENIED: return Error::access_denied;
    default: return Error::io;
  }
}

// The text of a string value's UTF-16 bytes, up to its first zero.
std::string text_of(const std::string& bytes) {
  quill::os::WideString units(bytes.size() / sizeof(wchar_t), L'\0');
  if (!units.empty()) std::memcpy(&units[0], bytes.data(), units.size() * sizeof(wchar_t));
  const std::size_t zero = units.find(L'\0');
  if (zero != quill::os::WideString::npos) units.resize(zero);
  return narrow(units);
}

}  // namespace

Error Win32Os::registry_read_value(RegistryRoot root, const std::string& key, const std::string& name,
                                   RegistryValue* value) {
  *value = RegistryValue();
  HKEY handle = nullptr;
  LONG status = RegOpenKeyExW(root_key(root), wide(key).c_str(), 0, KEY_QUERY_VALUE, &handle);
  if (status == ERROR_FILE_NOT_FOUND) return Error::none;
  if (status != ERROR_SUCCESS) return status_error(status);
  const quill::os::WideString value_name = wide(name);
  std::string bytes;
  DWORD type = 0;
  // The value may grow between the two calls: ask again until it fits.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    status = RegQueryValueExW(handle, value_name.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) break;
    bytes.assign(size, '\0');
    status = RegQueryValueExW(handle, value_name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(bytes.empty() ? nullptr : &bytes[0]), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status == ERROR_SUCCESS) bytes.resize(size);
    break;
  }
  RegCloseKey(handle);
  if (status == ERROR_FILE_NOT_FOUND) return Error::none;
  if (status != ERROR_SUCCESS) return status_error(status);
  using Type = RegistryValue::Type;
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && bytes.size() % sizeof(wchar_t) == 0) {
    value->type = type == REG_SZ ? Type::string : Type::expandable_string;
    value->text = text_of(bytes);
    // A text that would not be written back byte for byte (units after a
    // zero, unpaired surrogates) is kept as its bytes instead.
    quill::os::WideString back = wide(value->text);
    back.push_back(L'\0');
    const std::string written(reinterpret_cast<const char*>(back.data()), back.size() * sizeof(wchar_t));
    if (bytes == written || bytes == written.substr(0, written.size() - sizeof(wchar_t))) {
      return Error::none;
    }
  } else if (type == REG_DWORD && bytes.size() == sizeof(DWORD)) {
    value->type = Type::dword;
    std::memcpy(&value->dword, bytes.data(), sizeof(DWORD));
    return Error::none;
  }
  value->type = Type::other;
  value->text = bytes;
  value->raw_type = type;
  return Error::none;
}

Error Win32Os::registry_write_value(RegistryRoot root, const std::string& key, const std::string& name,
                                    const RegistryValue& value) {
  using Type = RegistryValue::Type;
  if (value.type == Type::absent) {
    const Error error = registry_delete_value(root, key, name);
    return error == Error::not_found ? Error::none : error;
  }
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExW(root_key(root), wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status_error(status);
  const quill::os::WideString value_name = wide(name);
  switch (value.type) {
    case Type::string:
    case Type::expandable_string: {
      const quill::os::WideString text = wide(value.text);
      status = RegSetValueExW(handle, value_name.c_str(), 0,
                              value.type == Type::string ? REG_SZ : REG_EXPAND_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
      break;
    }
    case Type::dword: {
      const DWORD data = value.dword;
      status = RegSetValueExW(handle, value_name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof data);
      break;
    }
    default:
      status = RegSetValueExW(handle, value_name.c_str(), 0, value.raw_type,
                              reinterpret_cast<const BYTE*>(value.text.data()),
                              static_cast<DWORD>(value.text.size()));
      break;
  }
  RegCloseKey(handle);
  return status_error(status);
}

Error Win32Os::registry_delete_value(RegistryRoot root, const std::string& key, const std::string& name) {
  HKEY handle = nullptr;
  LONG status = RegOpenKeyExW(root_key(root), wide(key).c_str(), 0, KEY_SET_VALUE, &handle);
  if (status != ERROR_SUCCESS) return status_error(status);
  status = RegDeleteValueW(handle, wide(name).c_str());
  RegCloseKey(handle);
  return status_error(status);
}

bool Win32Os::registry_key_empty(RegistryRoot root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root_key(root), wide(key).c_str(), 0, KEY_QUERY_VALUE, &handle) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD subkeys = 0;
  DWORD values = 0;
  const LONG status = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                       &values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

void Win32Os::notify_associations_changed() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void Win32Os::broadcast_environment_changed() {
  // Each window gets five seconds; one that hangs is passed over.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                      reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000, &result);
}

}  // namespace quill::os
