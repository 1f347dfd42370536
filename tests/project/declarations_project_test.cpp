// The project's declarations: the project file's section, the checks, and
// the data file the build writes.
#include <gtest/gtest.h>

#include "builder/project/build.h"
#include "builder/project/declarations_check.h"
#include "builder/project/project_file.h"
#include "package/archive.h"
#include "package/entry_names.h"
#include "package/trailer.h"
#include "sandbox.h"

namespace quill::project {
namespace {

using package::EnvironmentScope;
using package::RegistryRoot;
using package::RegistryType;
using quill::testing::Sandbox;

void add_program(Project& p) {
  p.add_file("/src/app.exe", "App.exe", "%install path%\\bin\\", p.ensure_folder_path("%install path%\\bin\\"));
}

void declare_one_of_each(Project& p) {
  if (p.file_count() == 0) add_program(p);
  package::Declarations& d = p.declarations();
  d.registry_values.push_back({RegistryRoot::scope, "Software\\Vendor\\App", "Home", RegistryType::expandable_string,
                               "%install path%", true, true});
  d.associations.push_back({".xyz", "Vendor.App.xyz", "XYZ document", "%install path%\\bin\\App.exe", "", "\"%1\""});
  d.paths.push_back({"%install path%\\bin", EnvironmentScope::current_user});
  d.variables.push_back({"APP_HOME", "%install path%", EnvironmentScope::machine});
}

TEST(ProjectDeclarations, TheSectionRoundTripsAndAFileWithoutItHasNone) {
  Sandbox box;
  const std::string path = box.root() + "/p.qsp";
  Project p;
  add_program(p);
  const std::string without = project_text(p);
  declare_one_of_each(p);
  const std::string with = project_text(p);
  // The section follows the settings and ends the file.
  EXPECT_EQ(with.substr(0, without.size() + 16), without + "[declarations]\r\n");
  EXPECT_EQ(with.substr(with.size() - 23), "[end of declarations]\r\n");

  box.write("p.qsp", with);
  Project q;
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_EQ(package::declarations_text(q.declarations()), package::declarations_text(p.declarations()));
  EXPECT_EQ(project_text(q), with);
  // The settings before it are read as they were.
  EXPECT_EQ(q.settings().program_name, p.settings().program_name);

  // A file saved before the section existed loads without declarations,
  // even into a project that had some.
  box.write("p.qsp", without);
  ASSERT_EQ(load_project(q, box.os(), path, ""), LoadStatus::loaded);
  EXPECT_TRUE(q.declarations().empty());

  // A damaged section loads the rest and says the file is incomplete; a
  // section without its start line is damaged too.
  std::string damaged = with;
  damaged.replace(damaged.find("\tscope\t"), 7, "\thive\t");
  box.write("p.qsp", damaged);
  EXPECT_EQ(load_project(q, box.os(), path, ""), LoadStatus::truncated);
  EXPECT_TRUE(q.declarations().empty());
  EXPECT_EQ(q.file_count(), 1);
  damaged = with;
  damaged.erase(damaged.find("[declarations]\r\n"), 16);
  box.write("p.qsp", damaged);
  EXPECT_EQ(load_project(q, box.os(), path, ""), LoadStatus::truncated);
}

TEST(ProjectDeclarations, ChecksFollowTheScopeAndTheProjectsFiles) {
  const struct {
    const char* name;
    package::Scope scope;
    void (*change)(package::Declarations&);
    const char* error;  // part of the only error; nullptr: none
  } cases[] = {
      {"one of each, machine-wide", package::Scope::machine, [](package::Declarations&) {}, nullptr},
      {"per-user writing the machine's environment", package::Scope::user, [](package::Declarations&) {},
       "cannot change the machine's environment"},
      {"per-user writing the machine's hive", package::Scope::user,
       [](package::Declarations& d) {
         d.variables[0].scope = EnvironmentScope::current_user;
         d.registry_values[0].root = RegistryRoot::local_machine;
       },
       "cannot write the machine's hive"},
      {"per-user in its own hive", package::Scope::user,
       [](package::Declarations& d) { d.variables[0].scope = EnvironmentScope::current_user; }, nullptr},
      {"association to a file not in the project", package::Scope::machine,
       [](package::Declarations& d) { d.associations[0].file = "%install path%\\App.exe"; }, "not a file of the project"},
      {"PATH outside the install folder", package::Scope::machine,
       [](package::Declarations& d) { d.paths[0].folder = "%windows%"; }, "%install path%"},
      {"the same value twice, once through the scope root", package::Scope::machine,
       [](package::Declarations& d) {
         d.registry_values.push_back(d.registry_values[0]);
         d.registry_values[1].root = RegistryRoot::local_machine;
         d.registry_values[1].key = "SOFTWARE\\Vendor\\App";
       },
       "declared twice"},
      {"the same PATH entry in two environments", package::Scope::machine,
       [](package::Declarations& d) { d.paths.push_back({d.paths[0].folder, EnvironmentScope::machine}); }, nullptr},
      {"an extension twice", package::Scope::machine,
       [](package::Declarations& d) {
         d.associations.push_back(d.associations[0]);
         d.associations[1].extension = ".XYZ";
       },
       "declared twice"},
      {"a number that is none", package::Scope::machine,
       [](package::Declarations& d) { d.registry_values[0].type = RegistryType::number; }, "decimal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Project p;
    declare_one_of_each(p);
    p.settings().install_scope = c.scope;
    c.change(p.declarations());
    const std::vector<std::string> errors = declaration_errors(p);
    if (!c.error) {
      EXPECT_TRUE(errors.empty()) << errors[0];
    } else {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_NE(errors[0].find(c.error), std::string::npos) << errors[0];
    }
  }
}

class Report : public BuildReport {
 public:
  void set_status(const std::string&) override {}
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool cancel_requested() override { return false; }
  void warning(const std::string& text) override { warnings.push_back(text); }
  std::vector<std::string> warnings;
};

TEST(ProjectDeclarations, TheBuildCarriesThemOnlyWhenThereAreAnyAndRefusesBadOnes) {
  Sandbox box;
  const std::string stub = "MZ-stub";
  box.write("dist/ext.dat", stub);
  box.write("dist/setup.JPG", "jpeg");
  box.write("out/.keep", "");
  BuildOptions options;
  options.builder_folder = box.root() + "/dist/";
  options.output_path = box.root() + "/out/setup.exe";

  // The data file's bytes in the built package; "-" when it has none.
  auto carried = [&](const Project& p) {
    Report report;
    if (build_package(p, box.os(), options, report) != BuildOutcome::done) return std::string("build failed");
    auto file = box.os().open_file(options.output_path, os::OpenMode::read);
    unsigned char trailer[package::kTrailerSize];
    const std::uint64_t size = file->size();
    package::read_at(*file, size - sizeof trailer, trailer, sizeof trailer);
    package::Archive archive;
    if (!archive.open(box.os(), package::ArchiveLocation{file.get(), stub.size(), package::decode_trailer(trailer)})) {
      return std::string("no archive");
    }
    const std::string wanted = package::data_entry_name(package::data_file::kDeclarations);
    for (std::size_t i = 0; i < archive.entry_count(); ++i) {
      std::string name = archive.entry(i).name;
      for (char& c : name) c = c == '/' ? '\\' : c;
      std::string bytes;
      if (name == wanted && archive.read_entry(i, 1 << 20, &bytes) == package::ExtractResult::ok) return bytes;
    }
    return std::string("-");
  };

  Project p;
  EXPECT_EQ(carried(p), "-");
  declare_one_of_each(p);
  p.set_file_source(0, box.write("src/App.exe", "app"));
  std::string crlf;
  for (char c : package::declarations_text(p.declarations())) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(carried(p), crlf);

  p.declarations().paths[0].folder = "C:\\Windows";
  Report report;
  EXPECT_EQ(build_package(p, box.os(), options, report), BuildOutcome::write_error);
  ASSERT_EQ(report.warnings.size(), 1u);
  EXPECT_NE(report.warnings[0].find("PATH entry C:\\Windows"), std::string::npos);
  EXPECT_FALSE(box.os().file_status(options.output_path).exists);
}

}  // namespace
}  // namespace quill::project
