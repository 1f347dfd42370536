// The command-line builder's command: load, check, build, report.
#include "cli/command.h"

#include <atomic>
#include <ostream>

#include "builder/project/build.h"
#include "builder/project/project_file.h"

namespace quill::cli {

namespace {

std::atomic<bool> g_abort{false};

const char kUsage[] =
    "usage: quillset-build PROJECT.qsp [-o OUTPUT]\n"
    "\n"
    "Builds the installer package described by a project file.\n"
    "\n"
    "  -o OUTPUT   write the package to OUTPUT instead of the project's\n"
    "              \"Save installer as\" path\n"
    "  -h, --help  show this text\n"
    "\n"
    "ext.dat, uninst.dat and setup.JPG are taken from the folder of this program.\n";

// Prints each status text once, with the progress reached when it appeared.
class ConsoleReport : public project::BuildReport {
 public:
  ConsoleReport(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void set_status(const std::string& text) override {
    if (text == "Building installer exe..." || text == "Adding graphics..." || text == "Done!" ||
        text == "Build aborted!" || text == "Build error.") {
      range_ = 0;
    }
    if (range_ > 0) {
      unsigned percent = static_cast<unsigned>(position_ * 100 / range_);
      out_ << "[" << (percent < 10 ? "  " : percent < 100 ? " " : "") << percent << "%] ";
    } else {
      out_ << "       ";
    }
    out_ << text << "\n";
    out_.flush();
  }
  void set_progress_range(std::uint64_t maximum) override {
    range_ = maximum;
    position_ = 0;
  }
  void set_progress(std::uint64_t position) override { position_ = position; }
  bool abort_requested() override { return g_abort.load(); }
  void warning(const std::string& text) override {
    err_ << "quillset-build: warning: " << text << "\n";
    ++warnings_;
  }
  int warnings() const { return warnings_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::uint64_t range_ = 0;
  std::uint64_t position_ = 0;
  int warnings_ = 0;
};

int fail(std::ostream& err, const std::string& text) {
  err << "quillset-build: error: " << text << "\n";
  return 1;
}

}  // namespace

void request_abort() { g_abort.store(true); }

int run_command(const std::vector<std::string>& args, Platform& platform, std::ostream& out,
                std::ostream& err) {
  std::string project_arg;
  std::string output_arg;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      out << kUsage;
      return 0;
    }
    if (arg == "-o") {
      if (i + 1 >= args.size()) {
        err << "quillset-build: -o needs a file name\n" << kUsage;
        return 2;
      }
      output_arg = args[++i];
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      err << "quillset-build: unknown option " << arg << "\n" << kUsage;
      return 2;
    } else if (project_arg.empty()) {
      project_arg = arg;
    } else {
      err << "quillset-build: more than one project given\n" << kUsage;
      return 2;
    }
  }
  if (project_arg.empty()) {
    err << kUsage;
    return 2;
  }

  os::Os& os = platform.os();
  const std::string folder = platform.program_folder();
  const std::string project_path = platform.os_path(project_arg);
  os::FileStatus project_status = os.file_status(project_path);
  if (!project_status.exists || project_status.is_folder) {
    return fail(err, "cannot read the project file " + project_arg);
  }
  project::Project project;
  std::vector<int> renamed;
  project::LoadStatus loaded =
      project::load_project(project, os, project_path, std::string(), &renamed);
  if (loaded == project::LoadStatus::unreadable) {
    return fail(err, "cannot read the project file " + project_arg);
  }
  if (loaded == project::LoadStatus::truncated) {
    return fail(err, "the project file " + project_arg + " ends before its settings section does");
  }

  std::string output;
  if (!output_arg.empty()) {
    output = platform.os_path(output_arg);
  } else {
    const std::string& saved = project.settings().output_path;
    if (saved.empty()) {
      return fail(err, "the project has no \"Save installer as\" path; give one with -o OUTPUT");
    }
    if (!platform.is_local_path(saved)) {
      return fail(err, "the project's \"Save installer as\" path " + saved +
                           " is not a path on this machine; give one with -o OUTPUT");
    }
    output = saved;
  }

  os::FileStatus stub = os.file_status(folder + "ext.dat");
  if (!stub.exists || stub.is_folder) {
    return fail(err, "the installer stub ext.dat is missing from " + folder);
  }
  if (os.file_status(folder + "setup.JPG").exists == false) {
    err << "quillset-build: warning: setup.JPG is missing from " << folder
        << "; the installer will show no default picture\n";
  }

  // The uninstaller always comes from beside this program, wherever the
  // project was saved.
  if (project.settings().include_uninstaller && project.uninstaller_item() != project::kNoItem) {
    int slot = project.find_file_by_tree_item(project.uninstaller_item());
    if (slot != project::kNoSlot) project.set_file_source(slot, folder + "uninst.dat");
  }

  ConsoleReport report(out, err);
  for (int slot : renamed) {
    const project::FileRecord& file = project.file(slot);
    report.warning("two files are installed as \"" + file.target_folder + file.name.substr(8) +
                   "\"; the one from \"" + file.source + "\" is installed as \"" + file.name + "\".");
  }
  project::BuildOptions options;
  options.output_path = output;
  options.builder_folder = folder;
  project::BuildOutcome outcome = project::build_package(project, os, options, report);
  switch (outcome) {
    case project::BuildOutcome::done: {
      std::uint64_t size = os.file_status(output).size;
      out << "Wrote " << (output_arg.empty() ? output : output_arg) << " (" << size << " bytes";
      if (report.warnings() > 0) out << ", " << report.warnings() << " warning(s)";
      out << ")\n";
      return 0;
    }
    case project::BuildOutcome::aborted:
      return fail(err, "build aborted; nothing was written");
    case project::BuildOutcome::stub_error:
      return fail(err, "cannot write " + (output_arg.empty() ? output : output_arg) +
                           " (copying the installer stub failed)");
    case project::BuildOutcome::write_error:
      return fail(err, "cannot write the package " + (output_arg.empty() ? output : output_arg));
  }
  return 1;
}

}  // namespace quill::cli
