// quillset-build: builds an installer package from a project file.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/platform.h"

namespace {
void on_interrupt(int) { quill::cli::request_abort(); }
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto platform = quill::cli::make_platform(&error);
  if (!platform) {
    std::cerr << "quillset-build: error: " << error << "\n";
    return 1;
  }
  std::signal(SIGINT, on_interrupt);
  std::signal(SIGTERM, on_interrupt);
  return quill::cli::run_command(args, *platform, std::cout, std::cerr);
}
