// Payload archive reader over minizip, with all file access through os::Os.
#include "package/archive.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "common/paths.h"
#include "package/compression.h"
#include "package/solid_index.h"
#include "text/unicode.h"

namespace quill::package {

namespace {

// Keeps the first `count` characters of a UTF-8 text.
void cut_to_characters(std::string* text, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < count && pos < text->size(); ++n) text::next_code_point(*text, &pos);
  text->resize(std::min(pos, text->size()));
}

}  // namespace

namespace {

// Large enough that writing a big file costs few system calls.
constexpr std::size_t kCopyBufferSize = 256 * 1024;
constexpr unsigned kHostUnix = 3;
constexpr std::uint32_t kDosReadOnly = 0x01;
constexpr std::uint32_t kUnixWriteBit = 0200;

unzFile as_unz(void* handle) { return static_cast<unzFile>(handle); }

// A read buffer over the os::Os file callbacks. minizip reads headers a few
// bytes at a time; without it, opening an archive of 32,768 entries costs
// millions of system calls.
constexpr std::size_t kReadBufferSize = 64 * 1024;

// Positions are counted from the window's start; a read stops at its end.
struct BufferedStream {
  os::File* file = nullptr;  // the archive's open file, not owned
  bool failed = false;       // a read returned fewer bytes than asked for
  std::uint64_t window_offset = 0;
  std::uint64_t window_end = UINT64_MAX;  // relative to the window's start
  std::vector<char> buffer;
  std::uint64_t buffer_start = 0;
  std::size_t buffer_length = 0;
  std::uint64_t position = 0;
};

// The archive is always read through the file the window names: the name
// minizip passes is not opened.
voidpf ZCALLBACK buffered_open(voidpf opaque, const void*, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  const ArchiveWindowIo& io = *static_cast<const ArchiveWindowIo*>(opaque);
  if (io.file == nullptr) return nullptr;
  BufferedStream* buffered = new BufferedStream;
  buffered->file = io.file;
  buffered->window_offset = io.offset;
  if (io.length != 0) buffered->window_end = io.length;
  // No larger than the window: a small archive needs no 64 KiB buffer.
  std::uint64_t size = kReadBufferSize;
  if (io.length != 0) {
    size = std::min<std::uint64_t>(size, io.length);
  } else {
    const std::uint64_t end = io.file->size();
    size = std::min<std::uint64_t>(size, end > io.offset ? end - io.offset : 0);
  }
  buffered->buffer.resize(static_cast<std::size_t>(size == 0 ? 1 : size));
  return buffered;
}

bool inner_read_at(BufferedStream& s, std::uint64_t offset, char* into, uLong size,
                   uLong* count) {
  if (offset >= s.window_end) {
    *count = 0;
    return true;
  }
  if (size > s.window_end - offset) size = static_cast<uLong>(s.window_end - offset);
  // A position of its own: an LZMA stream may read the file on another
  // thread meanwhile.
  *count = static_cast<uLong>(s.file->read_at(s.window_offset + offset, into, size));
  if (*count < size) s.failed = true;
  return true;
}

uLong ZCALLBACK buffered_read(voidpf, voidpf stream, void* into, uLong size) {
  BufferedStream& s = *static_cast<BufferedStream*>(stream);
  char* out = static_cast<char*>(into);
  uLong done = 0;
  while (done < size) {
    if (s.position >= s.buffer_start && s.position < s.buffer_start + s.buffer_length) {
      std::size_t offset = static_cast<std::size_t>(s.position - s.buffer_start);
      std::size_t take = std::min<std::size_t>(s.buffer_length - offset, size - done);
      std::memcpy(out + done, s.buffer.data() + offset, take);
      done += static_cast<uLong>(take);
      s.position += take;
      continue;
    }
    uLong count = 0;
    if (size - done >= s.buffer.size()) {
      if (!inner_read_at(s, s.position, out + done, size - done, &count) || count == 0) break;
      done += count;
      s.position += count;
      continue;
    }
    if (!inner_read_at(s, s.position, s.buffer.data(), static_cast<uLong>(s.buffer.size()), &count) ||
        count == 0) {
      break;
    }
    s.buffer_start = s.position;
    s.buffer_length = count;
  }
  return done;
}

uLong ZCALLBACK buffered_write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK buffered_tell(voidpf, voidpf stream) {
  return static_cast<BufferedStream*>(stream)->position;
}

long ZCALLBACK buffered_seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  BufferedStream& s = *static_cast<BufferedStream*>(stream);
  std::uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: {
      // minizip moves back by passing a negative offset as an unsigned one.
      const auto signed_offset = static_cast<std::int64_t>(offset);
      if (signed_offset < 0 && static_cast<std::uint64_t>(-(signed_offset + 1)) >= s.position) {
        return -1;
      }
      s.position += offset;  // wraps around to the smaller position for a move back
      return 0;
    }
    case ZLIB_FILEFUNC_SEEK_END:
      if (s.window_end != UINT64_MAX) {
        base = s.window_end;
        break;
      }
      base = s.file->size();
      if (base < s.window_offset) return -1;
      base -= s.window_offset;
      break;
    default: return -1;
  }
  if (offset > UINT64_MAX - base) return -1;
  s.position = base + offset;
  return 0;
}

