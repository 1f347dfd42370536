// A digest's bytes as upper-case hexadecimal digits.
#pragma once

#include <cstddef>
#include <string>

namespace quill::cli {

inline std::string hex_digest(const unsigned char* bytes, std::size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

}  // namespace quill::cli
