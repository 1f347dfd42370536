// Bytes passed through the x86 branch converter on their way, in either
// direction: the builder converts a program before its coder takes it, the
// installer turns the decoded bytes back. The converter needs 4 bytes
// after an instruction to convert it, so the stage keeps the last few
// bytes of each fill until more follow or the source ends (no instruction
// begins in a stream's last 4 bytes).
#pragma once

#include <Bra.h>

#include <cstddef>
#include <memory>

namespace quill::package {

class X86Stage {
 public:
  // Puts up to `count` bytes of the source into `into`: the count, 0 only
  // at its end, -1 when it fails.
  using Source = long (*)(void* context, unsigned char* into, std::size_t count);

  // Starts over with `convert` (z7_BranchConvSt_X86_Enc or _Dec) and a
  // stage of `capacity` bytes, allocated once.
  void start(z7_Func_BranchConvSt convert, std::size_t capacity);
  // Up to `count` converted bytes into `into`, fewer only at the source's
  // end: the count, or -1 when the source failed.
  long read(unsigned char* into, std::size_t count, Source source, void* context);
  // True once the source ended and every byte was read.
  bool drained() const { return ended_ && given_ == staged_; }

 private:
  // Keeps what the converter left, fills after it, converts. False when the
  // source failed.
  bool refill(Source source, void* context);

  z7_Func_BranchConvSt convert_ = nullptr;
  std::unique_ptr<unsigned char[]> stage_;
  std::size_t capacity_ = 0;
  std::size_t given_ = 0;   // bytes handed out
  std::size_t ready_ = 0;   // bytes converted
  std::size_t staged_ = 0;  // bytes in the stage
  bool ended_ = false;
  UInt32 pc_ = 0;
  UInt32 state_ = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
};

}  // namespace quill::package