// Closes the stream, never the file: its owner keeps it open.
int ZCALLBACK buffered_close(voidpf, voidpf stream) {
  BufferedStream* s = static_cast<BufferedStream*>(stream);
  const bool failed = s->failed;
  delete s;
  return failed ? -1 : 0;
}

int ZCALLBACK buffered_error(voidpf, voidpf stream) {
  return static_cast<BufferedStream*>(stream)->failed ? 1 : 0;
}

void fill_buffered_io(ArchiveWindowIo* window, zlib_filefunc64_def* def) {
  def->zopen64_file = buffered_open;
  def->zread_file = buffered_read;
  def->zwrite_file = buffered_write;
  def->ztell64_file = buffered_tell;
  def->zseek64_file = buffered_seek;
  def->zclose_file = buffered_close;
  def->zerror_file = buffered_error;
  def->opaque = window;
}

bool entry_is_read_only(const unz_file_info64& info) {
  if ((info.version >> 8) == kHostUnix) {
    std::uint32_t mode = static_cast<std::uint32_t>(info.external_fa >> 16);
    return mode != 0 && (mode & kUnixWriteBit) == 0;
  }
  return (info.external_fa & kDosReadOnly) != 0;
}

// The attribute bits an extraction restores.
std::uint32_t entry_dos_attributes(const unz_file_info64& info) {
  if ((info.version >> 8) == kHostUnix) return entry_is_read_only(info) ? os::kAttributeReadOnly : 0;
  return static_cast<std::uint32_t>(info.external_fa) &
         (os::kAttributeReadOnly | os::kAttributeHidden | os::kAttributeSystem |
          os::kAttributeArchive);
}

// minizip takes an entry's 64-bit sizes from its zip64 extra field only
// where unsigned long is 32 bits wide (it compares the 32-bit field with
// (unsigned long)-1); on other hosts a size stays the marker 0xFFFFFFFF.
// Reads such sizes from the field, in its order: uncompressed, compressed.
void read_zip64_sizes(const std::vector<unsigned char>& extra, std::size_t length,
                      unz_file_info64* info) {
  constexpr ZPOS64_T kMarker = 0xFFFFFFFFu;
  auto number = [&extra](std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | extra[at + i];
    return value;
  };
  for (std::size_t at = 0; at + 4 <= length;) {
    const std::uint64_t id = number(at, 2);
    const std::size_t size = static_cast<std::size_t>(number(at + 2, 2));
    at += 4;
    if (size > length - at) return;
    if (id == 1) {
      std::size_t field = at;
      for (ZPOS64_T* value : {&info->uncompressed_size, &info->compressed_size}) {
        if (*value != kMarker || field + 8 > at + size) continue;
        *value = number(field, 8);
        field += 8;
      }
      return;
    }
    at += size;
  }
}

}  // namespace

