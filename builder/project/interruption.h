// A request from outside to stop what runs: the command-line builder's
// Ctrl-C and SIGTERM. The project reader, the folder scan and the build ask
// it between their steps and end early without leaving a partial file. Set
// from a signal handler, so a lock-free flag and nothing more.
#pragma once

#include <atomic>

namespace quill::project {

inline std::atomic<bool> g_interruption{false};

inline void request_interruption() { g_interruption.store(true); }
inline bool interruption_requested() { return g_interruption.load(); }

}  // namespace quill::project
