// The solid index of an LZMA package: the data entry "%Quillpack%/solid.txt"
// that names the files inside each solid block. A block is the entry
// "%Quillpack%/solid/<n>" (n from 1); its uncompressed data is its files'
// contents one after the other, in the order the index lists them. One line
// per file, fields separated by tabs:
//
//   <block n> <size> <CRC-32, 8 hex digits> <MS-DOS date and time, 8 hex digits> <name>
//
// The name comes last and is the entry name the file would have had on its
// own ('/' between parts, UTF-8). A reader presents each listed file as an
// install entry of its own and never the block entries themselves.
//
// A block named "%Quillpack%/solid/<n>-x86" holds its files' bytes as the
// x86 branch converter (the BCJ filter, encoding, from position 0) turned
// them: relative call and jump targets made absolute, which LZMA compresses
// better in machine code. Its entry's own CRC-32 is of those converted
// bytes; the index gives each file's CRC-32 as installed. The writer puts
// each large x86 program in such a block of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quill::package {

extern const char kSolidIndexName[];   // "%Quillpack%/solid.txt"
extern const char kSolidBlockPrefix[];  // "%Quillpack%/solid/"

struct SolidMember {
  std::uint32_t block = 0;  // from 1
  std::uint32_t size = 0;   // only small files are grouped
  std::uint32_t crc = 0;
  std::uint32_t dos_date_time = 0;
  std::string name;
};

// The entry name of block `block`, holding converted x86 code or not.
std::string solid_block_name(std::uint32_t block, bool x86 = false);
// The block number of an entry name of either form, and in `x86` which;
// 0 for any other name.
std::uint32_t solid_block_number(const std::string& name, bool* x86 = nullptr);

std::string render_solid_index(const std::vector<SolidMember>& members);
// Reads the line at text[*pos] into `member` and moves *pos past it. False
// at the end of the text or when the line is malformed (the caller treats
// the package as damaged).
bool next_solid_member(const std::string& text, std::size_t* pos, SolidMember* member);

}  // namespace quill::package
