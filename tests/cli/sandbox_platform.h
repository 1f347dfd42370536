// The command-line builder's platform over a test sandbox: relative paths
// are below the sandbox's root, and the program sits in its bin folder.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "tests/project/sandbox.h"

namespace quill::cli {

class SandboxPlatform : public Platform {
 public:
  explicit SandboxPlatform(testing::Sandbox& box) : box_(box) {}
  os::Os& os() override { return box_.os(); }
  std::string os_path(const std::string& typed) override {
    return !typed.empty() && typed[0] == '/' ? typed : box_.root() + "/" + typed;
  }
  bool is_local_path(const std::string& path) override { return !path.empty() && path[0] == '/'; }
  std::string program_folder() override { return box_.root() + "/bin/"; }

 private:
  testing::Sandbox& box_;
};

// A sandbox with the platform over it that runs commands and keeps what
// the last one printed.
struct CommandBox {
  CommandBox() : platform(box) {}
  int run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = run_command(args, platform, out, err);
    last_out = out.str();
    last_err = err.str();
    return code;
  }

  testing::Sandbox box;
  SandboxPlatform platform;
  std::string last_out, last_err;
};

}  // namespace quill::cli