bool create_folder_chain(os::Os& os, const std::string& path, const FolderChainOptions& options) {
  std::set<std::string>* const known = options.known;
  std::size_t position = root_length(path);
  while (position < path.size()) {
    std::size_t next = path.find_first_of("\\/", position);
    if (next == std::string::npos) next = path.size();
    if (next > position) {
      std::string prefix = path.substr(0, next);
      if (known == nullptr || known->count(prefix) == 0) {
        const os::FileStatus status = os.file_status(prefix);
        if (!status.exists) {
          const os::Error error =
              options.secure_last && next == path.size()
                  ? os.create_folder_secured(prefix, os::FolderAccess::machine_program)
                  : os.create_folder(prefix);
          if (error == os::Error::none) {
            if (options.made) options.made(prefix);
            if (known) known->insert(std::move(prefix));
          } else if (error != os::Error::exists) {
            return false;
          }
        } else if (!status.is_folder) {
          return false;
        } else if (known) {
          known->insert(std::move(prefix));
        }
      }
    }
    position = next + 1;
  }
  return path.size() == root_length(path) || (known && known->count(path) != 0) ||
         os.file_status(path).is_folder;
}

Archive::Archive() = default;

Archive::~Archive() { close(); }

bool Archive::open(os::Os& os, const std::string& path) {
  close();
  owned_file_ = os.open_file(path, os::OpenMode::read);
  if (!owned_file_) return false;
  ArchiveLocation location;
  location.file = owned_file_.get();
  return read_headers(os, location);
}

bool Archive::open(os::Os& os, const ArchiveLocation& location) {
  close();
  return read_headers(os, location);
}

bool Archive::read_headers(os::Os& os, const ArchiveLocation& location) {
  if (location.file == nullptr) return false;
  os_ = &os;
  io_.file = location.file;
  io_.offset = location.offset;
  io_.length = location.length;
  zlib_filefunc64_def io;
  fill_buffered_io(&io_, &io);
  // The name is only minizip's; the file is the one the location holds.
  unzFile file = unzOpen2_64("archive", &io);
  if (file == nullptr) return false;
  handle_ = file;

  unz_global_info64 global;
  if (unzGetGlobalInfo64(file, &global) != UNZ_OK) {
    damaged_ = true;
    return true;
  }
  // The entry count is only a hint; never trust it for a large reservation.
  entries_.reserve(static_cast<std::size_t>(global.number_entry < 65536 ? global.number_entry : 65536));

  std::vector<unsigned char> extra(65535);
  int status = unzGoToFirstFile(file);
  while (status == UNZ_OK) {
    unz_file_info64 info;
    char name[kMaxEntryNameBytes + 1];
    std::memset(name, 0, sizeof name);
    if (unzGetCurrentFileInfo64(file, &info, name, sizeof name - 1, extra.data(),
                                static_cast<uLong>(extra.size()), nullptr, 0) != UNZ_OK) {
      damaged_ = true;
      break;
    }
    read_zip64_sizes(extra, std::min<std::size_t>(info.size_file_extra, extra.size()), &info);
    unz64_file_pos position;
    if (unzGetFilePos64(file, &position) != UNZ_OK) {
      damaged_ = true;
      break;
    }
    Entry entry;
    entry.info.name.assign(name, strnlen(name, kMaxEntryNameBytes));
    // The language encoding flag (bit 11) marks a UTF-8 name; a name
    // without it was written in the ANSI code page. ASCII reads alike.
    if ((info.flag & kUtf8NameFlag) == 0) entry.info.name = text::ansi_to_utf8(entry.info.name);
    cut_to_characters(&entry.info.name, kMaxEntryNameLength);
    entry.info.uncompressed_size = info.uncompressed_size;
    entry.info.compressed_size = info.compressed_size;
    entry.info.attributes = static_cast<std::uint32_t>(info.external_fa);
    entry.info.dos_date_time = static_cast<std::uint32_t>(info.dosDate);
    entry.info.read_only = entry_is_read_only(info);
    entry.info.dos_attributes = entry_dos_attributes(info);
    entry.header_offset = position.pos_in_zip_directory;
    entry.entry_number = position.num_of_file;
    entry.method = static_cast<unsigned>(info.compression_method);
    entry.crc = static_cast<std::uint32_t>(info.crc);
    entries_.push_back(std::move(entry));
    status = unzGoToNextFile(file);
  }
  if (status != UNZ_OK && status != UNZ_END_OF_LIST_OF_FILE) damaged_ = true;
  if (!list_solid_members()) damaged_ = true;
  return true;
}

