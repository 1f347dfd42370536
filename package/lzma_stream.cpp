// The LZMA entry reader over the coder's decoder.
#include "package/lzma_stream.h"

#include <LzmaDec.h>

#include <algorithm>
#include <cstdlib>

#include "package/compression.h"

namespace quill::package {

namespace {

constexpr std::size_t kInputBufferSize = 64 * 1024;

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
  started_ = false;
  // A large dictionary is not kept once its entry is done.
  if (allocated_) LzmaDec_Free(&decoder_, &kAllocator);
  allocated_ = false;
}

bool LzmaStream::start(os::File* file, std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
  started_ = false;
  unsigned char header[kLzmaHeaderSize + kLzmaPropsSize];
  if (file == nullptr || length < sizeof header || !file->seek(offset) ||
      file->read(header, sizeof header) != sizeof header) {
    return false;
  }
  // The writer sizes a stream's dictionary to its data; a larger one than
  // the bound is refused rather than set aside.
  const unsigned char* props = header + kLzmaHeaderSize;
  if (header[2] != kLzmaPropsSize || header[3] != 0 || little32(props + 1) > kMaxLzmaDictionary) return false;
  if (allocated_) LzmaDec_Free(&decoder_, &kAllocator);
  allocated_ = LzmaDec_Allocate(&decoder_, props, kLzmaPropsSize, &kAllocator) == SZ_OK;
  if (!allocated_) return false;
  LzmaDec_Init(&decoder_);
  if (!input_) input_.reset(new unsigned char[kInputBufferSize]);
  file_ = file;
  next_ = offset + sizeof header;
  end_ = offset + length;
  size_ = size;
  produced_ = 0;
  input_pos_ = input_len_ = 0;
  started_ = true;
  return true;
}

bool LzmaStream::fill() {
  if (next_ >= end_ || !file_->seek(next_)) return false;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kInputBufferSize, end_ - next_));
  input_len_ = file_->read(input_.get(), want);
  input_pos_ = 0;
  next_ += input_len_;
  return input_len_ != 0;
}

long LzmaStream::read(void* into, std::size_t count) {
  if (!started_) return -1;
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - produced_));
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
    const SRes result = LzmaDec_DecodeToBuf(&decoder_, static_cast<Byte*>(into) + done, &out_size,
                                            input_.get() + input_pos_, &in_size, LZMA_FINISH_ANY, &status);
    input_pos_ += in_size;
    done += out_size;
    if (result != SZ_OK) return -1;
    if (out_size == 0 && in_size == 0) return -1;  // no progress: truncated or an early end marker
  }
  produced_ += done;
  return static_cast<long>(done);
}

bool LzmaStream::skip(std::uint64_t count) {
  unsigned char scratch[2048];
  while (count > 0) {
    const long got = read(scratch, static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof scratch)));
    if (got <= 0) return false;
    count -= static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace quill::package
