// registry, association, path and env: what each writes and lists, and
// that a refused one leaves the project file as it was.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/command.h"
#include "tests/cli/sandbox_platform.h"
#include "tests/project/sandbox.h"

namespace quill::cli {
namespace {

class DeclarationCommands : public ::testing::Test, protected CommandBox {
 protected:
  DeclarationCommands() {
    box.os().set_module_path(box.root() + "/bin/quillset-build");
    box.write("src/App.exe", "MZ");
  }
  std::string saved() const { return testing::Sandbox::read(box.root() + "/p.qsp"); }
};

TEST_F(DeclarationCommands, EachKindIsAddedListedShownAndRemoved) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", box.root() + "/src/App.exe", "--to", "bin"}), 0);
  const std::string before = saved();
  ASSERT_EQ(run({"registry", "p.qsp", "add", "Software\\Vendor\\App", "--name", "Home", "--type", "expandable",
                 "--data", "%install path%", "--remove-empty-key"}), 0) << last_err;
  ASSERT_EQ(run({"registry", "p.qsp", "add", "Software\\Vendor\\App", "--root", "user", "--type", "number",
                 "--data", "7", "--keep"}), 0) << last_err;
  ASSERT_EQ(run({"association", "p.qsp", "add", ".xyz", "bin/App.exe", "--program-id", "Vendor.App.xyz",
                 "--description", "XYZ document"}), 0) << last_err;
  ASSERT_EQ(run({"path", "p.qsp", "add", "bin"}), 0) << last_err;
  ASSERT_EQ(run({"path", "p.qsp", "add", ".", "--machine"}), 0) << last_err;
  ASSERT_EQ(run({"env", "p.qsp", "add", "APP_HOME", "%install path%", "--machine"}), 0) << last_err;
  // Adding what is declared already changes it.
  ASSERT_EQ(run({"env", "p.qsp", "add", "app_home", "%install path%\\data", "--machine"}), 0) << last_err;

  const std::string section = saved().substr(before.size());
  EXPECT_EQ(section,
            "[declarations]\r\n"
            "registry\tscope\tSoftware\\Vendor\\App\tHome\texpandable\t%install path%\tremove\tremove empty key\r\n"
            "registry\tuser\tSoftware\\Vendor\\App\t\tnumber\t7\tkeep\tkeep key\r\n"
            "association\t.xyz\tVendor.App.xyz\tXYZ document\t%install path%\\bin\\App.exe\t\t\"%1\"\r\n"
            "path\tuser\t%install path%\\bin\r\n"
            "path\tmachine\t%install path%\r\n"
            "variable\tmachine\tapp_home\t%install path%\\data\r\n"
            "[end of declarations]\r\n");

  ASSERT_EQ(run({"path", "p.qsp", "list"}), 0);
  EXPECT_EQ(last_out, "User PATH\t%install path%\\bin\nMachine PATH\t%install path%\n");
  ASSERT_EQ(run({"show", "p.qsp"}), 0);
  EXPECT_NE(last_out.find("  Association: .xyz = Vendor.App.xyz -> %install path%\\bin\\App.exe\n"), std::string::npos);
  ASSERT_EQ(run({"show", "p.qsp", "--json"}), 0);
  EXPECT_NE(last_out.find("\"environment\": [\n      {\"name\": \"app_home\", \"value\": \"%install path%\\\\data\", "
                          "\"scope\": \"machine\"}\n    ]"),
            std::string::npos)
      << last_out;
  EXPECT_NE(last_out.find("\"remove_on_uninstall\": false"), std::string::npos);
  ASSERT_EQ(run({"check", "p.qsp"}), 1);  // only the builder's own files are missing here
  EXPECT_EQ(last_err.find("Registry"), std::string::npos) << last_err;