bool Archive::list_solid_members() {
  std::size_t index_entry = npos;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].info.name == kSolidIndexName) index_entry = i;
  }
  std::string text;
  constexpr std::size_t kMaxIndexBytes = 64u << 20;
  const bool listed =
      index_entry != npos && read_entry(index_entry, kMaxIndexBytes, &text) == ExtractResult::ok;
  // The blocks come in the archive numbered 1, 2, ... and the index lists
  // their files block by block: each block entry gives way to its files.
  bool sound = listed || index_entry == npos;
  std::size_t pos = 0;
  SolidMember member;
  bool held = listed && next_solid_member(text, &pos, &member);
  std::vector<Entry> all;
  all.reserve(entries_.size());
  for (Entry& entry : entries_) {
    const std::uint32_t block = solid_block_number(entry.info.name, &entry.x86);
    if (block == 0) {
      if (!is_data_entry_name(entry.info.name)) {
        // emplace keeps the first entry of a name, as a front-to-back search would.
        install_index_.emplace(replace_char(entry.info.name, '/', '\\'), all.size());
      }
      all.push_back(std::move(entry));
      continue;
    }
    if (!listed || block != blocks_.size() + 1 || entry.method != kLzmaMethod) {
      sound = false;
      continue;
    }
    std::uint64_t offset = 0;
    for (; held && member.block == block; held = next_solid_member(text, &pos, &member)) {
      Entry file;
      file.info = entry.info;
      file.info.name = std::move(member.name);
      cut_to_characters(&file.info.name, kMaxEntryNameLength);
      file.info.uncompressed_size = member.size;
      file.info.compressed_size = 0;
      file.info.dos_date_time = member.dos_date_time;
      file.method = kLzmaMethod;
      file.crc = member.crc;
      file.block = block;
      file.block_offset = offset;
      offset += member.size;
      // Blocks hold only files to install: the writer puts no data entry in one.
      install_index_.emplace(replace_char(file.info.name, '/', '\\'), all.size());
      all.push_back(std::move(file));
    }
    if (offset != entry.info.uncompressed_size) sound = false;
    blocks_.push_back(std::move(entry));
  }
  entries_ = std::move(all);
  // Every line read, none left over or malformed.
  return sound && !held && pos >= text.size();
}

void Archive::close() {
  lzma_.stop();
  lzma_key_ = 0;
  if (handle_ != nullptr) unzClose(as_unz(handle_));
  handle_ = nullptr;
  owned_file_.reset();
  damaged_ = false;
  entries_.clear();
  blocks_.clear();
  install_index_.clear();
}

std::size_t Archive::find_install_entry(const std::string& name) const {
  auto found = install_index_.find(name);
  return found == install_index_.end() ? npos : found->second;
}

bool Archive::open_entry_data(const Entry& entry) {
  unzFile file = as_unz(handle_);
  unz64_file_pos position;
  position.pos_in_zip_directory = entry.header_offset;
  position.num_of_file = entry.entry_number;
  return unzGoToFilePos64(file, &position) == UNZ_OK && unzOpenCurrentFile(file) == UNZ_OK;
}

