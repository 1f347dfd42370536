// The standard library's random device as a source of payload folder names.
// A file of its own, so that a program that passes its own source (the stub)
// links none of it.
#include <random>

#include "package/payload.h"

namespace quill::package {

bool standard_random_bytes(unsigned char* bytes, std::size_t count) {
  std::random_device device;
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(device());
  return true;
}

}  // namespace quill::package
