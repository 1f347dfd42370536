// Text at the edge of the wide (…W) Windows calls: the programs' UTF-8
// strings as UTF-16 and back. The system converts (CP_UTF8): a malformed
// sequence becomes U+FFFD either way, as text::utf8_to_utf16 and
// text::utf16_to_utf8 do, and the small programs carry no conversion code
// of their own for it.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

namespace quill::os {

inline std::wstring wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &out[0], length);
  return out;
}

inline std::string narrow(const wchar_t* text, std::size_t count) {
  if (count == 0) return std::string();
  const int size = static_cast<int>(count);
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, size, &out[0], length, nullptr, nullptr);
  return out;
}

inline std::string narrow(const wchar_t* text) {
  return text ? narrow(text, std::wcslen(text)) : std::string();
}

inline std::string narrow(const std::wstring& text) { return narrow(text.data(), text.size()); }

}  // namespace quill::os
