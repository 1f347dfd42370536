// The ANSI code page on Windows: the system's own.
#include <windows.h>

#include "text/unicode.h"

namespace quill::text {

std::string ansi_to_utf8(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::string();
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(&wide[0]), length);
  return utf16_to_utf8(wide);
}

}  // namespace quill::text
