// Project file benchmark: fill, save and load projects of 4,096 and 32,768
// files and print the times, to show that none of them grows quadratically.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "builder/project/project_file.h"
#include "common/folder_removal.h"
#include "os/posix_os.h"

using namespace quill;
using Clock = std::chrono::steady_clock;

static double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int main() {
  char pattern[] = "/tmp/quill-project-bench.XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  std::string root = pattern;
  {
    os::PosixOs os(root);
    std::printf("%8s %10s %10s %10s %10s %12s\n", "files", "fill ms", "save ms", "load ms", "resave ms", "file bytes");
    for (int count : {4096, 32768}) {
      project::Project p;
      auto start = Clock::now();
      for (int i = 0; i < count; ++i) {
        // 200 folders, two levels deep.
        std::string folder = "%install path%\\group" + std::to_string(i % 20) + "\\part" +
                             std::to_string(i % 200) + "\\";
        project::TreeItem parent = p.ensure_folder_path(folder);
        p.add_file("/data/source/file" + std::to_string(i) + ".bin", "file" + std::to_string(i) + ".bin",
                   folder, parent);
        if (i % 10 == 0) p.shortcut(i, project::kStartMenu) = {"Menu", "S" + std::to_string(i), "t", 1};
      }
      double fill = ms_since(start);
      std::string path = root + "/bench.qsp";
      start = Clock::now();
      project::save_project(p, os, path, "");
      double save = ms_since(start);
      project::Project q;
      start = Clock::now();
      project::LoadStatus status = project::load_project(q, os, path, "");
      double load = ms_since(start);
      start = Clock::now();
      project::save_project(q, os, root + "/again.qsp", "");
      double resave = ms_since(start);
      if (status != project::LoadStatus::loaded || q.file_count() != count) {
        std::printf("load failed\n");
        return 1;
      }
      std::printf("%8d %10.1f %10.1f %10.1f %10.1f %12llu\n", count, fill, save, load, resave,
                  static_cast<unsigned long long>(os.file_status(path).size));
    }
    remove_folder_tree(os, root);
  }
  return 0;
}
