// Text at the edge of the wide (…W) Windows calls: the programs' UTF-8
// strings as UTF-16 and back.
#pragma once

#include <windows.h>

#include <string>

#include "common/unicode.h"

namespace quill::os {

inline std::wstring wide(const std::string& text) {
  const std::u16string units = text::utf8_to_utf16(text);
  return std::wstring(units.begin(), units.end());
}

inline std::string narrow(const wchar_t* text) {
  if (!text) return std::string();
  return text::utf16_to_utf8(reinterpret_cast<const char16_t*>(text));
}

inline std::string narrow(const std::wstring& text) {
  return text::utf16_to_utf8(std::u16string(text.begin(), text.end()));
}

}  // namespace quill::os
