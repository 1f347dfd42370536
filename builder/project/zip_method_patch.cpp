// The method-patching layer over the ZIP writer's file callbacks.
#include "builder/project/zip_method_patch.h"

#include <cstring>

namespace quill::project {

namespace {

constexpr std::size_t kLocalMethodAt = 8;     // in a local file header
constexpr std::size_t kCentralMethodAt = 10;  // in a central directory record
constexpr std::size_t kCentralFixedSize = 46;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;

std::uint32_t get(const std::string& s, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

std::uint64_t get64(const std::string& s, std::size_t at) {
  return static_cast<std::uint64_t>(get(s, at + 4, 4)) << 32 | get(s, at, 4);
}

ZipMethodPatch& self(voidpf opaque) { return *static_cast<ZipMethodPatch*>(opaque); }

}  // namespace

void ZipMethodPatch::wrap(const zlib_filefunc64_def& inner, zlib_filefunc64_def* def) {
  inner_ = inner;
  stream_ = nullptr;
  methods_.clear();
  local_pending_ = false;
  collecting_ = false;
  directory_.clear();
  def->zopen64_file = open;
  def->zread_file = read;
  def->zwrite_file = write;
  def->ztell64_file = tell;
  def->zseek64_file = seek;
  def->zclose_file = close;
  def->zerror_file = error;
  def->opaque = this;
}

void ZipMethodPatch::next_entry_method(std::uint16_t method) {
  if (stream_ == nullptr) return;
  pending_offset_ = inner_.ztell64_file(inner_.opaque, stream_);
  methods_[pending_offset_] = method;
  local_pending_ = true;
}

voidpf ZCALLBACK ZipMethodPatch::open(voidpf opaque, const void* name, int mode) {
  ZipMethodPatch& p = self(opaque);
  p.stream_ = p.inner_.zopen64_file(p.inner_.opaque, name, mode);
  return p.stream_;
}

uLong ZCALLBACK ZipMethodPatch::read(voidpf opaque, voidpf stream, void* into, uLong size) {
  ZipMethodPatch& p = self(opaque);
  return p.inner_.zread_file(p.inner_.opaque, stream, into, size);
}

uLong ZCALLBACK ZipMethodPatch::write(voidpf opaque, voidpf stream, const void* data, uLong size) {
  ZipMethodPatch& p = self(opaque);
  if (p.collecting_) {
    p.directory_.append(static_cast<const char*>(data), size);
    return size;
  }
  if (!p.local_pending_) return p.inner_.zwrite_file(p.inner_.opaque, stream, data, size);
  // The method field goes out in this write, or in a later one.
  const std::uint64_t at = p.inner_.ztell64_file(p.inner_.opaque, stream);
  const std::uint64_t field = p.pending_offset_ + kLocalMethodAt;
  if (field + 2 <= at || field >= at + size) return p.inner_.zwrite_file(p.inner_.opaque, stream, data, size);
  std::string copy(static_cast<const char*>(data), size);
  const std::uint16_t method = p.methods_[p.pending_offset_];
  for (std::uint64_t i = 0; i < 2; ++i) {
    if (field + i >= at && field + i < at + size) {
      copy[static_cast<std::size_t>(field + i - at)] = static_cast<char>(method >> (8 * i));
    }
  }
  if (field + 2 <= at + size) p.local_pending_ = false;
  return p.inner_.zwrite_file(p.inner_.opaque, stream, copy.data(), size);
}

ZPOS64_T ZCALLBACK ZipMethodPatch::tell(voidpf opaque, voidpf stream) {
  ZipMethodPatch& p = self(opaque);
  return p.inner_.ztell64_file(p.inner_.opaque, stream) + p.directory_.size();
}

long ZCALLBACK ZipMethodPatch::seek(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin) {
  ZipMethodPatch& p = self(opaque);
  return p.inner_.zseek64_file(p.inner_.opaque, stream, offset, origin);
}

int ZCALLBACK ZipMethodPatch::close(voidpf opaque, voidpf stream) {
  ZipMethodPatch& p = self(opaque);
  bool failed = false;
  if (!p.directory_.empty()) {
    p.patch_directory();
    const uLong size = static_cast<uLong>(p.directory_.size());
    failed = p.inner_.zwrite_file(p.inner_.opaque, stream, p.directory_.data(), size) != size;
    p.directory_.clear();
  }
  p.collecting_ = false;
  p.stream_ = nullptr;
  const int result = p.inner_.zclose_file(p.inner_.opaque, stream);
  return failed ? -1 : result;
}

int ZCALLBACK ZipMethodPatch::error(voidpf opaque, voidpf stream) {
  ZipMethodPatch& p = self(opaque);
  return p.inner_.zerror_file(p.inner_.opaque, stream);
}

void ZipMethodPatch::patch_directory() {
  std::string& d = directory_;
  std::size_t at = 0;
  while (at + kCentralFixedSize <= d.size() && get(d, at, 4) == kCentralSignature) {
    const std::size_t name = get(d, at + 28, 2);
    const std::size_t extra = get(d, at + 30, 2);
    const std::size_t comment = get(d, at + 32, 2);
    const std::size_t end = at + kCentralFixedSize + name + extra + comment;
    if (end > d.size()) break;
    std::uint64_t local = get(d, at + 42, 4);
    if (local == 0xFFFFFFFFu) {
      // The offset is in the ZIP64 field, after whichever sizes overflowed.
      for (std::size_t x = at + kCentralFixedSize + name; x + 4 <= at + kCentralFixedSize + name + extra;) {
        const std::size_t length = get(d, x + 2, 2);
        if (get(d, x, 2) == kZip64ExtraId) {
          std::size_t field = x + 4;
          if (get(d, at + 24, 4) == 0xFFFFFFFFu) field += 8;
          if (get(d, at + 20, 4) == 0xFFFFFFFFu) field += 8;
          if (field + 8 <= x + 4 + length) local = get64(d, field);
          break;
        }
        x += 4 + length;
      }
    }
    auto method = methods_.find(local);
    if (method != methods_.end()) {
      d[at + kCentralMethodAt] = static_cast<char>(method->second);
      d[at + kCentralMethodAt + 1] = static_cast<char>(method->second >> 8);
    }
    at = end;
  }
}

}  // namespace quill::project
