// One machine of each simulated backend for typed tests (the sandbox in a
// folder of its own, the memory machine), and whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "os/posix_os.h"
#include "tests/os/sandbox.h"
#include "tests/support/memory_os.h"

namespace quill::testing {

template <class T>
struct Machine;
template <>
struct Machine<os::PosixOs> {
  Sandbox sandbox;
  os::PosixOs os{sandbox.root()};
};
template <>
struct Machine<os::MemoryOs> {
  os::MemoryOs os;
};
using SimulatedBackends = ::testing::Types<os::PosixOs, os::MemoryOs>;

// Writes `bytes` to `path`, making the folders that lead to it first.
inline bool put_file(os::Os& os, const std::string& path, const std::string& bytes) {
  for (std::size_t i = 3; i < path.size(); ++i) {
    if (path[i] == '\\') os.create_folder(path.substr(0, i));
  }
  auto file = os.open_file(path, os::OpenMode::write);
  return file && file->write(bytes.data(), bytes.size());
}

// The file's bytes, or "<unreadable>".
inline std::string get_file(os::Os& os, const std::string& path) {
  auto file = os.open_file(path, os::OpenMode::read);
  std::string bytes(file ? static_cast<std::size_t>(file->size()) : 0, '\0');
  if (!file || file->read(&bytes[0], bytes.size()) != bytes.size()) return "<unreadable>";
  return bytes;
}

}  // namespace quill::testing
