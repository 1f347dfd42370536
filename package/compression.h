// How a payload archive's install entries are compressed. A deflate package
// is a plain ZIP archive of deflated (or stored) entries. An LZMA package
// keeps those for its data entries and its already-compressed files; its
// large files are entries of ZIP method 14 (LZMA), and its small files are
// grouped into solid blocks: LZMA entries that hold several files one after
// the other, listed with their sizes and checksums in the solid index
// (solid_index.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::package {

enum class Compression { deflate, lzma };

// ZIP method 14. Its data opens with a four-byte header (the coder's major
// and minor version, then the length of the properties as a 16-bit
// little-endian number, always 5) and the five property bytes (lc/lp/pb,
// then the dictionary size as a 32-bit little-endian number); the LZMA
// stream follows. General purpose flag bit 1 says that the stream ends with
// an end marker; without it the stream ends after the entry's size.
constexpr unsigned kLzmaMethod = 14;
constexpr std::size_t kLzmaHeaderSize = 4;
constexpr std::size_t kLzmaPropsSize = 5;
constexpr unsigned long kLzmaEndMarkerFlag = 0x2;

// The largest dictionary a reader sets aside for one stream: an entry whose
// header asks for more reads as damaged. The writer sizes each stream's
// dictionary to its data, up to this.
constexpr std::uint32_t kMaxLzmaDictionary = 32u << 20;

}  // namespace quill::package
