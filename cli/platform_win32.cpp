// The command-line builder on Windows: the Win32 backend; paths typed
// relative to the current folder are made absolute, since a project keeps
// its sources by full path.
#include <windows.h>

#include "cli/platform.h"
#include "os/win32_os.h"
#include "os/win32_system_dll.h"

namespace quill::cli {

namespace {

class Win32Platform : public Platform {
 public:
  os::Os& os() override { return os_; }
  std::string os_path(const std::string& typed) override {
    if (typed.empty()) return typed;
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(typed.c_str(), sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full, n) : typed;
  }
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

// The first thing main does: a DLL placed beside the program or in the
// current folder is never loaded.
std::unique_ptr<Platform> make_platform(std::string*) {
  os::search_dlls_in_system_folder_only();
  return std::make_unique<Win32Platform>();
}

}  // namespace quill::cli
