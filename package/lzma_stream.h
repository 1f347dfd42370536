// Reads the uncompressed bytes of one LZMA entry (ZIP method 14, see
// compression.h) in order, straight from the archive's file: it keeps its
// own position, so other entries may be read between two of its reads.
//
// Where the machine gives it a second thread, the stream decodes ahead on
// it while the caller writes what it read: up to kAheadSlots slots of
// kAheadSlotSize bytes wait decoded. Its memory is then the dictionary (at
// most kMaxLzmaDictionary), the decoder's probabilities (under 32 KiB for
// the writer's settings), 64 KiB of input and 1 MiB of slots; a stream of
// converted x86 code (solid_index.h) adds 64 KiB in which it is turned back.
#pragma once

#include <LzmaDec.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "os/os.h"
#include "package/x86_stage.h"

namespace quill::package {

class LzmaStream {
 public:
  LzmaStream();
  ~LzmaStream();
  LzmaStream(const LzmaStream&) = delete;
  LzmaStream& operator=(const LzmaStream&) = delete;

  // Starts at the beginning of an entry's data: `length` compressed bytes
  // from `offset` of `file`, holding `size` uncompressed bytes. The file is
  // read with File::read_at only; with `x86`, the decoded bytes are turned
  // back by the x86 branch converter. False when the header is unreadable or
  // asks for a dictionary above kMaxLzmaDictionary.
  bool start(os::Os& os, os::File* file, std::uint64_t offset, std::uint64_t length, std::uint64_t size,
             bool x86 = false);
  // Up to `count` (below 2 GiB) next bytes into `into`: the count (0 at the
  // end of the stream's `size`), or -1 when the data is damaged or unreadable.
  long read(void* into, std::size_t count);
  // Reads and drops `count` bytes; false when they cannot be read.
  bool skip(std::uint64_t count);

  bool started() const { return started_; }
  std::uint64_t position() const { return produced_; }
  // Ends the stream (and waits for the decoding thread) and lets its
  // dictionary go.
  void stop();

  static constexpr std::size_t kAheadSlots = 4;
  static constexpr std::size_t kAheadSlotSize = 256 * 1024;

 private:
  bool fill();
  // Decodes the next `count` bytes into `into`, on whichever thread decodes.
  long decode(unsigned char* into, std::size_t count);
  // The same for the coder's own output, before any conversion.
  long decode_coded(unsigned char* into, std::size_t count);
  // X86Stage's source: the coder's next bytes, up to the stream's size.
  static long coded_source(void* stream, unsigned char* into, std::size_t count);
  // The decoding thread's loop: fills free slots until the stream's end,
  // damage or stop().
  static void decode_ahead(void* stream);
  long take(unsigned char* into, std::size_t count);

  CLzmaDec decoder_;
  bool allocated_ = false;
  bool started_ = false;
  os::File* file_ = nullptr;
  std::uint64_t next_ = 0;  // file offset of the next compressed byte to load
  std::uint64_t end_ = 0;   // file offset just past the compressed data
  std::uint64_t size_ = 0;
  std::uint64_t coded_ = 0;     // bytes the coder gave out
  std::uint64_t decoded_ = 0;   // bytes decode() gave out
  std::uint64_t produced_ = 0;  // bytes the caller took
  std::unique_ptr<unsigned char[]> input_;
  std::size_t input_pos_ = 0;
  std::size_t input_len_ = 0;

  // Converted x86 code is turned back on its way out.
  bool x86_ = false;
  X86Stage x86_stage_;

  // Decoding ahead: free_ counts the slots the thread may fill, full_ those
  // the caller may take; each side goes round the slots in order.
  std::unique_ptr<unsigned char[]> ahead_;  // the slots, one after the other
  long lengths_[kAheadSlots] = {};            // of each slot's bytes; -1: damaged there
  std::unique_ptr<os::Semaphore> free_;
  std::unique_ptr<os::Semaphore> full_;
  std::unique_ptr<os::Thread> thread_;
  std::atomic<bool> stopping_{false};
  std::size_t fill_slot_ = 0;
  std::size_t take_slot_ = 0;
  long taken_ = 0;        // bytes taken of the slot take_slot_ names
  bool holding_ = false;  // the caller holds slot take_slot_
  bool damaged_ = false;
};

}  // namespace quill::package
