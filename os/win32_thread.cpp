// Threads and semaphores of the Win32 backend.
#include <windows.h>

#include "os/win32_os.h"

namespace quill::os {

namespace {

class Win32Thread : public Thread {
 public:
  Win32Thread(void (*work)(void*), void* context) : work_(work), context_(context) {}
  ~Win32Thread() override {
    if (handle_ == nullptr) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
  }

  bool start() {
    handle_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    return handle_ != nullptr;
  }

 private:
  static DWORD WINAPI run(void* thread) {
    Win32Thread& self = *static_cast<Win32Thread*>(thread);
    self.work_(self.context_);
    return 0;
  }

  void (*work_)(void*);
  void* context_;
  HANDLE handle_ = nullptr;
};

class Win32Semaphore : public Semaphore {
 public:
  explicit Win32Semaphore(HANDLE handle) : handle_(handle) {}
  ~Win32Semaphore() override { CloseHandle(handle_); }
  void post() override { ReleaseSemaphore(handle_, 1, nullptr); }
  void wait() override { WaitForSingleObject(handle_, INFINITE); }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<Thread> Win32Os::start_thread(void (*work)(void*), void* context) {
  std::unique_ptr<Win32Thread> thread(new Win32Thread(work, context));
  if (!thread->start()) return nullptr;
  return thread;
}

std::unique_ptr<Semaphore> Win32Os::make_semaphore(unsigned count) {
  HANDLE handle = CreateSemaphoreW(nullptr, static_cast<LONG>(count), 0x7fffffff, nullptr);
  if (handle == nullptr) return nullptr;
  return std::make_unique<Win32Semaphore>(handle);
}

}  // namespace quill::os
