// The end of an installer package: the 8-byte trailer that follows the
// payload archive, and the certificate table a code-signing tool appends
// after it. The builder writes the trailer; the stub reads it.
#pragma once

#include <array>
#include <cstdint>

#include "os/os.h"

namespace quill::package {

constexpr std::size_t kTrailerSize = 8;

// Reads exactly `size` bytes at `offset`; false on a short read.
bool read_at(os::File& file, std::uint64_t offset, void* buffer, std::size_t size);
constexpr std::size_t kArchiveEndRecordSize = 22;  // a ZIP end record without a comment

// The trailer of an archive of `archive_size` bytes: the size as an unsigned
// 64-bit little-endian number.
std::array<unsigned char, kTrailerSize> encode_trailer(std::uint64_t archive_size);
std::uint64_t decode_trailer(const unsigned char* bytes);

// Where the package's own bytes end in a file of `file_size` bytes: at the
// start of the certificate table that the file's PE header names, when that
// table ends the file (a signed package); otherwise at the end of the file.
// A signing tool starts its table at a multiple of 8 and fills the gap with
// up to 7 zero bytes: the package ends before them where the trailer found
// there names an archive whose end record confirms it.
std::uint64_t package_data_end(os::File& package, std::uint64_t file_size);

// Comment bytes to give an archive of `archive_size` bytes that follows a
// stub of `stub_size` bytes, so that the package (stub, archive, trailer)
// is a multiple of 8 bytes long. Signing tools then append their table
// without padding in between, right after the trailer.
unsigned signing_padding(std::uint64_t stub_size, std::uint64_t archive_size);

// Sets the comment length in a ZIP end record (its last 22 bytes, as read
// from the end of an archive). False, leaving the bytes alone, when they
// are no end record or the archive already has a comment.
bool set_archive_comment_length(unsigned char* end_record, unsigned length);

}  // namespace quill::package
