// The build: turns a project into an installer package (stub, payload
// archive, 8-byte trailer). The front ends report through BuildReport.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/project/payload_writer.h"
#include "builder/project/project.h"
#include "common/progress_report.h"
#include "os/os.h"

namespace quill::project {

// The build's phases in their order; a build ends in done, aborted or
// failed. Each phase is reported before its first status.
enum class BuildPhase {
  initializing,     // copying the stub
  counting,         // finding the files to install
  adding_files,     // one status per file; the progress counts files
  adding_graphics,  // the pictures
  adding_info,      // the data files
  appending,        // the archive joins the stub; the progress counts KiB
  done,
  aborted,
  failed,
};

// Implemented by the main window, the command-line builder and the tests.
// cancel_requested is polled before each file, each block of a file and
// each copy chunk.
class BuildReport : public ProgressReport {
 public:
  virtual void set_phase(BuildPhase phase) { (void)phase; }
  // Something the author should know that does not stop the build.
  virtual void warning(const std::string& text) { (void)text; }
};

enum class BuildOutcome {
  done,
  aborted,
  stub_error,   // the stub ("ext.dat", "ext64.dat") could not be copied to the output path
  write_error,  // the payload archive or the package could not be written
};

struct BuildOptions {
  std::string output_path;
  // Holds the stubs (architecture.h) and setup.JPG; ends in a separator.
  std::string builder_folder;
  PayloadLimits limits;
  std::size_t chunk_size = 10485760;  // bytes per step of the append
  // Where to look for the file of a background window font that is not a
  // standard face, besides the system's font list (font_file.h).
  std::vector<std::string> font_folders;
};

// The warning box text of a stub that cannot be copied: kStubErrorMessage
// for x86, a text naming the missing 64-bit stub for x64.
extern const char kStubErrorMessage[];
std::string stub_error_message(Architecture architecture);

// Runs the whole build; the project is only read.
BuildOutcome build_package(const Project& project, os::Os& os, const BuildOptions& options,
                           BuildReport& report);

}  // namespace quill::project
