// Text at the edge of the wide (…W) Windows calls: the programs' 8-bit
// strings in the system's code page, as the …A calls take them.
#pragma once

#include <windows.h>

#include <string>

namespace quill::os {

inline std::wstring wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], length);
  out.resize(static_cast<std::size_t>(length - 1));
  return out;
}

inline std::string narrow(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], length, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(length - 1));
  return out;
}

}  // namespace quill::os
