// The command-line builder: quillset-build PROJECT.qsp [-o OUTPUT].
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/platform.h"

namespace quill::cli {

// Runs one command line (without the program name); returns the exit code.
int run_command(const std::vector<std::string>& args, Platform& platform, std::ostream& out,
                std::ostream& err);

// Set from a signal handler: a load, a folder scan or a build stops at its
// next check, and the command ends with exit code 1 without writing.
void request_abort();

}  // namespace quill::cli
