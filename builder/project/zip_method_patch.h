// Gives archive entries a compression method that the ZIP writer does not
// accept (it takes only stored and deflate): such an entry is written as a
// stored entry of raw data, and this layer between the writer and its file
// callbacks sets the method field of the entry's local header as that goes
// out, and of its central directory record, which the writer sends in one
// run when it closes the archive.
#pragma once

#include <minizip/ioapi.h>

#include <cstdint>
#include <map>
#include <string>

namespace quill::project {

class ZipMethodPatch {
 public:
  // Fills `def` with callbacks that pass through to `inner` (which must stay
  // valid while the archive is open). One archive at a time.
  void wrap(const zlib_filefunc64_def& inner, zlib_filefunc64_def* def);
  // The entry whose local header the writer writes next gets `method`.
  void next_entry_method(std::uint16_t method);
  // Everything written from now on is the central directory and the end
  // records: held, patched and written when the archive's file is closed.
  void directory_follows() { collecting_ = true; }

 private:
  static voidpf ZCALLBACK open(voidpf opaque, const void* name, int mode);
  static uLong ZCALLBACK read(voidpf opaque, voidpf stream, void* into, uLong size);
  static uLong ZCALLBACK write(voidpf opaque, voidpf stream, const void* data, uLong size);
  static ZPOS64_T ZCALLBACK tell(voidpf opaque, voidpf stream);
  static long ZCALLBACK seek(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin);
  static int ZCALLBACK close(voidpf opaque, voidpf stream);
  static int ZCALLBACK error(voidpf opaque, voidpf stream);
  void patch_directory();

  zlib_filefunc64_def inner_{};
  voidpf stream_ = nullptr;
  std::map<std::uint64_t, std::uint16_t> methods_;  // by local header offset
  bool local_pending_ = false;                       // the last one's header is not out yet
  std::uint64_t pending_offset_ = 0;
  bool collecting_ = false;
  std::string directory_;
};

}  // namespace quill::project
