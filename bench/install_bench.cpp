// Install engine benchmark over the sandbox backend: wall time and peak
// memory (max RSS) of run_install for 1,000 and 32,768 small files and for
// one 1 GiB file (zeros, deflated); the undoing of an install of 32,768
// files cancelled after its last file; and 1,000 files that replace
// existing ones against 1,000 new ones. Each measurement runs in a fresh
// process of its own, after another process has prepared the payload, so
// the figures hold the engine alone.
//
//   install_bench              every case
//   install_bench small N      one case of N small files
//   install_bench replace N    N small files over existing ones
//   install_bench rollback N   N small files, then their undoing
//   install_bench large        the 1 GiB case
#include <minizip/zip.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "installer/install_engine.h"
#include "os/posix_os.h"
#include "package/payload.h"

namespace {

using namespace quill;

using Clock = std::chrono::steady_clock;

class SilentCallback : public installer::InstallCallback {
 public:
  installer::ReplaceAnswer ask_replace(const std::string&) override {
    return installer::ReplaceAnswer::yes;
  }
  void set_status(const std::string& text) override {
    if (text == installer::undoing_status()) undo_start = Clock::now();
  }
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  // Cancels at the given poll (one per "fileinfo.txt" line); -1: never.
  bool cancel_requested() override { return ++polls == cancel_at_poll; }
  long polls = 0;
  long cancel_at_poll = -1;
  Clock::time_point undo_start;
  installer::WriteAnswer ask_write_failed(const std::string&) override {
    return installer::WriteAnswer::ignore;
  }
};

bool write_text(const std::string& host_path, const std::string& text) {
  FILE* f = std::fopen(host_path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// The payload folder of the benchmark's runs.
std::string payload_folder(os::Os& os) {
  return os.temp_folder() + package::kPayloadFolderPrefix + "bench\\";
}

// Writes the payload archive and "fileinfo.txt" into the sandbox's payload folder.
bool prepare(const std::string& root, const std::string& kind, long count) {
  os::PosixOs os(root);
  const std::string payload = payload_folder(os);
  os.create_folder(payload.substr(0, payload.size() - 1));
  zipFile zip = zipOpen64(os.host_path(payload + "tempfile.tmp").c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  std::string list;
  auto add = [&](const std::string& name, std::uint64_t size, char fill) {
    zip_fileinfo info = {};
    info.dosDate = 0x5A8C6000;
    if (zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, size >= 0xFFFFFFFFull) != ZIP_OK) {
      return false;
    }
    std::vector<char> chunk(1 << 20, fill);
    for (std::uint64_t left = size; left > 0;) {
      unsigned n = static_cast<unsigned>(left < chunk.size() ? left : chunk.size());
      if (zipWriteInFileInZip(zip, chunk.data(), n) != ZIP_OK) return false;
      left -= n;
    }
    return zipCloseFileInZip(zip) == ZIP_OK;
  };
  if (kind == "large") {
    if (!add("big.bin", 1ull << 30, '\0')) return false;
    list += "big.bin|%install path%\r\n";
  } else {
    if (kind == "replace") {
      // Every destination already holds an older file of the same name.
      for (long i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "d%03ld/file%05ld.txt", i / 256, i);
        std::string path = os.host_path("C:\\Program Files\\Bench\\") + name;
        if (i % 256 == 0) {
          std::string command = "mkdir -p '" + path.substr(0, path.rfind('/')) + "'";
          if (std::system(command.c_str()) != 0) return false;
        }
        if (!write_text(path, std::string(200, 'z'))) return false;
      }
    }
    for (long i = 0; i < count; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "d%03ld/file%05ld.txt", i / 256, i);
      if (!add(name, 200, static_cast<char>('a' + i % 26))) return false;
      std::string line = name;
      line[4] = '\\';
      list += line + "|%install path%\\" + line.substr(0, 4) + "\r\n";
    }
  }
  list += "////\r\n////\r\n";
  if (zipClose(zip, nullptr) != ZIP_OK) return false;
  return write_text(os.host_path(payload + "fileinfo.txt"), list);
}

// Runs the install and prints the figures of this process.
int measure(const std::string& root, const std::string& kind, const std::string& label,
            long count) {
  os::PosixOs os(root);
  // As the installer has them after its start-up: the file list in memory,
  // the archive open.
  const std::string payload = payload_folder(os);
  package::DataFiles files;
  FILE* list = std::fopen(os.host_path(payload + "fileinfo.txt").c_str(), "rb");
  if (!list) return 1;
  std::string bytes;
  char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, list)) > 0;) bytes.append(chunk, n);
  std::fclose(list);
  files.put("fileinfo.txt", std::move(bytes));
  const std::unique_ptr<os::File> archive =
      os.open_file(payload + package::kPayloadArchiveName, os::OpenMode::read);
  installer::InstallRequest request;
  request.data_files = &files;
  request.archive.file = archive.get();
  request.payload_folder = payload;
  request.install_folder = installer::InstallFolder("C:\\Program Files\\Bench");
  request.registered_name = "Bench";
  request.has_registered_name = true;
  request.install_entry_count = static_cast<std::uint64_t>(count);
  SilentCallback callback;
  const bool rollback = kind == "rollback";
  // The poll before the end line: every file is in, then the run is undone.
  if (rollback) callback.cancel_at_poll = count + 1;
  installer::InstallStats stats;
  auto start = Clock::now();
  installer::InstallResult result = installer::run_install(os, request, callback, &stats);
  auto end = Clock::now();
  double seconds = std::chrono::duration<double>(end - start).count();
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  const installer::InstallResult expected =
      rollback ? installer::InstallResult::cancelled : installer::InstallResult::finished;
  if (rollback) {
    double install = std::chrono::duration<double>(callback.undo_start - start).count();
    double undo = std::chrono::duration<double>(end - callback.undo_start).count();
    std::printf("%-22s files written %6llu  install %8.3f s  rollback %8.3f s (%.2fx)  "
                "peak RSS %7.1f MiB%s\n",
                label.c_str(), static_cast<unsigned long long>(stats.files_written), install, undo,
                undo / install, usage.ru_maxrss / 1024.0,
                result == expected ? "" : "  (NOT UNDONE)");
  } else {
    std::printf("%-22s files written %6llu  time %8.3f s  peak RSS %7.1f MiB%s\n",
                label.c_str(), static_cast<unsigned long long>(stats.files_written), seconds,
                usage.ru_maxrss / 1024.0, result == expected ? "" : "  (NOT FINISHED)");
  }
  std::fflush(stdout);
  bool ok = result == expected && stats.files_written == static_cast<std::uint64_t>(count);
  if (rollback) {
    // Undone means gone: nothing of the install folder is left.
    ok = ok && !os.file_status("C:\\Program Files\\Bench").exists;
  }
  return ok ? 0 : 1;
}

