// The periodic backup: a thread that saves the project to the backup path
// every 30 seconds from the moment the main window opens. The caller's
// `save` takes whatever lock keeps saves and edits apart.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace quill::project {

class BackupThread {
 public:
  using Save = std::function<void()>;
  // Saves at once, then after every `interval`, until stopped.
  explicit BackupThread(Save save, std::chrono::milliseconds interval = std::chrono::milliseconds(30000));
  ~BackupThread();  // stops
  BackupThread(const BackupThread&) = delete;
  BackupThread& operator=(const BackupThread&) = delete;

  // Ends the thread after a save that is under way; no save starts later.
  void stop();

 private:
  void run();

  Save save_;
  std::chrono::milliseconds interval_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace quill::project
