// The x86 branch converter's stage.
#include "package/x86_stage.h"

#include <algorithm>
#include <cstring>

namespace quill::package {

void X86Stage::start(z7_Func_BranchConvSt convert, std::size_t capacity) {
  if (capacity_ != capacity) stage_.reset(new unsigned char[capacity]);
  convert_ = convert;
  capacity_ = capacity;
  given_ = ready_ = staged_ = 0;
  ended_ = false;
  pc_ = 0;
  state_ = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
}

bool X86Stage::refill(Source source, void* context) {
  const std::size_t left = staged_ - ready_;
  std::memmove(stage_.get(), stage_.get() + ready_, left);
  staged_ = left;
  while (!ended_ && staged_ < capacity_) {
    const long got = source(context, stage_.get() + staged_, capacity_ - staged_);
    if (got < 0) return false;
    staged_ += static_cast<std::size_t>(got);
    ended_ = got == 0;
  }
  given_ = 0;
  ready_ = static_cast<std::size_t>(convert_(stage_.get(), staged_, pc_, &state_) - stage_.get());
  pc_ += static_cast<UInt32>(ready_);
  if (ended_) ready_ = staged_;
  return true;
}

long X86Stage::read(unsigned char* into, std::size_t count, Source source, void* context) {
  std::size_t done = 0;
  while (done < count) {
    if (given_ == ready_) {
      if (drained()) break;
      if (!refill(source, context)) return -1;
      continue;
    }
    const std::size_t part = std::min(count - done, ready_ - given_);
    std::memcpy(into + done, stage_.get() + given_, part);
    given_ += part;
    done += part;
  }
  return static_cast<long>(done);
}

}  // namespace quill::package
