// The scan of a source folder into a tree folder ("Add folder"). The scan
// first lists the whole source tree into a plan, so that the tables'
// room is checked before anything is added; then it adds the plan.
// Entries whose names begin with "." are skipped, and so are folder links
// (which could lead into loops), files whose status cannot be read,
// devices, pipes and sockets, names an installer could not create
// (field_rules.h), and anything whose path would pass 259 characters or lie
// deeper than kMaxScanDepth levels. An interruption ends the listing early.
//
// Win32 side: nothing to call; Editor::add_folder() runs the scan.
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "common/limits.h"
#include "os/os.h"

namespace quill::editor {

constexpr int kMaxScanDepth = 64;

struct ScanEntry {
  int parent = -1;  // index of the folder entry it lies in; -1: the scanned folder itself
  std::string name;
  std::string source;  // full source path
  bool folder = false;
};

struct ScanPlan {
  std::vector<ScanEntry> entries;  // parents before their children
  int files = 0;
  int folders = 0;
  int left_out = 0;  // links, unreadable files, paths too long or too deep
};

// Lists `source_folder` recursively into a plan; `tree_path` is the folder
// path the scanned folder gets in the tree (for the length limit).
ScanPlan plan_folder_scan(os::Os& os, const std::string& source_folder, const std::string& tree_path);

// Adds the plan below `folder_item` whose folder path is `folder_path`.
// The caller has checked the tables' room. Returns the number of files added.
int apply_folder_scan(project::Project& project, const ScanPlan& plan, project::TreeItem folder_item,
                      const std::string& folder_path);

}  // namespace quill::editor
