// The command-line builder on Windows: the Win32 backend, paths as typed.
#include "cli/platform.h"
#include "os/win32_os.h"

namespace quill::cli {

namespace {

class Win32Platform : public Platform {
 public:
  os::Os& os() override { return os_; }
  std::string os_path(const std::string& typed) override { return typed; }
  bool is_local_path(const std::string& path) override { return !path.empty(); }
  std::string program_folder() override {
    std::string path = os_.module_path();
    std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".\\") : path.substr(0, cut + 1);
  }

 private:
  os::Win32Os os_;
};

}  // namespace

std::unique_ptr<Platform> make_platform(std::string*) { return std::make_unique<Win32Platform>(); }

}  // namespace quill::cli
