// The periodic backup thread.
#include "builder/project/backup.h"

namespace quill::project {

BackupThread::BackupThread(Save save, std::chrono::milliseconds interval)
    : save_(std::move(save)), interval_(interval), thread_([this] { run(); }) {}

BackupThread::~BackupThread() { stop(); }

void BackupThread::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void BackupThread::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    lock.unlock();
    save_();
    lock.lock();
    wake_.wait_for(lock, interval_, [this] { return stopping_; });
  }
}

}  // namespace quill::project
