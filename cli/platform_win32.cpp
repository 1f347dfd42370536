// The command-line builder on Windows: the Win32 backend; paths typed
// relative to the current folder are made absolute, since a project keeps
// its sources by full path. Paths are UTF-8 here, UTF-16 for the system.
#include <windows.h>

#include "cli/platform.h"
#include "os/win32_os.h"
#include "os/win32_system_dll.h"
#include "os/win32_text.h"

namespace quill::cli {

namespace {

class Win32Platform : public Platform {
 public:
  os::Os& os() override { return os_; }
  std::string os_path(const std::string& typed) override {
    if (typed.empty()) return typed;
    const quill::os::WideString name = os::wide(typed);
    quill::os::WideString full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (n >= full.size()) {
      full.assign(n, L'\0');
      n = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    }
    if (n == 0 || n >= full.size()) return typed;
    full.resize(n);
    return os::narrow(full);
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
