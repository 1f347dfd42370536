// The command-line builder's command: load, check, build, report.
#include "cli/command.h"

#include <cstdlib>
#include <ostream>
#include <set>

#include "builder/project/architecture.h"
#include "builder/project/build.h"
#include "builder/project/declarations_check.h"
#include "builder/project/interruption.h"
#include "builder/project/project_file.h"
#include "cli/check.h"
#include "cli/commands.h"
#include "cli/edit_session.h"

namespace quill::cli {

namespace {

// Where a background window font's file may lie besides the system's font
// list: the usual font folders of a Linux machine; none on Windows.
std::vector<std::string> font_folders() {
#ifdef _WIN32
  return {};
#else
  std::vector<std::string> folders;
  if (const char* home = std::getenv("HOME")) {
    if (home[0] == '/') {
      folders.push_back(std::string(home) + "/.local/share/fonts");
      folders.push_back(std::string(home) + "/.fonts");
    }
  }
  folders.push_back("/usr/local/share/fonts");
  folders.push_back("/usr/share/fonts");
  return folders;
#endif
}

std::string usage() { return general_help(); }

// Prints each status text once; the statuses of the file phase carry the
// share of the files added when they appeared.
class ConsoleReport : public project::BuildReport {
 public:
  ConsoleReport(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void set_phase(project::BuildPhase phase) override { phase_ = phase; }
  void set_status(const std::string& text) override {
    if (phase_ == project::BuildPhase::adding_files && range_ > 0) {
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
  bool cancel_requested() override { return project::interruption_requested(); }
  // Each text once: the checks before the build and the build itself
  // find some of the same things.
  void warning(const std::string& text) override {
    if (!said_.insert(text).second) return;
    err_ << "quillset-build: warning: " << text << "\n";
    ++warnings_;
  }
  int warnings() const { return warnings_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  project::BuildPhase phase_ = project::BuildPhase::initializing;
  std::uint64_t range_ = 0;
  std::uint64_t position_ = 0;
  int warnings_ = 0;
  std::set<std::string> said_;
};

int fail(std::ostream& err, const std::string& text) {
  err << "quillset-build: error: " << text << "\n";
  return 1;
}


int build_command(const std::vector<std::string>& args, Platform& platform, std::ostream& out,
                  std::ostream& err);

using Command = int (*)(const Args&, Context&);

struct CommandSpec {
  const char* name;
  Command run;
  std::set<std::string> valued;
  std::set<std::string> switches;
};

const std::vector<CommandSpec>& commands() {
  static const std::vector<CommandSpec> list = {
      {"new", command_new, {"--name", "--title", "--folder"}, {"--force"}},
      {"add", command_add, {"--to", "--custom"}, {}},
      {"remove", command_remove, {}, {}},
      {"set", command_set, {}, {}},
      {"macro", command_macro, {"--registry"}, {}},
      {"shortcut", command_shortcut, {"--folder"}, {}},
      {"image", command_image, {"--step", "--mode", "--x", "--y"}, {"--background"}},
      {"show", command_show, {}, {"--json"}},
      {"check", command_check, {}, {}},
      {"language", command_language, {}, {}},
      {"registry", command_registry, {"--root", "--name", "--type", "--data"}, {"--keep", "--remove-empty-key"}},
      {"association", command_association, {"--program-id", "--description", "--icon", "--command"}, {}},
      {"path", command_path, {}, {"--machine"}},
      {"env", command_env, {}, {"--machine"}},
      {"manifest", command_manifest, {"--winget", "--url", "--package", "-o"}, {}},
      {"describe", command_describe, {"--package", "-o"}, {"--json"}},
  };
  return list;
}

}  // namespace

Args parse_args(const std::vector<std::string>& args, const std::set<std::string>& valued,
                const std::set<std::string>& switches) {
  Args parsed;
  bool words_only = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (words_only || arg.size() < 2 || arg[0] != '-') {
      parsed.words.push_back(arg);
    } else if (arg == "--") {
      words_only = true;
    } else if (valued.count(arg)) {
      if (i + 1 >= args.size()) throw Refused(arg + " needs a value");
      parsed.values[arg] = args[++i];
    } else if (switches.count(arg)) {
      parsed.switches.insert(arg);
    } else {
      throw Refused("unknown option " + arg);
    }
  }
  return parsed;
}

void request_abort() { project::request_interruption(); }

int run_command(const std::vector<std::string>& args, Platform& platform, std::ostream& out,
                std::ostream& err) {
  if (args.empty()) {
    err << usage();
    return 2;
  }
  const std::string& first = args[0];
  if (first == "help") {
    std::string text = args.size() > 1 ? command_help(args[1]) : usage();
    out << (text.empty() ? usage() : text);
    return 0;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  for (const std::string& arg : rest) {
    if ((arg == "-h" || arg == "--help") && !command_help(first).empty()) {
      out << command_help(first);
      return 0;
    }
  }
  if (first == "build") return build_command(rest, platform, out, err);
  for (const CommandSpec& spec : commands()) {
    if (first != spec.name) continue;
    Context context{platform, out, err};
    try {
      return spec.run(parse_args(rest, spec.valued, spec.switches), context);
    } catch (const Refused& refused) {
      err << "quillset-build " << first << ": " << refused.what() << "\n";
      return 2;
    } catch (const Failed& failed) {
      err << "quillset-build " << first << ": error: " << failed.what() << "\n";
      return 1;
    }
  }
  // Without a command word: a build, as the builder has always been called.
  return build_command(args, platform, out, err);
}

namespace {

int build_command(const std::vector<std::string>& args, Platform& platform, std::ostream& out,
                  std::ostream& err) {
  std::string project_arg;
  std::string output_arg;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      out << usage();
      return 0;
    }
    if (arg == "-o") {
      if (i + 1 >= args.size()) {
        err << "quillset-build: -o needs a file name\n" << usage();
        return 2;
      }
      output_arg = args[++i];
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      err << "quillset-build: unknown option " << arg << "\n" << usage();
      return 2;
    } else if (project_arg.empty()) {
      project_arg = arg;
    } else {
      err << "quillset-build: more than one project given\n" << usage();
      return 2;
    }
  }
  if (project_arg.empty()) {
    err << usage();
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
  std::vector<project::RenamedFile> renamed;
  std::vector<project::FileFinding> file_findings;
  project::LoadStatus loaded =
      project::load_project(project, os, project_path, std::string(), &renamed, &file_findings);
  if (project::interruption_requested()) return fail(err, "interrupted; nothing was written");
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

  const project::Architecture architecture = project.settings().architecture;
  const project::ArchitectureFiles files = project::architecture_files(architecture);
  os::FileStatus stub = os.file_status(folder + files.stub);
  if (!stub.exists || stub.is_folder) {
    return fail(err, std::string("the installer stub ") + files.stub + " is missing from " + folder +
                         (architecture == project::Architecture::x64 ? " (the project is for x64)" : ""));
  }
  if (os.file_status(folder + "setup.JPG").exists == false) {
    err << "quillset-build: warning: setup.JPG is missing from " << folder
        << "; the installer will show no default picture\n";
  }

  // The uninstaller always comes from beside this program, wherever the
  // project was saved (the build takes the x86_64 one beside it for x64).
  if (project.settings().include_uninstaller && project.uninstaller_item() != project::kNoItem) {
    int slot = project.find_file_by_tree_item(project.uninstaller_item());
    if (slot != project::kNoSlot) project.set_file_source(slot, folder + "uninst.dat");
  }

  // A value that no way into a project stores would be built as something
  // the author never asked for.
  for (const project::FileFinding& finding : file_findings) {
    err << "quillset-build: error: " << file_finding_text(finding) << "\n";
  }
  if (!file_findings.empty()) {
    return fail(err, "the project file holds values the builder does not build (see above)");
  }

  ConsoleReport report(out, err);
  // What "check" finds is told first; the build goes on as before.
  for (const Finding& finding : check_project(project, platform, renamed, {}, true)) {
    report.warning(finding.text);
  }
  if (!project::declaration_errors(project).empty()) return fail(err, "the declarations cannot be built (see above)");
  project::BuildOptions options;
  options.output_path = output;
  options.builder_folder = folder;
  options.font_folders = font_folders();
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

}  // namespace

}  // namespace quill::cli
