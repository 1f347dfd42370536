// A plain-text record of what an install did, one line per step, appended
// to a file the user names ("/LOG=FILE"). Every line is written through at
// once so that the record survives a process that ends abruptly.
#pragma once

#include <memory>
#include <string>

#include "os/os.h"

namespace quill::installer {

class InstallLog {
 public:
  // Opens `path` for appending; a log that cannot be opened records nothing.
  InstallLog(os::Os& os, const std::string& path);
  bool is_open() const { return file_ != nullptr; }
  void line(const std::string& text);

 private:
  std::unique_ptr<os::File> file_;
};

}  // namespace quill::installer
