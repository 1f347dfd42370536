// Runs a build on a thread of its own, on a copy of the project, with the
// busy and abort flags that the main window shares with it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "builder/project/build.h"

namespace quill::project {

class BuildThread {
 public:
  BuildThread() = default;
  ~BuildThread();  // waits for a running build
  BuildThread(const BuildThread&) = delete;
  BuildThread& operator=(const BuildThread&) = delete;

  // Starts a build of `snapshot` unless one runs; `report` must outlive it
  // and is called from the build's thread. `finished` (optional) is called
  // there last, after busy() has turned false. False when a build runs.
  bool start(Project snapshot, os::Os& os, BuildOptions options, BuildReport& report,
             std::function<void(BuildOutcome)> finished = nullptr);
  // Asks the running build to stop at its next check.
  void request_abort() { abort_.store(true); }
  bool busy() const { return busy_.load(); }
  // Waits for the running build, if any.
  void join();

 private:
  // Passes everything on and adds the abort flag.
  class Relay;

  std::atomic<bool> busy_{false};
  std::atomic<bool> abort_{false};
  std::thread thread_;
};

}  // namespace quill::project
