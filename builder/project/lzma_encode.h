// Encodes the data of one LZMA entry of the payload archive (ZIP method 14,
// package/compression.h): the header, the coder's properties and the
// stream, without an end marker (the entry's size ends it).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "os/os.h"

namespace quill::project {

struct LzmaEncoded {
  bool ok = false;
  std::uint64_t size = 0;  // uncompressed bytes read
  std::uint32_t crc = 0;   // their CRC-32
};

// Encodes `size` bytes of `data`, or, with `file`, everything it reads to
// its end (`size` is then only a hint that sizes the dictionary). Stops
// early, not ok, once `cancel` is set.
LzmaEncoded lzma_encode(const unsigned char* data, os::File* file, std::uint64_t size,
                        const std::atomic<bool>& cancel, std::vector<unsigned char>* out);

}  // namespace quill::project
