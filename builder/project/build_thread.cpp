// The build's own thread.
#include "builder/project/build_thread.h"

namespace quill::project {

class BuildThread::Relay : public BuildReport {
 public:
  Relay(BuildReport& inner, const std::atomic<bool>& abort) : inner_(inner), abort_(abort) {}
  void set_phase(BuildPhase phase) override { inner_.set_phase(phase); }
  void set_status(const std::string& text) override { inner_.set_status(text); }
  void set_progress_range(std::uint64_t maximum) override { inner_.set_progress_range(maximum); }
  void set_progress(std::uint64_t position) override { inner_.set_progress(position); }
  bool cancel_requested() override { return abort_.load() || inner_.cancel_requested(); }
  void warning(const std::string& text) override { inner_.warning(text); }

 private:
  BuildReport& inner_;
  const std::atomic<bool>& abort_;
};

BuildThread::~BuildThread() { join(); }

void BuildThread::join() {
  if (thread_.joinable()) thread_.join();
}

bool BuildThread::start(Project snapshot, os::Os& os, BuildOptions options, BuildReport& report,
                        std::function<void(BuildOutcome)> finished) {
  if (busy_.load()) return false;
  // The previous build's thread has ended its work already; when this is
  // that thread (a start from `finished`), it is let go instead.
  if (thread_.joinable() && thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();
  } else {
    join();
  }
  abort_.store(false);
  busy_.store(true);
  auto project = std::make_shared<Project>(std::move(snapshot));
  thread_ = std::thread([this, project, &os, options, &report, finished] {
    Relay relay(report, abort_);
    BuildOutcome outcome = build_package(*project, os, options, relay);
    busy_.store(false);
    if (finished) finished(outcome);
  });
  return true;
}

}  // namespace quill::project
