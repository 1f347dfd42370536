// The LZMA entry reader over the coder's decoder, decoding ahead on a
// second thread where the machine has one.
#include "package/lzma_stream.h"

#include <LzmaDec.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "package/compression.h"

namespace quill::package {

namespace {

constexpr std::size_t kInputBufferSize = 64 * 1024;
constexpr std::size_t kStageSize = 64 * 1024;

void* allocate(ISzAllocPtr, size_t size) { return std::malloc(size); }
void release(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kAllocator = {allocate, release};

std::uint32_t little32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

LzmaStream::LzmaStream() { LzmaDec_CONSTRUCT(&decoder_); }

LzmaStream::~LzmaStream() { stop(); }

void LzmaStream::stop() {
  if (thread_) {
    // The thread looks at the flag after every wait for a free slot.
    stopping_ = true;
    free_->post();
    thread_.reset();
  }
  free_.reset();
  full_.reset();
  started_ = false;
  // A large dictionary is not kept once its entry is done.
  if (allocated_) LzmaDec_Free(&decoder_, &kAllocator);
  allocated_ = false;
}

bool LzmaStream::start(os::Os& os, os::File* file, std::uint64_t offset, std::uint64_t length,
                       std::uint64_t size, bool x86) {
  stop();
  unsigned char header[kLzmaHeaderSize + kLzmaPropsSize];
  if (file == nullptr || length < sizeof header || file->read_at(offset, header, sizeof header) != sizeof header) {
    return false;
  }
  // The writer sizes a stream's dictionary to its data; a larger one than
  // the bound is refused rather than set aside.
  const unsigned char* props = header + kLzmaHeaderSize;
  if (header[2] != kLzmaPropsSize || header[3] != 0 || little32(props + 1) > kMaxLzmaDictionary) return false;
  allocated_ = LzmaDec_Allocate(&decoder_, props, kLzmaPropsSize, &kAllocator) == SZ_OK;
  if (!allocated_) return false;
  LzmaDec_Init(&decoder_);
  if (!input_) input_.reset(new unsigned char[kInputBufferSize]);
  x86_ = x86;
  if (x86) x86_stage_.start(z7_BranchConvSt_X86_Dec, kStageSize);
  file_ = file;
  next_ = offset + sizeof header;
  end_ = offset + length;
  size_ = size;
  coded_ = decoded_ = produced_ = 0;
  input_pos_ = input_len_ = 0;
  fill_slot_ = take_slot_ = 0;
  taken_ = 0;
  holding_ = damaged_ = false;
  started_ = true;
  // A stream that fits one slot is decoded as it is read.
  if (size > kAheadSlotSize) {
    free_ = os.make_semaphore(kAheadSlots);
    full_ = os.make_semaphore(0);
    if (free_ && full_) {
      if (!ahead_) ahead_.reset(new unsigned char[kAheadSlots * kAheadSlotSize]);
      stopping_ = false;
      thread_ = os.start_thread(decode_ahead, this);
    }
    if (!thread_) {
      free_.reset();
      full_.reset();
    }
  }
  return true;
}

bool LzmaStream::fill() {
  if (next_ >= end_) return false;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kInputBufferSize, end_ - next_));
  input_len_ = file_->read_at(next_, input_.get(), want);
  input_pos_ = 0;
  next_ += input_len_;
  return input_len_ != 0;
}

long LzmaStream::decode(unsigned char* into, std::size_t count) {
  const long got = x86_ ? x86_stage_.read(into, count, coded_source, this) : decode_coded(into, count);
  // Callers ask for no byte past the stream's size.
  if (got != static_cast<long>(count)) return -1;
  decoded_ += count;
  return got;
}

long LzmaStream::coded_source(void* stream, unsigned char* into, std::size_t count) {
  LzmaStream& self = *static_cast<LzmaStream*>(stream);
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, self.size_ - self.coded_));
  return count == 0 ? 0 : self.decode_coded(into, count);
}

long LzmaStream::decode_coded(unsigned char* into, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    if (input_pos_ == input_len_ && !fill()) {
      // Without more input the decoder may still hold output; anything
      // else is data that ends early.
      input_pos_ = input_len_ = 0;
    }
    SizeT out_size = count - done;
    SizeT in_size = input_len_ - input_pos_;
    ELzmaStatus status;
    const SRes result = LzmaDec_DecodeToBuf(&decoder_, into + done, &out_size, input_.get() + input_pos_,
                                            &in_size, LZMA_FINISH_ANY, &status);
    input_pos_ += in_size;
    done += out_size;
    if (result != SZ_OK) return -1;
    if (out_size == 0 && in_size == 0) return -1;  // no progress: truncated or an early end marker
  }
  coded_ += done;
  return static_cast<long>(done);
}

void LzmaStream::decode_ahead(void* stream) {
  LzmaStream& self = *static_cast<LzmaStream*>(stream);
  for (;;) {
    self.free_->wait();
    if (self.stopping_) return;
    const std::size_t slot = self.fill_slot_;
    self.fill_slot_ = (slot + 1) % kAheadSlots;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kAheadSlotSize, self.size_ - self.decoded_));
    const long length = self.decode(self.ahead_.get() + slot * kAheadSlotSize, want);
    self.lengths_[slot] = length;
    self.full_->post();
    // The caller asks for no byte past the stream's size, so no slot is
    // waited for after the last one.
    if (length < 0 || self.decoded_ == self.size_) return;
  }
}

long LzmaStream::take(unsigned char* into, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    if (!holding_) {
      full_->wait();
      holding_ = true;
      taken_ = 0;
    }
    const long length = lengths_[take_slot_];
    if (length < 0) return -1;
    const std::size_t part = std::min<std::size_t>(count - done, static_cast<std::size_t>(length - taken_));
    std::memcpy(into + done, ahead_.get() + take_slot_ * kAheadSlotSize + taken_, part);
    done += part;
    taken_ += static_cast<long>(part);
    if (taken_ == length) {
      holding_ = false;
      take_slot_ = (take_slot_ + 1) % kAheadSlots;
      free_->post();
    }
  }
  return static_cast<long>(done);
}

long LzmaStream::read(void* into, std::size_t count) {
  if (!started_ || damaged_) return -1;
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - produced_));
  auto* bytes = static_cast<unsigned char*>(into);
  const long got = thread_ ? take(bytes, count) : decode(bytes, count);
  if (got < 0) {
    damaged_ = true;
    return -1;
  }
  produced_ += static_cast<std::uint64_t>(got);
  return got;
}

bool LzmaStream::skip(std::uint64_t count) {
  unsigned char scratch[4096];
  while (count > 0) {
    const long got = read(scratch, static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof scratch)));
    if (got <= 0) return false;
    count -= static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace quill::package
