// The two flags by which the wizard's Cancel button reaches the install
// thread: the question is open, and the user confirmed it. The dialog's
// thread writes them, the install thread reads them between archive entries.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace quill::installer {

class CancelFlags {
 public:
  // The dialog is about to show the cancel question.
  void question_opened() { question_open_.store(true); }
  // The question was answered; `yes` confirms the cancel.
  void question_answered(bool yes) {
    if (yes) confirmed_.store(true);
    question_open_.store(false);
  }
  bool question_open() const { return question_open_.load(); }
  bool confirmed() const { return confirmed_.load(); }

  // For the install thread: waits in steps of `poll` while the question is
  // open, then tells whether the user confirmed the cancel.
  bool wait_and_check(std::chrono::milliseconds poll = std::chrono::milliseconds(100)) const {
    while (question_open_.load()) std::this_thread::sleep_for(poll);
    return confirmed_.load();
  }

 private:
  std::atomic<bool> question_open_{false};
  std::atomic<bool> confirmed_{false};
};

}  // namespace quill::installer