int run_child(const std::vector<std::string>& args) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

int run_case(const std::string& kind, long count) {
  char pattern[] = "/tmp/quill-install-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string root = pattern;
  const std::string n = std::to_string(count);
  int rc = run_child({"install_bench", "prepare", root, kind, n});
  if (rc == 0) rc = run_child({"install_bench", "measure", root, kind, n});
  std::string command = "rm -rf '" + root + "'";
  (void)std::system(command.c_str());
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  if (args.size() == 5 && args[1] == "prepare") {
    return prepare(args[2], args[3], std::atol(args[4].c_str())) ? 0 : 1;
  }
  if (args.size() == 5 && args[1] == "measure") {
    long count = std::atol(args[4].c_str());
    const std::string& kind = args[3];
    std::string label = kind == "large"     ? "one 1 GiB file"
                        : kind == "replace" ? std::to_string(count) + " replaced files"
                        : kind == "rollback" ? std::to_string(count) + " files undone"
                                             : std::to_string(count) + " small files";
    return measure(args[2], kind, label, count);
  }
  if (args.size() == 3 && (args[1] == "small" || args[1] == "replace" || args[1] == "rollback")) {
    return run_case(args[1], std::atol(args[2].c_str()));
  }
  if (args.size() == 2 && args[1] == "large") return run_case("large", 1);
  int rc = 0;
  rc |= run_case("small", 1000);
  rc |= run_case("replace", 1000);
  rc |= run_case("small", 32768);
  rc |= run_case("rollback", 32768);
  rc |= run_case("large", 1);
  return rc;
}