bool Archive::data_offset(const Entry& entry, std::uint64_t* offset) {
  // The reader opens no entry of a method it does not know, not even raw:
  // the central record gives the local header, whose name and extra field
  // the data follows. (Offsets past 4 GiB are outside the format.)
  unsigned char record[46];
  unsigned char header[30];
  auto read_at = [this](std::uint64_t at, unsigned char* into, std::size_t size) {
    return io_.file->read_at(io_.offset + at, into, size) == size;
  };
  auto get = [](const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    while (bytes-- > 0) v = v << 8 | p[bytes];
    return v;
  };
  // (A wrong offset only points the decoder at data that fails its checks.)
  if (!read_at(entry.header_offset, record, sizeof record)) return false;
  const std::uint32_t local = get(record + 42, 4);
  if (!read_at(local, header, sizeof header)) return false;
  *offset = std::uint64_t{local} + sizeof header + get(header + 26, 2) + get(header + 28, 2);
  return true;
}

bool Archive::begin_data(const Entry& entry) {
  if (entry.method != kLzmaMethod) return open_entry_data(entry);
  const Entry* stream = &entry;
  std::uint64_t key = (std::uint64_t{1} << 32) + entry.header_offset;
  if (entry.block != 0) {
    if (entry.block > blocks_.size()) return false;
    stream = &blocks_[entry.block - 1];
    key = entry.block;
  }
  // A block's files are mostly read in order: go on from where the last
  // one ended, and start the block over only to go back.
  if (!lzma_.started() || lzma_key_ != key || lzma_.position() > entry.block_offset) {
    std::uint64_t offset = 0;
    lzma_key_ = 0;
    if (!data_offset(*stream, &offset) ||
        !lzma_.start(*os_, io_.file, io_.offset + offset, stream->info.compressed_size,
                     stream->info.uncompressed_size, stream->x86)) {
      return false;
    }
    lzma_key_ = key;
  }
  // (A block that cannot be read to the file stays unreadable: its later
  // files fail too, its earlier ones start it over.)
  if (!lzma_.skip(entry.block_offset - lzma_.position())) return false;
  lzma_crc_ = 0;
  lzma_left_ = entry.info.uncompressed_size;
  return true;
}

long Archive::read_data(const Entry& entry, void* into, std::size_t count) {
  if (entry.method != kLzmaMethod) {
    return unzReadCurrentFile(as_unz(handle_), into, static_cast<unsigned>(count));
  }
  const long got = lzma_.read(into, static_cast<std::size_t>(std::min<std::uint64_t>(count, lzma_left_)));
  if (got < 0) return -1;
  lzma_crc_ = static_cast<std::uint32_t>(crc32(lzma_crc_, static_cast<const Bytef*>(into), static_cast<uInt>(got)));
  lzma_left_ -= static_cast<std::uint64_t>(got);
  return got;
}

bool Archive::end_data(const Entry& entry) {
  if (entry.method != kLzmaMethod) return unzCloseCurrentFile(as_unz(handle_)) == UNZ_OK;
  const bool sound = lzma_left_ == 0 && lzma_crc_ == entry.crc;
  // A single entry's dictionary is let go at once; a block's is kept for
  // its next file unless this one was damaged.
  if (entry.block == 0 || !sound) lzma_.stop();
  return sound;
}

