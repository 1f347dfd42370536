// The checks of "check" and of every build.
#include "cli/check.h"

#include "builder/editor/folder_scan.h"
#include "builder/project/architecture.h"
#include "builder/project/declarations_check.h"
#include "builder/project/package_contents.h"
#include "builder/project/package_listing.h"
#include "package/version.h"

namespace quill::cli {

using project::kNoSlot;

namespace {

bool is_file(os::Os& os, const std::string& path) {
  if (path.empty()) return false;
  os::FileStatus status = os.file_status(path);
  return status.exists && !status.is_folder && !status.is_device;
}

bool is_device(os::Os& os, const std::string& path) { return !path.empty() && os.file_status(path).is_device; }

}  // namespace

std::string file_finding_text(const project::FileFinding& finding) {
  return std::string(finding.section) + " section, line " + std::to_string(finding.line) + ": " + finding.text;
}

std::vector<Finding> check_project(const project::Project& p, Platform& platform,
                                   const std::vector<project::RenamedFile>& renamed,
                                   const std::vector<project::FileFinding>& file_findings,
                                   bool for_build) {
  os::Os& os = platform.os();
  const std::string builder = platform.program_folder();
  std::vector<Finding> found;
  auto error = [&](const std::string& text) { found.push_back({true, text}); };
  auto warning = [&](const std::string& text) { found.push_back({false, text}); };
  const project::Architecture architecture = p.settings().architecture;
  const project::ArchitectureFiles files = project::architecture_files(architecture);
  const std::string for_x64 = architecture == project::Architecture::x64 ? " (the project is for x64)" : "";
  for (const project::FileFinding& finding : file_findings) error(file_finding_text(finding));

  if (!for_build) {
    if (!is_file(os, builder + files.stub)) {
      error(std::string("the installer stub ") + files.stub + " is missing from " + builder + for_x64);
    }
    if (!is_file(os, builder + "setup.JPG")) warning("setup.JPG is missing from " + builder);
    if (p.settings().output_path.empty()) {
      warning("the project has no \"Save installer as\" path; build needs -o OUTPUT");
    }
    // Only a manifest needs these, and the package builds without them:
    // told once the author has begun to give them.
    const project::Settings& s = p.settings();
    if (!s.package_identifier.empty() || !s.licence_name.empty() || !s.short_description.empty()) {
      for (const std::string& text : project::listing_problems(project::package_listing(p))) {
        warning("for a manifest: " + text);
      }
    }
  }

  // The uninstaller always comes from beside this program.
  int uninstaller = kNoSlot;
  if (p.settings().include_uninstaller) {
    if (p.uninstaller_item() != project::kNoItem) uninstaller = p.find_file_by_tree_item(p.uninstaller_item());
    if (uninstaller == kNoSlot) {
      error("\"Include uninstaller\" is on, but the project holds no uninstaller file");
    } else if (!is_file(os, builder + files.uninstaller)) {
      error(std::string("the uninstaller ") + files.uninstaller + " is missing from " + builder + for_x64);
    }
  }

  for (int slot = 0; slot < project::kFileSlots; ++slot) {
    if (!p.file_in_use(slot)) continue;
    const project::FileRecord& f = p.file(slot);
    std::string path = f.target_folder + f.name;
    if (slot != uninstaller && is_device(os, f.source)) {
      error("Source is not a file (a device, pipe or socket): \"" + f.source + "\".");
    } else if (slot != uninstaller && !is_file(os, f.source)) {
      error("Source file missing: \"" + f.source + "\".");
    }
    if (path.size() > kMaxPathLength) {
      error("the path \"" + path + "\" is longer than " + std::to_string(kMaxPathLength) +
            " characters");
    }
  }
  for (const project::RenamedFile& record : renamed) {
    const project::FileRecord& file = p.file(record.slot);
    error("two files are installed as \"" + file.target_folder + record.name +
          "\"; the one from \"" + file.source + "\" is installed as \"" + file.name + "\".");
  }
  std::vector<int> duplicates;
  project::plan_install_entries(p, &duplicates, [&](int slot) { return is_file(os, p.file(slot).source); });
  for (int slot : duplicates) {
    const project::FileRecord& file = p.file(slot);
    error("Left out \"" + file.source + "\": another file is already installed as \"" +
          file.target_folder + file.name + "\".");
  }

  for (int slot = 0; slot < project::kImageSlots; ++slot) {
    const project::ImageRecord& image = p.image(slot);
    if (image.path.empty()) continue;
    if (!is_file(os, image.path)) error("Picture missing: \"" + image.path + "\".");
    if (image.background && !p.settings().use_background_window) {
      warning("the background picture \"" + image.path + "\" is not shown: the background window is off");
    }
  }
  for (const std::string& text : {p.settings().welcome_file, p.settings().licence_file}) {
    if (!text.empty() && !is_file(os, project::box_text(text))) error("Text file missing: \"" + text + "\".");
  }

  for (int slot = 0; slot < p.macro_count(); ++slot) {
    const project::Macro& macro = p.macro(slot);
    if (macro.name == package::kVersionMacro && macro.key.empty() && macro.value_name.empty() &&
        !package::is_numeric_version(macro.value)) {
      warning("the version \"" + macro.value + "\" is not dotted numbers: installers compare it with "
              "an installed version as text");
    }
  }

  check_languages(p, os, &found);
  for (const std::string& text : project::declaration_errors(p)) error(text);

  int left_out = 0;
  std::vector<std::string> unwritable;
  project::macros_text(p, &left_out, &unwritable);
  for (const std::string& name : unwritable) {
    error("Macro " + name + " left out: an installer cannot read a value name that begins with \"/\".");
  }
  if (left_out > 0) {
    error(std::to_string(left_out) + " macros left out: an installer reads at most " +
          std::to_string(project::kMaxPackagedMacros) + ".");
  }
  return found;
}

}  // namespace quill::cli
