// The folder scan of "Add folder": list first, add afterwards.
#include "builder/editor/folder_scan.h"

#include "builder/project/field_rules.h"
#include "builder/project/interruption.h"
#include "common/paths.h"

namespace quill::editor {

namespace {

// Host paths of the Linux builder and the tests use "/"; Windows paths "\".
std::string join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && is_path_separator(folder.back())) return folder + name;
  bool host = folder.find('\\') == std::string::npos && folder.find('/') != std::string::npos;
  return folder + (host ? '/' : '\\') + name;
}

class Planner {
 public:
  Planner(os::Os& os, ScanPlan& plan) : os_(os), plan_(plan) {}

  // Lists `source` (the folder entry `index`, -1 for the scanned folder),
  // whose tree folder path is `tree_length` characters long.
  void scan(const std::string& source, int index, std::size_t tree_length, int depth) {
    std::vector<os::FolderEntry> listing;
    if (os_.list_folder(source, &listing) != os::Error::none) return;
    for (const os::FolderEntry& entry : listing) {
      if (project::interruption_requested()) return;
      if (entry.name.empty() || entry.name[0] == '.') continue;
      std::string path = join(source, entry.name);
      // A name an installer could not create is left out as well.
      if (entry.is_link || path.size() > kMaxPathLength || !project::file_name_problem(entry.name).empty()) {
        ++plan_.left_out;
        continue;
      }
      if (entry.is_folder) {
        std::size_t length = tree_length + entry.name.size() + 1;
        if (depth >= kMaxScanDepth || length > kMaxPathLength) {
          ++plan_.left_out;
          continue;
        }
        plan_.entries.push_back({index, entry.name, path, true});
        ++plan_.folders;
        scan(path, static_cast<int>(plan_.entries.size()) - 1, length, depth + 1);
      } else {
        os::FileStatus status = os_.file_status(path);
        if (!status.exists || status.is_folder || status.is_device ||
            tree_length + entry.name.size() > kMaxPathLength) {
          ++plan_.left_out;
          continue;
        }
        plan_.entries.push_back({index, entry.name, path, false});
        ++plan_.files;
      }
    }
  }

 private:
  os::Os& os_;
  ScanPlan& plan_;
};

}  // namespace

ScanPlan plan_folder_scan(os::Os& os, const std::string& source_folder, const std::string& tree_path) {
  ScanPlan plan;
  Planner(os, plan).scan(source_folder, -1, tree_path.size(), 1);
  return plan;
}

int apply_folder_scan(project::Project& project, const ScanPlan& plan, project::TreeItem folder_item,
                      const std::string& folder_path) {
  std::vector<project::TreeItem> items(plan.entries.size(), project::kNoItem);
  std::vector<std::string> paths(plan.entries.size());
  int added = 0;
  for (std::size_t i = 0; i < plan.entries.size(); ++i) {
    const ScanEntry& entry = plan.entries[i];
    project::TreeItem parent = entry.parent < 0 ? folder_item : items[entry.parent];
    const std::string& parent_path = entry.parent < 0 ? folder_path : paths[entry.parent];
    if (parent == project::kNoItem) continue;
    if (entry.folder) {
      paths[i] = parent_path + entry.name + "\\";
      items[i] = project.insert_folder(parent, entry.name, paths[i]);
    } else {
      project::TreeItem item = project.tree().insert(parent, entry.name, project::NodeKind::file);
      if (project.add_file_record(entry.source, entry.name, parent_path, item) == project::kNoSlot) {
        project.tree().remove(item);
        continue;
      }
      ++added;
    }
  }
  return added;
}

}  // namespace quill::editor
