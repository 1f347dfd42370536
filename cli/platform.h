// What the command-line builder needs from the machine it runs on: the OS
// boundary and the translation of command-line paths into its paths.
#pragma once

#include <memory>
#include <string>

#include "os/os.h"

namespace quill::cli {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual os::Os& os() = 0;
  // A path typed on the command line as the Os expects it.
  virtual std::string os_path(const std::string& typed) = 0;
  // Whether a path stored in a project names a file on this machine.
  virtual bool is_local_path(const std::string& path) = 0;
  // The folder of this program, ending in a separator.
  virtual std::string program_folder() = 0;
};

// Null with a message in `error` when the platform cannot be set up.
std::unique_ptr<Platform> make_platform(std::string* error);

}  // namespace quill::cli
