// The command-line builder on Linux: the sandbox backend with host paths
// allowed, so that paths that begin with "/" name the project, its sources
// and the output. Drive paths land in a sandbox folder of this run's own,
// removed at the end.
#include <climits>
#include <cstdlib>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "cli/platform.h"
#include "common/folder_removal.h"
#include "os/posix_os.h"

namespace quill::cli {

namespace {

class PosixPlatform : public Platform {
 public:
  explicit PosixPlatform(const std::string& sandbox) : sandbox_(sandbox), os_(sandbox) {
    os_.allow_host_paths();
  }
  ~PosixPlatform() override { remove_folder_tree(os_, sandbox_); }

  os::Os& os() override { return os_; }

  std::string os_path(const std::string& typed) override {
    if (!typed.empty() && typed[0] == '/') return typed;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return typed;
    std::string base = cwd;
    if (base.empty() || base.back() != '/') base += '/';
    return base + typed;
  }

  bool is_local_path(const std::string& path) override { return !path.empty() && path[0] == '/'; }

  std::string program_folder() override {
    std::string path = os_.module_path();
    std::size_t cut = path.rfind('/');
    return cut == std::string::npos ? std::string("./") : path.substr(0, cut + 1);
  }

 private:
  std::string sandbox_;
  os::PosixOs os_;
};

}  // namespace

std::unique_ptr<Platform> make_platform(std::string* error) {
#ifdef __GLIBC__
  // The build's block buffers come and go by the megabyte on three threads;
  // a fixed mmap threshold hands them back to the system at once instead of
  // letting per-thread heaps keep them, which holds the peak footprint down.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  mallopt(M_ARENA_MAX, 2);
#endif
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillset-build.XXXXXX";
  if (::mkdtemp(&pattern[0]) == nullptr) {
    *error = "cannot create a work folder under " + pattern.substr(0, pattern.rfind('/'));
    return nullptr;
  }
  return std::make_unique<PosixPlatform>(pattern);
}

}  // namespace quill::cli
