// Reads the uncompressed bytes of one LZMA entry (ZIP method 14, see
// compression.h) in order, straight from the archive's file: it keeps its
// own position, so other entries may be read between two of its reads.
#pragma once

#include <LzmaDec.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "os/os.h"

namespace quill::package {

class LzmaStream {
 public:
  LzmaStream();
  ~LzmaStream();
  LzmaStream(const LzmaStream&) = delete;
  LzmaStream& operator=(const LzmaStream&) = delete;

  // Starts at the beginning of an entry's data: `length` compressed bytes
  // from `offset` of `file`, holding `size` uncompressed bytes. False when
  // the header is unreadable or asks for a dictionary above
  // kMaxLzmaDictionary.
  bool start(os::File* file, std::uint64_t offset, std::uint64_t length, std::uint64_t size);
  // Up to `count` (below 2 GiB) next bytes into `into`: the count (0 at the
  // end of the stream's `size`), or -1 when the data is damaged or unreadable.
  long read(void* into, std::size_t count);
  // Reads and drops `count` bytes; false when they cannot be read.
  bool skip(std::uint64_t count);

  bool started() const { return started_; }
  std::uint64_t position() const { return produced_; }
  void stop();

 private:
  bool fill();

  CLzmaDec decoder_;
  bool allocated_ = false;
  bool started_ = false;
  os::File* file_ = nullptr;
  std::uint64_t next_ = 0;  // file offset of the next compressed byte to load
  std::uint64_t end_ = 0;   // file offset just past the compressed data
  std::uint64_t size_ = 0;
  std::uint64_t produced_ = 0;
  std::unique_ptr<unsigned char[]> input_;
  std::size_t input_pos_ = 0;
  std::size_t input_len_ = 0;
};

}  // namespace quill::package
