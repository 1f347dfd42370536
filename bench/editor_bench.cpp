// Editor benchmark: opens projects of 1,000 and 32,768 files into the
// editor with a tree view stand-in that counts what it is told, adds a
// folder tree of 10,000 files with "Add folder", and prints the times and
// the process's peak memory after each step.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "builder/editor/editor.h"
#include "builder/editor/scripted_prompter.h"
#include "builder/project/project_file.h"
#include "os/posix_os.h"

using namespace quill;
using Clock = std::chrono::steady_clock;

namespace {

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double peak_mib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// Counts the events a tree view would get; reads each label as a view would.
class CountingView : public editor::EditorView, public project::TreeObserver {
 public:
  explicit CountingView(const editor::Editor* const* editor) : editor_(editor) {}
  void node_inserted(project::TreeItem item) override {
    ++inserted;
    label_bytes += (*editor_)->project().tree().label(item).size();
    (*editor_)->project().tree().previous_sibling(item);
  }
  void node_removed(project::TreeItem) override { ++removed; }
  void tree_cleared() override { ++cleared; }
  long inserted = 0, removed = 0, cleared = 0, label_bytes = 0;

 private:
  const editor::Editor* const* editor_;
};

// A project file of `files` files in folders of 100, two levels deep,
// written by a child process so that its memory stays out of the figures.
void write_project(os::Os& os, const std::string& path, int files) {
  pid_t child = fork();
  if (child != 0) {
    int status = 0;
    waitpid(child, &status, 0);
    return;
  }
  project::Project p;
  for (int i = 0; i < files; ++i) {
    std::string folder = "%install path%\\group" + std::to_string(i / 1000) + "\\part" +
                         std::to_string(i / 100) + "\\";
    project::TreeItem parent = p.ensure_folder_path(folder);
    p.add_file("C:\\data\\file" + std::to_string(i) + ".bin", "file" + std::to_string(i) + ".bin", folder,
               parent);
  }
  project::save_project(p, os, path, "");
  _exit(0);
}

}  // namespace

int main() {
  char pattern[] = "/tmp/quill-editor-bench.XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  std::string root = pattern;
  {
    os::PosixOs os(root);
    os.set_module_path("C:\\Quill\\Quillset.exe");
    editor::ScriptedPrompter prompter;
    editor::Editor* editor_ptr = nullptr;
    CountingView view(&editor_ptr);
    editor::Editor editor(os, prompter, view);
    editor_ptr = &editor;
    editor.set_tree_observer(&view);
    std::printf("%-28s %10s %12s %14s\n", "step", "ms", "tree nodes", "peak MiB");

    for (int files : {1000, 32768}) {
      std::string path = "C:\\bench" + std::to_string(files) + ".qsp";
      write_project(os, path, files);
      long before = view.inserted;
      prompter.files = {path};
      auto start = Clock::now();
      editor.open_project();
      double ms = ms_since(start);
      std::printf("%-28s %10.1f %12ld %14.1f\n", ("open " + std::to_string(files) + " files").c_str(), ms,
                  view.inserted - before, peak_mib());
      start = Clock::now();
      editor.save_backup();
      std::printf("%-28s %10.1f %12s %14.1f\n", ("backup of " + std::to_string(files) + " files").c_str(),
                  ms_since(start), "", peak_mib());
    }

    // A source tree of 10,000 files: 10 folders of 10 folders of 100 files.
    std::string tree = root + "/source";
    for (int a = 0; a < 10; ++a) {
      for (int b = 0; b < 10; ++b) {
        std::string folder = tree + "/a" + std::to_string(a) + "/b" + std::to_string(b);
        std::filesystem::create_directories(folder);
        for (int f = 0; f < 100; ++f) std::ofstream(folder + "/f" + std::to_string(f) + ".txt") << "x";
      }
    }
    prompter.answers = {editor::Answer::no};
    editor.new_project();
    editor.select(editor.project().install_root());
    prompter.folders = {tree};
    long before = view.inserted;
    auto start = Clock::now();
    editor.add_folder();
    double ms = ms_since(start);
    std::printf("%-28s %10.1f %12ld %14.1f\n", "add folder of 10,000 files", ms, view.inserted - before,
                peak_mib());
    std::printf("files in project after add folder: %d\n", editor.project().file_count());
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return 0;
}
