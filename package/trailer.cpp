// Trailer encoding, the signed package's data end, and comment padding.
#include "package/trailer.h"

#include <algorithm>
#include <vector>

namespace quill::package {

namespace {

std::uint32_t little_endian(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

// Zero bytes a signing tool may put between a package and its certificate
// table, which it starts at a multiple of 8.
constexpr std::uint64_t kMaxSigningPadding = 7;
constexpr std::uint32_t kEndRecordSignature = 0x06054B50;  // "PK\5\6"
constexpr std::size_t kMaxArchiveComment = 0xFFFF;

// True when a trailer ending at `data_end` names an archive whose own end
// record agrees: the record ends the archive (after its comment) and its
// central directory ends right where the record starts.
bool archive_confirms_end(os::File& package, std::uint64_t data_end) {
  unsigned char trailer[kTrailerSize];
  if (data_end < kTrailerSize || !read_at(package, data_end - kTrailerSize, trailer, kTrailerSize)) {
    return false;
  }
  const std::uint64_t archive_end = data_end - kTrailerSize;
  const std::uint64_t length = decode_trailer(trailer);
  if (length < kArchiveEndRecordSize || length > archive_end) return false;
  const std::size_t tail = static_cast<std::size_t>(
      std::min<std::uint64_t>(length, kArchiveEndRecordSize + kMaxArchiveComment));
  std::vector<unsigned char> bytes(tail);
  if (!read_at(package, archive_end - tail, bytes.data(), tail)) return false;
  // From the end backwards: a comment may itself hold the signature.
  for (std::size_t at = tail - kArchiveEndRecordSize + 1; at-- > 0;) {
    const unsigned char* record = bytes.data() + at;
    if (little_endian(record, 4) != kEndRecordSignature) continue;
    if (at + kArchiveEndRecordSize + little_endian(record + 20, 2) != tail) continue;
    const std::uint64_t record_at = length - (tail - at);  // from the archive's start
    const std::uint64_t directory_size = little_endian(record + 12, 4);
    const std::uint64_t directory_at = little_endian(record + 16, 4);
    if (directory_at + directory_size == record_at) return true;
  }
  return false;
}

}  // namespace

bool read_at(os::File& file, std::uint64_t offset, void* buffer, std::size_t size) {
  if (!file.seek(offset)) return false;
  std::size_t done = 0;
  while (done < size) {
    std::size_t count = file.read(static_cast<char*>(buffer) + done, size - done);
    if (count == 0) return false;
    done += count;
  }
  return true;
}

std::array<unsigned char, kTrailerSize> encode_trailer(std::uint64_t archive_size) {
  std::array<unsigned char, kTrailerSize> bytes{};
  for (std::size_t i = 0; i < kTrailerSize; ++i) {
    bytes[i] = static_cast<unsigned char>(archive_size >> (8 * i));
  }
  return bytes;
}

std::uint64_t decode_trailer(const unsigned char* bytes) {
  std::uint64_t value = 0;
  for (int i = kTrailerSize - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

std::uint64_t package_data_end(os::File& package, std::uint64_t file_size) {
  // DOS header: "MZ", then the offset of the PE header at 0x3C.
  unsigned char dos[64];
  if (file_size < sizeof dos || !read_at(package, 0, dos, sizeof dos)) return file_size;
  if (dos[0] != 'M' || dos[1] != 'Z') return file_size;
  const std::uint64_t pe = little_endian(dos + 0x3C, 4);
  // "PE\0\0", the 20-byte file header, then the optional header whose magic
  // tells where its data directories start (entry 4 is the certificate
  // table, given as a file offset and a size).
  unsigned char head[24 + 112 + 5 * 8];
  if (pe > file_size || file_size - pe < sizeof head || !read_at(package, pe, head, sizeof head)) {
    return file_size;
  }
  if (head[0] != 'P' || head[1] != 'E' || head[2] != 0 || head[3] != 0) return file_size;
  const unsigned char* optional = head + 24;
  const std::uint32_t magic = little_endian(optional, 2);
  std::size_t count_at = 0, directories_at = 0;
  if (magic == 0x10B) {
    count_at = 92, directories_at = 96;
  } else if (magic == 0x20B) {
    count_at = 108, directories_at = 112;
  } else {
    return file_size;
  }
  if (little_endian(optional + count_at, 4) < 5) return file_size;
  const unsigned char* security = optional + directories_at + 4 * 8;
  const std::uint64_t table = little_endian(security, 4);
  const std::uint64_t size = little_endian(security + 4, 4);
  if (size == 0 || table < kTrailerSize || table + size != file_size) return file_size;

  // The package ends at the table, or up to 7 zero bytes before it when the
  // signing tool padded it; only the archive's end record tells which.
  unsigned char padding[kMaxSigningPadding];
  const std::uint64_t before = std::min<std::uint64_t>(kMaxSigningPadding, table - kTrailerSize);
  if (!read_at(package, table - before, padding, static_cast<std::size_t>(before))) return table;
  for (std::uint64_t zeros = 0; zeros <= before; ++zeros) {
    if (zeros > 0 && padding[before - zeros] != 0) break;
    if (archive_confirms_end(package, table - zeros)) return table - zeros;
  }
  return table;
}

unsigned signing_padding(std::uint64_t stub_size, std::uint64_t archive_size) {
  return static_cast<unsigned>((8 - (stub_size + archive_size + kTrailerSize) % 8) % 8);
}

bool set_archive_comment_length(unsigned char* end_record, unsigned length) {
  if (end_record[0] != 'P' || end_record[1] != 'K' || end_record[2] != 5 || end_record[3] != 6) {
    return false;
  }
  if (end_record[20] != 0 || end_record[21] != 0) return false;
  end_record[20] = static_cast<unsigned char>(length & 0xFF);
  end_record[21] = static_cast<unsigned char>(length >> 8);
  return true;
}

}  // namespace quill::package
