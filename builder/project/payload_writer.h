// Writes the payload archive: a standard ZIP archive whose entries are
// compressed by worker threads and handed to the ZIP writer as raw deflate
// data, in the order they were added. An entry that fits one bounded buffer
// is read whole and deflated in one call by a whole-buffer compressor,
// about twice as fast as a stream at the same ratio. Larger inputs are cut
// into blocks that the same compressor deflates independently and that are
// joined into one deflate stream (zlib, primed with the 32 KiB before the
// block, stands in should a join fail), so memory stays bounded and both
// workers stay busy whatever the file sizes. The output depends only on
// the entries' names and contents and the time stamp, never on how the
// work was shared between threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <minizip/ioapi.h>

#include "builder/project/zip_method_patch.h"
#include "os/os.h"
#include "package/compression.h"
#include "package/solid_index.h"

namespace quill::project {

// True for the names that the archive stores instead of deflating.
bool is_stored_name(const std::string& name);

struct PayloadLimits {
  int workers = 2;
  std::size_t block_size = 1 << 20;         // input bytes per block of a large entry
  std::size_t whole_blocks = 4;             // entries shorter than this many blocks go whole
  std::size_t max_pending_bytes = 8 << 20;   // input held by unwritten blocks
  std::size_t max_pending_blocks = 32;
  // With LZMA, install entries below `large_entry` bytes go into solid
  // blocks of about `solid_block` bytes; larger ones are LZMA entries of
  // their own, or, when they hold x86 code, blocks of their own through the
  // x86 branch converter. Data entries and large already-compressed files
  // are written as with deflate.
  package::Compression compression = package::Compression::deflate;
  std::size_t large_entry = 4 << 20;
  std::size_t solid_block = 16 << 20;
};

class PayloadWriter {
 public:
  PayloadWriter(os::Os& os, PayloadLimits limits = PayloadLimits());
  ~PayloadWriter();
  PayloadWriter(const PayloadWriter&) = delete;
  PayloadWriter& operator=(const PayloadWriter&) = delete;

  // Creates the archive at `path` (an Os path). Every entry carries one
  // time stamp: the build's start, or the time in SOURCE_DATE_EPOCH (seconds
  // since 1970, UTC) when that is set, so that a build can be repeated byte
  // for byte.
  bool open(const std::string& path);

  enum class AddResult { added, unreadable, aborted };
  // Adds an entry with the content of the file `source`; "\" in `name` is
  // stored as "/". `aborted` is asked before every block.
  AddResult add_file(const std::string& name, const std::string& source,
                     const std::function<bool()>& aborted = nullptr);
  // Adds an entry with the given bytes (never into a solid block).
  void add_data(const std::string& name, const std::string& data);

  // Waits for every entry, writes the central directory and closes the
  // archive: closed, or failed when anything could not be written, or
  // aborted (the archive left unfinished) when `aborted` answers true while
  // it waits.
  enum class CloseResult { closed, failed, aborted };
  CloseResult close(const std::function<bool()>& aborted = nullptr);
  // Stops the workers and closes the archive without finishing it (used on
  // abort; the caller deletes the file).
  void discard();

 private:
  struct Block;
  struct DosTime {
    unsigned tm_sec, tm_min, tm_hour, tm_mday, tm_mon, tm_year;
  };
  struct Entry {
    std::string name;
    bool store = false;
    bool zip64 = false;
    DosTime time{};
  };
  // The time stamp of an entry whose source was last written at `seconds`
  // (0: unknown): the fixed time when SOURCE_DATE_EPOCH is set, else that
  // time, else the newest source time seen so far.
  DosTime entry_time(std::int64_t seconds);
  static std::uint32_t dos_date_time(const DosTime& time);

  // Reads a small install entry into the open solid block; submits the
  // block once it is full.
  AddResult add_to_solid_block(const std::string& name, os::File& file, std::int64_t modified,
                               const std::function<bool()>& aborted);
  // Submits the open solid block, if it holds anything.
  bool submit_solid_block(const std::function<bool()>& aborted);
  // Adds a large install entry that a worker encodes with LZMA, reading the file itself.
  AddResult add_lzma_entry(Entry entry, std::unique_ptr<os::File> file,
                           const std::function<bool()>& aborted);

  void start_workers();
  void stop_workers();
  struct Compressors;  // one worker's own compressor states
  void worker_loop();
  void compress(Block& block, Compressors& compressors);
  // Submits one block, writing finished blocks while the queue is full.
  // False when `aborted` answered true while it waited for room.
  bool submit(std::unique_ptr<Block> block, const std::function<bool()>& aborted = nullptr);
  // Writes every finished block at the head of the queue; with `wait`,
  // blocks until the head is finished. False when `aborted` answered true
  // while it waited (it is asked every 100 ms), and then asks the workers
  // to stop their LZMA work.
  bool drain(bool wait, const std::function<bool()>& aborted = nullptr);
  void write_block(Block& block);
  // Block-sized buffers are reused, so that large inputs neither churn the
  // allocator nor fault in fresh pages for every block. Buffers of whole
  // entries larger than two blocks are freed instead, which keeps the pool
  // at most kPoolSize * 2 blocks.
  std::vector<unsigned char> take_buffer(std::size_t size);
  void give_back(std::vector<unsigned char>&& buffer);
  void release_pool();
  static constexpr std::size_t kPoolSize = 8;

  os::Os& os_;
  PayloadLimits limits_;
  zlib_filefunc64_def file_io_{};
  ZipMethodPatch method_patch_;
  void* zip_ = nullptr;
  bool failed_ = false;
  bool fixed_time_ = false;     // SOURCE_DATE_EPOCH is set
  std::int64_t fixed_seconds_ = 0;
  std::int64_t newest_seconds_ = 0;  // newest source time seen; stamps generated entries

  std::vector<Entry> entries_;
  std::uint32_t crc_ = 0;           // of the entry being written
  std::uint64_t entry_size_ = 0;    // its uncompressed bytes so far

  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable block_done_;
  std::deque<std::unique_ptr<Block>> queue_;  // in archive order
  std::size_t next_job_ = 0;                  // queue index of the next block to compress
  std::size_t pending_bytes_ = 0;
  std::size_t pending_lzma_ = 0;  // LZMA jobs in the queue
  bool stopping_ = false;
  std::atomic<bool> cancel_{false};  // asks running LZMA jobs to stop

  // The open solid block and the files of every block so far.
  std::vector<unsigned char> solid_;
  bool solid_open_ = false;  // a file (perhaps empty) is in solid_
  std::uint32_t solid_count_ = 0;
  std::vector<package::SolidMember> members_;
  std::vector<package::SolidMember> open_members_;  // the open block's files
  std::vector<std::thread> workers_;

  std::mutex pool_mutex_;
  std::vector<std::vector<unsigned char>> pool_;
};

}  // namespace quill::project