  ASSERT_EQ(run({"registry", "p.qsp", "remove", "SOFTWARE\\Vendor\\App", "--name", "home"}), 0) << last_err;
  ASSERT_EQ(run({"registry", "p.qsp", "remove", "Software\\Vendor\\App", "--root", "user"}), 0) << last_err;
  ASSERT_EQ(run({"association", "p.qsp", "remove", ".XYZ"}), 0) << last_err;
  ASSERT_EQ(run({"path", "p.qsp", "remove", "%install path%\\bin"}), 0) << last_err;
  ASSERT_EQ(run({"path", "p.qsp", "remove", ".", "--machine"}), 0) << last_err;
  ASSERT_EQ(run({"env", "p.qsp", "remove", "APP_HOME", "--machine"}), 0) << last_err;
  EXPECT_EQ(saved(), before);
}

TEST_F(DeclarationCommands, RefusedCommandsLeaveTheFileAlone) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", box.root() + "/src/App.exe"}), 0);
  ASSERT_EQ(run({"env", "p.qsp", "add", "A", "1"}), 0);
  const std::string before = saved();
  const struct {
    std::vector<std::string> args;
    const char* why;
  } cases[] = {
      {{"registry", "p.qsp", "add", "Software\\A", "--root", "classes"}, "--root"},
      {{"registry", "p.qsp", "add", "Software\\A", "--type", "binary"}, "--type"},
      {{"registry", "p.qsp", "add", "Software\\A", "--type", "number", "--data", "x"}, "decimal"},
      {{"registry", "p.qsp", "add", std::string(256, 'k')}, "too long"},
      {{"registry", "p.qsp", "add", "Software\\A", "--data", "a\nb"}, "control character"},
      {{"registry", "p.qsp", "remove", "Software\\A"}, "declares no such value"},
      {{"registry", "p.qsp", "change", "Software\\A"}, "add, remove or list"},
      {{"association", "p.qsp", "add", ".xyz", "Missing.exe", "--program-id", "P"}, "installs no file"},
      {{"association", "p.qsp", "add", ".xyz", "App.exe"}, "--program-id"},
      {{"association", "p.qsp", "add", "xyz", "App.exe", "--program-id", "P"}, "extension"},
      {{"association", "p.qsp", "add", ".xyz", "App.exe", "--program-id", "A B"}, "program identifier"},
      {{"path", "p.qsp", "add", "C:\\Windows"}, "install folder"},
      {{"path", "p.qsp", "add", "%windows%"}, "install folder"},
      {{"path", "p.qsp", "add", "bin/../.."}, "\"..\""},
      {{"path", "p.qsp", "remove", "bin"}, "adds no user PATH entry"},
      {{"env", "p.qsp", "add", "A=B", "1"}, "'='"},
      {{"env", "p.qsp", "add", "PATH", "C:\\"}, "path declarations"},
      {{"env", "p.qsp", "remove", "A", "--machine"}, "sets no such variable"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[2] + " " + c.args[3].substr(0, 20));
    EXPECT_EQ(run(c.args), 2);
    EXPECT_NE(last_err.find(c.why), std::string::npos) << last_err;
    EXPECT_EQ(saved(), before);
  }

  // What the install scope cannot write: refused for a per-user project,
  // and check reports it when the scope changes afterwards.
  ASSERT_EQ(run({"env", "p.qsp", "add", "B", "2", "--machine"}), 0);
  ASSERT_EQ(run({"set", "p.qsp", "install-scope=user"}), 0);
  const std::string per_user = saved();
  EXPECT_EQ(run({"registry", "p.qsp", "add", "Software\\A", "--root", "machine"}), 2);
  EXPECT_NE(last_err.find("cannot write the machine's hive"), std::string::npos) << last_err;
  EXPECT_EQ(run({"path", "p.qsp", "add", "bin", "--machine"}), 2);
  EXPECT_EQ(saved(), per_user);
  EXPECT_EQ(run({"check", "p.qsp"}), 1);
  EXPECT_NE(last_err.find("error: Variable B: a per-user package cannot change the machine's environment."),
            std::string::npos)
      << last_err;
}

}  // namespace
}  // namespace quill::cli
