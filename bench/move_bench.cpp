// Item move benchmark. One project holds a folder tree of 10,000 files in
// 500 folders (%install path%\A\) and one of 1,000 files in 50 folders
// (%install path%\B\). Each tree is copied onto folder C, then the copies
// are moved onto folder D; the times are printed per tree, so that both
// sizes are measured against the same tables. With a number N as argument
// it measures one tree of N files in an otherwise empty project instead.
// Each figure is the best of five runs on fresh projects (the machine may
// be shared).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "builder/editor/item_move.h"

using namespace quill;
using Clock = std::chrono::steady_clock;

namespace {

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

project::TreeItem item_of(const project::Project& p, const std::string& path) {
  int slot = p.find_folder_by_path(path);
  return slot == project::kNoSlot ? project::kNoItem : p.folder(slot).item;
}

// A tree of `files` files, 20 to a folder, in folders some levels deep.
void build_tree(project::Project& p, const std::string& name, int files) {
  const std::string top = "%install path%\\" + name + "\\";
  p.ensure_folder_path(top);
  for (int f = 1; f < files / 20; ++f) {
    std::string chain;
    for (int g = f; g > 0; g /= 8) chain = "d" + std::to_string(g) + "\\" + chain;
    p.ensure_folder_path(top + chain);
  }
  int added = 0;
  for (int slot = 0; slot < project::kFolderSlots && added < files; ++slot) {
    const project::FolderRecord folder = p.folder(slot);
    if (folder.path.compare(0, top.size(), top) != 0) continue;
    for (int i = 0; i < 20 && added < files; ++i, ++added) {
      p.add_file("C:\\src\\" + name + std::to_string(added), "f" + std::to_string(added), folder.path, folder.item);
    }
  }
}

struct Times {
  double copy_ms = 1e9, move_ms = 1e9;
  bool ok = true;
};

void measure(project::Project& p, const std::string& name, Times* best) {
  const std::string source = "%install path%\\" + name + "\\";
  auto start = Clock::now();
  editor::MoveOutcome copied = editor::move_item(p, item_of(p, source), item_of(p, "%install path%\\C\\"),
                                                 editor::MoveMode::copy);
  double copy_ms = ms_since(start);
  start = Clock::now();
  editor::MoveOutcome moved = editor::move_item(p, item_of(p, "%install path%\\C\\" + name + "\\"),
                                                item_of(p, "%install path%\\D\\"), editor::MoveMode::move);
  double move_ms = ms_since(start);
  best->ok = best->ok && copied == editor::MoveOutcome::done && moved == editor::MoveOutcome::done &&
             item_of(p, "%install path%\\D\\" + name + "\\") != project::kNoItem;
  if (copy_ms < best->copy_ms) best->copy_ms = copy_ms;
  if (move_ms < best->move_ms) best->move_ms = move_ms;
}

void print(int files, const Times& t) {
  std::printf("%6d files: copy %7.1f ms, move %7.1f ms%s\n", files, t.copy_ms, t.move_ms, t.ok ? "" : " (FAILED)");
}

std::unique_ptr<project::Project> fresh() {
  auto p = std::make_unique<project::Project>();
  p->ensure_folder_path("%install path%\\C\\");
  p->ensure_folder_path("%install path%\\D\\");
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr int kRuns = 5;
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) {
      Times t;
      for (int run = 0; run < kRuns; ++run) {
        auto p = fresh();
        build_tree(*p, "A", std::atoi(argv[i]));
        measure(*p, "A", &t);
      }
      print(std::atoi(argv[i]), t);
    }
    return 0;
  }
  Times small, large;
  for (int run = 0; run < kRuns; ++run) {
    auto p = fresh();
    build_tree(*p, "A", 10000);
    build_tree(*p, "B", 1000);
    measure(*p, "B", &small);
    measure(*p, "A", &large);
  }
  print(1000, small);
  print(10000, large);
  return 0;
}
