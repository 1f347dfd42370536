// Read access to a payload archive (a ZIP archive) through the OS boundary:
// entry headers by index, extraction of one entry to a file, and an index of
// install entries by their backslash-form name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <map>
#include <set>
#include <vector>

#include <minizip/ioapi.h>

#include "common/limits.h"
#include "os/os.h"
#include "package/entry_names.h"
#include "package/lzma_stream.h"

namespace quill::package {

// Names longer than this many characters are cut, as the stub's 260-byte
// name buffer did; a UTF-8 name takes up to four bytes a character.
constexpr std::size_t kMaxEntryNameLength = kMaxPathLength;
constexpr std::size_t kMaxEntryNameBytes = kMaxEntryNameLength * 4;
// The general purpose flag (bit 11, "language encoding") of an entry whose
// name is UTF-8; without it a name is in the ANSI code page.
constexpr unsigned long kUtf8NameFlag = 0x800;

struct EntryInfo {
  std::string name;  // as stored, with '/' between parts, at most 259 characters
  std::uint64_t uncompressed_size = 0;
  std::uint64_t compressed_size = 0;
  std::uint32_t attributes = 0;     // external attributes as stored
  std::uint32_t dos_date_time = 0;  // MS-DOS date (high word) and time (low word)
  bool read_only = false;           // derived from the attributes
  // The read-only, hidden, system and archive bits (os::kAttribute*) that
  // extraction restores: a Unix-made entry has at most the read-only bit.
  std::uint32_t dos_attributes = 0;
};

// Where a payload archive lies: `length` bytes from `offset` of a file that
// its owner keeps open for as long as the archive is read (the package
// itself, read in place, or its copy). The archive is only ever read
// through this handle, never by opening a name again.
struct ArchiveLocation {
  os::File* file = nullptr;  // not owned
  std::uint64_t offset = 0;
  std::uint64_t length = 0;  // 0: the whole file from `offset`
};

// The window of the open file that the archive reader's callbacks read.
struct ArchiveWindowIo {
  os::File* file = nullptr;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;  // 0: to the file's end
};

enum class ExtractResult {
  ok,
  write_failed,  // the destination could not be created or written
  damaged,       // the entry's data is unreadable or fails its CRC check
};

class Archive {
 public:
  // Answer of find_install_entry when no entry has the name.
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  Archive();
  ~Archive();
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  // Opens the archive file and reads every entry header once. False when the
  // file is missing or is no readable ZIP archive. An archive whose entry
  // list breaks off part way stays open with the entries read so far and
  // reports damaged().
  bool open(os::Os& os, const std::string& path);
  // The same for an archive in a file that is open already (its owner keeps
  // it open while this archive is open). False when the location has no file.
  bool open(os::Os& os, const ArchiveLocation& location);
  void close();
  bool is_open() const { return handle_ != nullptr; }
  // True when the entry list could not be read to its end.
  bool damaged() const { return damaged_; }

  std::size_t entry_count() const { return entries_.size(); }
  // The header of entry `index` (index < entry_count()).
  const EntryInfo& entry(std::size_t index) const { return entries_[index].info; }

  // Extracts entry `index` to the file `destination` (a Windows path):
  // creates missing folders, replaces an existing file (clearing its
  // read-only attribute first), then restores the entry's time as the
  // file's last-write time and its attributes (dos_attributes). A failed
  // extraction removes the partial file. An
  // entry whose name ends in '/' is a folder entry: the destination folder is
  // created and nothing is written.
  ExtractResult extract_entry(std::size_t index, const std::string& destination);
  // Reads entry `index` into memory: `damaged` when its data is unreadable,
  // fails its check or its size is above `max_bytes`.
  ExtractResult read_entry(std::size_t index, std::size_t max_bytes, std::string* bytes);

  // The first install entry whose name, with every '/' read as '\', equals
  // `name` exactly (case-sensitive); data entries are never answered. npos
  // when there is none. Built once at open, so each lookup is O(1).
  std::size_t find_install_entry(const std::string& name) const;

 private:
  struct Entry {
    EntryInfo info;
    std::uint64_t header_offset = 0;  // the entry's position for minizip
    std::uint64_t entry_number = 0;
    unsigned method = 0;
    std::uint32_t crc = 0;
    // A file of a solid block: the block's number and where its bytes
    // begin in the block's data. 0: the entry's data is its own.
    std::uint32_t block = 0;
    std::uint64_t block_offset = 0;
    bool x86 = false;  // a block of converted x86 code
  };

  bool read_headers(os::Os& os, const ArchiveLocation& location);
  // Replaces the solid blocks in the entry list by the files the solid
  // index lists, and indexes the install entries; false when the index and
  // the blocks disagree.
  bool list_solid_members();
  // Positions the reader at the entry's data; false when that fails.
  bool open_entry_data(const Entry& entry);
  // Reading an entry's data from its start, whatever its method: begin,
  // read until 0 (or -1: damaged), then end, which answers whether the
  // data was whole and matched its checksum.
  bool begin_data(const Entry& entry);
  long read_data(const Entry& entry, void* into, std::size_t count);
  bool end_data(const Entry& entry);
  // Where the compressed data of a zip entry begins in the archive's file.
  bool data_offset(const Entry& entry, std::uint64_t* offset);

  os::Os* os_ = nullptr;
  std::unique_ptr<os::File> owned_file_;  // opened by open(os, path)
  // The os::Os file callbacks and the window; the archive's buffered
  // callbacks point here.
  ArchiveWindowIo io_;
  void* handle_ = nullptr;  // unzFile
  bool damaged_ = false;
  std::vector<Entry> entries_;
  std::map<std::string, std::size_t> install_index_;
  std::vector<char> copy_buffer_;  // grown by extractions up to 64 KiB, kept until destruction
  // The solid blocks' own zip entries, block 1 first.
  std::vector<Entry> blocks_;
  // The LZMA stream being read: a block's, kept between its files, which
  // are mostly read in order; or a single entry's.
  LzmaStream lzma_;
  std::uint64_t lzma_key_ = 0;  // block number, or 2^32 + the entry's header offset
  std::uint32_t lzma_crc_ = 0;
  std::uint64_t lzma_left_ = 0;
};

// What a caller of create_folder_chain keeps of the folders along a chain.
struct FolderChainOptions {
  // Folders known to exist (with their parents): not looked at again. Every
  // folder the chain finds or makes is added.
  std::set<std::string>* known = nullptr;
  // Told of each folder made, in the order made.
  std::function<void(const std::string&)> made;
  // The last folder, when made, gets the access list of a machine-wide
  // program's folder (administrators write, users read and run) instead of
  // its parent's.
  bool secure_last = false;
};

// Creates every missing folder of `path` up to and including `path` itself.
// Existing folders are no error; true when the whole chain exists afterwards.
bool create_folder_chain(os::Os& os, const std::string& path,
                         const FolderChainOptions& options = FolderChainOptions());

}  // namespace quill::package
