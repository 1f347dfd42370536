// minizip's 64-bit I/O callbacks over os::Os files.
#include "common/zip_io.h"

#include <cstdint>
#include <memory>
#include <new>

namespace quill {
namespace {

struct Stream {
  std::unique_ptr<os::File> file;
  bool failed = false;
};

os::Os& os_of(voidpf opaque) { return *static_cast<os::Os*>(opaque); }

voidpf ZCALLBACK open_stream(voidpf opaque, const void* filename, int mode) {
  if (filename == nullptr) return nullptr;
  os::OpenMode open_mode;
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ) {
    open_mode = os::OpenMode::read;
  } else if (mode & ZLIB_FILEFUNC_MODE_CREATE) {
    open_mode = os::OpenMode::write;
  } else {
    return nullptr;  // updating an existing archive in place
  }
  std::unique_ptr<os::File> file = os_of(opaque).open_file(static_cast<const char*>(filename), open_mode);
  if (!file) return nullptr;
  Stream* stream = new (std::nothrow) Stream;
  if (stream == nullptr) return nullptr;
  stream->file = std::move(file);
  return stream;
}

uLong ZCALLBACK read_stream(voidpf, voidpf s, void* buffer, uLong size) {
  Stream* stream = static_cast<Stream*>(s);
  std::size_t got = stream->file->read(buffer, size);
  // The reader never asks for bytes past the end of a sound archive, and it
  // takes a short one-byte read that reports no error for success (its
  // "end of file" code equals its "OK"), which would let a failed read pass
  // as a zero byte. So every short read counts as an error.
  if (got < size) stream->failed = true;
  return static_cast<uLong>(got);
}

uLong ZCALLBACK write_stream(voidpf, voidpf s, const void* buffer, uLong size) {
  Stream* stream = static_cast<Stream*>(s);
  if (!stream->file->write(buffer, size)) {
    stream->failed = true;
    return 0;
  }
  return size;
}

ZPOS64_T ZCALLBACK tell_stream(voidpf, voidpf s) {
  return static_cast<Stream*>(s)->file->tell();
}

long ZCALLBACK seek_stream(voidpf, voidpf s, ZPOS64_T offset, int origin) {
  os::File& file = *static_cast<Stream*>(s)->file;
  std::uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = file.tell(); break;
    case ZLIB_FILEFUNC_SEEK_END: base = file.size(); break;
    default: return -1;
  }
  if (offset > UINT64_MAX - base) return -1;
  return file.seek(base + offset) ? 0 : -1;
}

int ZCALLBACK close_stream(voidpf, voidpf s) {
  Stream* stream = static_cast<Stream*>(s);
  bool failed = stream->failed;
  delete stream;
  return failed ? -1 : 0;
}

int ZCALLBACK error_stream(voidpf, voidpf s) { return static_cast<Stream*>(s)->failed ? 1 : 0; }

}  // namespace

void fill_zip_io(os::Os& os, zlib_filefunc64_def* def) {
  def->zopen64_file = open_stream;
  def->zread_file = read_stream;
  def->zwrite_file = write_stream;
  def->ztell64_file = tell_stream;
  def->zseek64_file = seek_stream;
  def->zclose_file = close_stream;
  def->zerror_file = error_stream;
  def->opaque = &os;
}

}  // namespace quill