ExtractResult Archive::read_entry(std::size_t index, std::size_t max_bytes, std::string* bytes) {
  bytes->clear();
  if (handle_ == nullptr || index >= entries_.size()) return ExtractResult::damaged;
  const Entry& entry = entries_[index];
  if (entry.info.uncompressed_size > max_bytes) return ExtractResult::damaged;
  if (!begin_data(entry)) return ExtractResult::damaged;
  bytes->resize(static_cast<std::size_t>(entry.info.uncompressed_size));
  std::size_t got = 0;
  bool sound = true;
  while (got < bytes->size()) {
    const std::size_t want = std::min<std::size_t>(bytes->size() - got, kCopyBufferSize);
    const long count = read_data(entry, &(*bytes)[got], want);
    if (count <= 0) {
      sound = false;
      break;
    }
    got += static_cast<std::size_t>(count);
  }
  // Data longer than its header says is as damaged as shorter data.
  char extra = 0;
  if (sound && read_data(entry, &extra, 1) != 0) sound = false;
  // Ending checks the CRC once all data was read.
  if (!end_data(entry)) sound = false;
  if (sound) return ExtractResult::ok;
  bytes->clear();
  return ExtractResult::damaged;
}

ExtractResult Archive::extract_entry(std::size_t index, const std::string& destination) {
  if (handle_ == nullptr || index >= entries_.size()) return ExtractResult::damaged;
  const Entry& entry = entries_[index];

  if (!entry.info.name.empty() && entry.info.name.back() == '/') {
    return create_folder_chain(*os_, destination) ? ExtractResult::ok
                                                  : ExtractResult::write_failed;
  }

  if (!begin_data(entry)) return ExtractResult::damaged;

  // Most destinations are new files in folders that exist: the open is
  // tried first, and only a refused one looks at the folders and at a
  // read-only file in the way.
  std::unique_ptr<os::File> out = os_->open_file(destination, os::OpenMode::write);
  if (!out) {
    std::string folder = folder_part(destination);
    if (!folder.empty() && !create_folder_chain(*os_, without_trailing_backslash(folder))) {
      end_data(entry);
      return ExtractResult::write_failed;
    }
    os::FileStatus existing = os_->file_status(destination);
    if (existing.exists && existing.read_only) os_->set_read_only(destination, false);
    out = os_->open_file(destination, os::OpenMode::write);
  }
  if (!out) {
    end_data(entry);
    return ExtractResult::write_failed;
  }

  ExtractResult result = ExtractResult::ok;
  // Grown to the largest entry seen, at most 256 KiB, and kept.
  std::uint64_t wanted = std::min<std::uint64_t>(kCopyBufferSize, entry.info.uncompressed_size + 1);
  if (copy_buffer_.size() < wanted) copy_buffer_.resize(static_cast<std::size_t>(wanted));
  std::vector<char>& buffer = copy_buffer_;
  std::uint64_t written = 0;
  for (;;) {
    const long count = read_data(entry, buffer.data(), buffer.size());
    if (count < 0) {
      result = ExtractResult::damaged;
      break;
    }
    if (count == 0) break;
    if (!out->write(buffer.data(), static_cast<std::size_t>(count))) {
      result = ExtractResult::write_failed;
      break;
    }
    written += static_cast<std::uint64_t>(count);
  }
  // Data that ends early reads as a plain end of file, and the CRC is only
  // checked once every byte arrived: compare the size first.
  if (result == ExtractResult::ok && written != entry.info.uncompressed_size) {
    result = ExtractResult::damaged;
  }
  // Ending checks the CRC once all data was read.
  const bool whole = end_data(entry);
  if (result == ExtractResult::ok && !whole) result = ExtractResult::damaged;
  const bool finished = result == ExtractResult::ok &&
                        out->finish(entry.info.dos_date_time, entry.info.dos_attributes) ==
                            os::Error::none;
  out.reset();

  if (result != ExtractResult::ok) {
    os_->delete_file(destination);
    return result;
  }
  if (finished) return ExtractResult::ok;
  os_->set_file_time(destination, entry.info.dos_date_time);
  // Attributes last: a read-only or system file may refuse the time.
  if (entry.info.dos_attributes != 0) os_->set_attributes(destination, entry.info.dos_attributes);
  return ExtractResult::ok;
}

}  // namespace quill::package
