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
  std::uint64_t size = 0;       // uncompressed bytes read
  std::uint32_t crc = 0;        // their CRC-32
  std::uint32_t coded_crc = 0;  // that of the bytes the coder took (converted x86 code)
};

// Encodes `size` bytes of `data`, or, with `file`, everything it reads to
// its end (`size` is then only a hint that sizes the dictionary). With
// `x86`, the bytes go through the x86 branch converter first (a block of
// converted code, package/solid_index.h), at settings that spend less time
// on such code. Stops early, not ok, once `cancel` is set.
LzmaEncoded lzma_encode(const unsigned char* data, os::File* file, std::uint64_t size, bool x86,
                        const std::atomic<bool>& cancel, std::vector<unsigned char>* out);

}  // namespace quill::project
