// The one helper that the backends of the OS boundary share.
#include "os/os.h"

namespace quill::os {

std::string hex_name(const unsigned char* bytes, std::size_t count) {
  static const char kDigits[] = "0123456789abcdef";
  std::string name;
  for (std::size_t i = 0; i < count; ++i) {
    name += kDigits[bytes[i] >> 4];
    name += kDigits[bytes[i] & 15];
  }
  return name;
}

}  // namespace quill::os
