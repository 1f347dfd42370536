// The SHA-256 of a file, by the system's own hashing on Windows (the
// CryptoAPI) and by OpenSSL's libcrypto on Linux.
#pragma once

#include <cstdint>
#include <string>

#include "os/os.h"

namespace quill::cli {

struct FileHash {
  std::string sha256;  // 64 lower-case hexadecimal digits; empty: not read
  std::uint64_t size = 0;
};

// The file's hash and size, read through the Os; an empty hash when the
// file cannot be opened or read to its end.
FileHash hash_file(os::Os& os, const std::string& path);

}  // namespace quill::cli
