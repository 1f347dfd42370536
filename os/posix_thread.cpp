// Threads and semaphores of the sandbox backend, over the standard library.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "os/posix_os.h"

namespace quill::os {

namespace {

class PosixThread : public Thread {
 public:
  PosixThread(void (*work)(void*), void* context) : thread_(work, context) {}
  ~PosixThread() override { thread_.join(); }

 private:
  std::thread thread_;
};

class PosixSemaphore : public Semaphore {
 public:
  explicit PosixSemaphore(unsigned count) : count_(count) {}

  void post() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++count_;
    }
    changed_.notify_one();
  }

  void wait() override {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return count_ > 0; });
    --count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  unsigned count_;
};

}  // namespace

std::unique_ptr<Thread> PosixOs::start_thread(void (*work)(void*), void* context) {
  try {
    return std::make_unique<PosixThread>(work, context);
  } catch (const std::system_error&) {
    return nullptr;
  }
}

std::unique_ptr<Semaphore> PosixOs::make_semaphore(unsigned count) {
  return std::make_unique<PosixSemaphore>(count);
}

}  // namespace quill::os
