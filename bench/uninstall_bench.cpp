// Measures the removal engine over the sandbox backend: an installation of
// F files spread over D folders is laid out, its log written, read back and
// removed; the figures are printed, nothing is asserted.
//
// Usage: uninstall_bench [files folders]...   (default: 1000 100 32768 1000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <stdlib.h>

#include "os/posix_os.h"
#include "package/uninstall_key.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/removal.h"
#include "uninstaller/uninstall_log.h"

using namespace quill;
using Clock = std::chrono::steady_clock;

namespace {

class CountingObserver : public uninstaller::RemovalObserver {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override { ++positions; }
  void set_status(const std::string&) override { ++lines; }
  void finished() override {}
  std::size_t positions = 0;
  std::size_t lines = 0;
};

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool run(std::size_t files, std::size_t folders) {
  char pattern[] = "/tmp/uninstall-bench.XXXXXX";
  if (mkdtemp(pattern) == nullptr) return false;
  const std::string sandbox = pattern;
  bool ok = true;
  {
    os::PosixOs os(sandbox);
    const std::string install = "C:\\Program Files\\Bench App\\";
    const std::string log_path = install + "uninstall.ini";

    Clock::time_point start = Clock::now();
    os.create_folder(install.substr(0, install.size() - 1));
    for (std::size_t d = 0; d < folders; ++d) {
      os.create_folder(install + "folder" + std::to_string(d));
    }
    std::string text = "Bench App\r\n";
    for (std::size_t f = 0; f < files; ++f) {
      std::string path = install + "folder" + std::to_string(f % folders) + "\\file" +
                         std::to_string(f) + ".dat";
      auto file = os.open_file(path, os::OpenMode::write);
      if (!file || !file->write("x", 1)) ok = false;
      text += path + "\r\n";
    }
    text += log_path + "\r\n" + install + "\r\n||||\r\n";
    auto log_file = os.open_file(log_path, os::OpenMode::write);
    if (!log_file || !log_file->write(text.data(), text.size())) ok = false;
    log_file.reset();
    os.registry_create_key(os::RegistryRoot::local_machine,
                           std::string(package::kUninstallKey) + "\\Bench App");
    const double layout = seconds_since(start);

    start = Clock::now();
    uninstaller::UninstallLog log;
    if (uninstaller::read_uninstall_log(os, log_path, &log) != uninstaller::LogStatus::ok) ok = false;
    const double reading = seconds_since(start);

    start = Clock::now();
    uninstaller::FolderGuard guard(os);
    CountingObserver observer;
    uninstaller::run_removal(os, log, guard, observer);
    const double removal = seconds_since(start);

    const bool gone = !os.file_status(install).exists;
    std::printf("%6zu files in %5zu folders: layout %.3f s, read log %.4f s, removal %.3f s "
                "(%.1f us per entry), %zu list lines, install folder %s\n",
                files, folders, layout, reading, removal,
                removal * 1e6 / static_cast<double>(log.entries.size()), observer.lines,
                gone ? "removed" : "LEFT BEHIND");
    if (!gone) ok = false;
  }
  std::string command = "rm -rf '" + sandbox + "'";
  if (std::system(command.c_str()) != 0) ok = false;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  for (int i = 1; i + 1 < argc; i += 2) {
    runs.emplace_back(std::strtoul(argv[i], nullptr, 10), std::strtoul(argv[i + 1], nullptr, 10));
  }
  if (runs.empty()) runs = {{1000, 100}, {32768, 1000}};
  bool ok = true;
  for (auto [files, folders] : runs) {
    if (files == 0 || folders == 0) continue;
    ok = run(files, folders) && ok;
  }
  return ok ? 0 : 1;
}
