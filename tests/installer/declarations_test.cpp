// Declared registry values, associations, PATH entries and variables: the
// install applies them inside its transaction and records them in the
// uninstall log; the removal undoes them exactly; a failure at any step of
// either way leaves the registry as it was; a package that declares what it
// may not is refused before anything is written.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "installer/declarations_apply.h"
#include "installer/transaction.h"
#include "installer/upgrade.h"
#include "installer_fixture.h"
#include "package/declaration_records.h"
#include "package/declarations.h"
#include "tests/support/fault_os.h"
#include "tests/support/memory_os.h"
#include "uninstaller/declarations_undo.h"

namespace quill::installer {
namespace {

using Value = os::Os::RegistryValue;
using package::Declarations;
using Registry = std::map<std::string, std::string>;

const char kFolder[] = "C:\\Program Files\\App\\";
const char kLog[] = "C:\\Program Files\\App\\uninstall.ini";
const char kMachineEnv[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr os::RegistryRoot kHKCU = os::RegistryRoot::current_user;
constexpr os::RegistryRoot kHKLM = os::RegistryRoot::local_machine;

Value text_value(const std::string& text, bool expandable = false) {
  Value v;
  v.type = expandable ? Value::Type::expandable_string : Value::Type::string;
  v.text = text;
  return v;
}

Value read(os::Os& os, os::RegistryRoot root, const std::string& key, const std::string& name) {
  Value v;
  os.registry_read_value(root, key, name, &v);
  return v;
}

// A machine as a user has it: values the declarations will replace, a PATH
// that already holds one of the folders.
void prepare(os::MemoryOs& os) {
  os.create_folder("C:\\Program Files\\App");
  os.registry_write_value(kHKLM, "Software\\Vendor\\App", "Home", text_value("D:\\old home"));
  Value dword;
  dword.type = Value::Type::dword;
  dword.dword = 7;
  os.registry_write_value(kHKLM, "Software\\Vendor\\App", "Level", dword);
  os.registry_write_value(kHKCU, "Environment", "Path",
                          text_value("C:\\Tools;c:\\program files\\app\\SHARED\\;%USERPROFILE%\\bin", true));
  os.registry_write_value(kHKLM, kMachineEnv, "Path", text_value("C:\\Windows;C:\\Windows\\System32", true));
  os.registry_write_value(kHKCU, "Environment", "APP_MODE", text_value("classic"));
}

Declarations one_of_each() {
  Declarations d;
  package::RegistryValueDeclaration home;
  home.key = "Software\\Vendor\\App";
  home.name = "Home";
  home.data = "%install path%";
  d.registry_values.push_back(home);
  package::RegistryValueDeclaration level = home;
  level.name = "Level";
  level.type = package::RegistryType::number;
  level.data = "42";
  d.registry_values.push_back(level);
  package::RegistryValueDeclaration fresh;
  fresh.root = package::RegistryRoot::current_user;
  fresh.key = "Software\\Vendor\\App\\Settings";
  fresh.name = "Theme";
  fresh.type = package::RegistryType::expandable_string;
  fresh.data = "%APPDATA%\\theme";
  fresh.remove_key_when_empty = true;
  d.registry_values.push_back(fresh);
  package::AssociationDeclaration xyz;
  xyz.extension = ".xyz";
  xyz.program_id = "Vendor.App.xyz";
  xyz.description = "XYZ document";
  xyz.file = "bin\\App.exe";
  d.associations.push_back(xyz);
  d.paths.push_back({"%install path%\\bin", package::EnvironmentScope::current_user});
  d.paths.push_back({"%install path%\\shared", package::EnvironmentScope::current_user});
  d.paths.push_back({"%install path%\\bin", package::EnvironmentScope::machine});
  d.variables.push_back({"APP_HOME", "%install path%", package::EnvironmentScope::machine});
  d.variables.push_back({"APP_MODE", "modern", package::EnvironmentScope::current_user});
  return d;
}

class DeclarationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prepare(machine_);
    request_.install_folder = InstallFolder(kFolder);
    request_.data_files = &files_;
    request_.registered_name = "App";
    request_.has_registered_name = true;
  }

  void declare(const Declarations& d) { files_.put("declarations.txt", package::declarations_text(d)); }

  // Plans and applies the declarations in a transaction of their own, with
  // the log's first line written; the transaction is undone unless the run
  // finished and `keep`.
  InstallResult apply(os::Os& os, bool keep = true) {
    if (!os.file_status(kLog).exists) package::append_log_line(os, kLog, "App");
    package::DeclarationPlan plan;
    if (!plan_package_declarations(os, request_, &plan)) return InstallResult::damaged;
    Transaction transaction(os, "C:\\aside");
    const InstallResult result = apply_declarations(os, request_, plan, kLog, callback_, transaction);
    if (result == InstallResult::finished && keep) {
      transaction.keep();
    } else {
      transaction.undo_all();
    }
    return result;
  }

  void uninstall(os::Os& os) {
    for (const std::string& line : package::log_closing_lines("", kFolder)) {
      package::append_log_line(os, kLog, line);
    }
    package::UninstallLog log;
    ASSERT_EQ(package::read_uninstall_log(os, kLog, &log), package::LogStatus::ok);
    uninstaller::undo_declarations(os, log);
  }

  os::MemoryOs machine_;
  package::DataFiles files_;
  InstallRequest request_;
  test::FixedAnswers callback_{WriteAnswer::abort};
};

TEST_F(DeclarationsTest, ApplyThenUndoLeavesTheRegistryExactlyAsBefore) {
  for (package::Scope scope : {package::Scope::machine, package::Scope::user}) {
    SCOPED_TRACE(scope == package::Scope::machine ? "machine" : "user");
    os::MemoryOs os = machine_.clone();
    request_.scope.scope = scope;
    Declarations d = one_of_each();
    if (scope == package::Scope::user) {
      d.registry_values.erase(d.registry_values.begin(), d.registry_values.begin() + 2);
      d.paths.pop_back();
      d.variables.erase(d.variables.begin());
    }
    declare(d);
    const Registry before = os.registry_contents();
    ASSERT_EQ(apply(os), InstallResult::finished);

    const os::RegistryRoot classes = scope == package::Scope::user ? kHKCU : kHKLM;
    struct Expected {
      os::RegistryRoot root;
      const char* key;
      const char* name;
      Value value;
    };
    std::vector<Expected> expected = {
        {classes, "Software\\Classes\\.xyz", "", text_value("Vendor.App.xyz")},
        {classes, "Software\\Classes\\Vendor.App.xyz", "", text_value("XYZ document")},
        {classes, "Software\\Classes\\Vendor.App.xyz\\DefaultIcon", "",
         text_value("C:\\Program Files\\App\\bin\\App.exe,0")},
        {classes, "Software\\Classes\\Vendor.App.xyz\\shell\\open\\command", "",
         text_value("\"C:\\Program Files\\App\\bin\\App.exe\" \"%1\"")},
        {kHKCU, "Software\\Vendor\\App\\Settings", "Theme", text_value("%APPDATA%\\theme", true)},
        // One folder added; the one already there (another case, a trailing
        // backslash) left as it was.
        {kHKCU, "Environment", "Path",
         text_value("C:\\Tools;c:\\program files\\app\\SHARED\\;%USERPROFILE%\\bin;C:\\Program Files\\App\\bin", true)},
        {kHKCU, "Environment", "APP_MODE", text_value("modern")},
    };
    if (scope == package::Scope::machine) {
      Value level;
      level.type = Value::Type::dword;
      level.dword = 42;
      expected.push_back({kHKLM, "Software\\Vendor\\App", "Home", text_value("C:\\Program Files\\App")});
      expected.push_back({kHKLM, "Software\\Vendor\\App", "Level", level});
      expected.push_back({kHKLM, kMachineEnv, "Path",
                          text_value("C:\\Windows;C:\\Windows\\System32;C:\\Program Files\\App\\bin", true)});
      expected.push_back({kHKLM, kMachineEnv, "APP_HOME", text_value("C:\\Program Files\\App")});
    }
    for (const Expected& e : expected) {
      SCOPED_TRACE(std::string(e.key) + "|" + e.name);
      const Value got = read(os, e.root, e.key, e.name);
      EXPECT_EQ(int(got.type), int(e.value.type));
      EXPECT_EQ(got.text, e.value.text);
      EXPECT_EQ(got.dword, e.value.dword);
    }
    EXPECT_EQ(os.shell_log(), (std::vector<std::string>{"associations-changed", "environment-changed"}));

    // The user adds a folder after the install: it stays when ours goes.
    Value path = read(os, kHKCU, "Environment", "Path");
    path.text += ";D:\\Later";
    os.registry_write_value(kHKCU, "Environment", "Path", path);
    uninstall(os);
    Registry expected_after = before;
    expected_after["80000001\\ENVIRONMENT|PATH"] += ";D:\\Later";
    EXPECT_EQ(os.registry_contents(), expected_after);
    EXPECT_EQ(os.shell_log(), (std::vector<std::string>{"associations-changed", "environment-changed",
                                                        "associations-changed", "environment-changed"}));
  }
}

TEST_F(DeclarationsTest, AFailureAtAnyStepOfTheApplyOrItsRollbackLeavesTheRegistryAsItWas) {
  declare(one_of_each());
  const Registry before = machine_.registry_contents();
  // The apply fails at its nth operation; the install is undone.
  for (std::uint64_t n = 1;; ++n) {
    os::MemoryOs inner = machine_.clone();
    package::append_log_line(inner, kLog, "App");
    os::FaultOs os(inner);
    os.arm(os::FaultOs::kAll, n, os::Error::access_denied);
    const InstallResult result = apply(os);
    if (!os.triggered()) {
      EXPECT_EQ(result, InstallResult::finished);
      break;
    }
    EXPECT_EQ(result, InstallResult::write_failed) << n;
    EXPECT_EQ(inner.registry_contents(), before) << "apply fault " << n;
  }
  // The apply goes through, then the install is rolled back, and the nth
  // operation of the rollback fails.
  for (std::uint64_t n = 1;; ++n) {
    os::MemoryOs inner = machine_.clone();
    os::FaultOs os(inner);
    package::append_log_line(os, kLog, "App");
    package::DeclarationPlan plan;
    ASSERT_TRUE(plan_package_declarations(os, request_, &plan));
    Transaction transaction(os, "C:\\aside");
    ASSERT_EQ(apply_declarations(os, request_, plan, kLog, callback_, transaction), InstallResult::finished);
    os.arm(os::FaultOs::kAll, n, os::Error::access_denied);
    transaction.undo_all();
    EXPECT_EQ(inner.registry_contents(), before) << "rollback fault " << n;
    if (!os.triggered()) break;
  }
}

TEST_F(DeclarationsTest, AnUpgradeKeepsWhatTheFirstInstallReplacedAndDidThatItDoesNot) {
  Declarations old = one_of_each();
  old.variables.push_back({"APP_OLD", "1", package::EnvironmentScope::current_user});
  old.paths.push_back({"%install path%\\old", package::EnvironmentScope::machine});
  declare(old);
  os::MemoryOs os = machine_.clone();
  const Registry before = os.registry_contents();
  ASSERT_EQ(apply(os), InstallResult::finished);
  // The old install's log, as an upgrade finds it; the new one starts afresh.
  InstalledProgram installed;
  for (const std::string& line : package::log_closing_lines("", kFolder)) package::append_log_line(os, kLog, line);
  ASSERT_EQ(package::read_uninstall_log(os, kLog, &installed.log), package::LogStatus::ok);
  os.delete_file(kLog);
  declare(one_of_each());
  request_.installed = &installed;
  ASSERT_EQ(apply(os), InstallResult::finished);
  request_.installed = nullptr;
  uninstall(os);
  EXPECT_EQ(os.registry_contents(), before);
}

TEST_F(DeclarationsTest, DeclarationsAPackageMayNotMakeAreRefusedBeforeAnyWrite) {
  const std::string big(40000, 'x');
  struct Case {
    const char* what;
    package::Scope scope;
    std::string text;
  };
  const Case cases[] = {
      {"damaged text", package::Scope::machine, "registry\tscope\tSoftware\\A\tN\tstring\tD\tremove\n"},
      {"unknown root", package::Scope::machine,
       "registry\tclasses\tSoftware\\A\tN\tstring\tD\tremove\tkeep key\n"},
      {"per-user package, machine hive", package::Scope::user,
       "registry\tmachine\tSoftware\\A\tN\tstring\tD\tremove\tkeep key\n"},
      {"per-user package, machine PATH", package::Scope::user, "path\tmachine\t%install path%\\bin\n"},
      {"per-user package, machine variable", package::Scope::user, "variable\tmachine\tV\tx\n"},
      {"PATH entry outside the install folder", package::Scope::machine, "path\tuser\tC:\\Windows\n"},
      {"PATH entry climbing out", package::Scope::machine, "path\tuser\t%install path%\\..\\..\\Windows\n"},
      {"associated file climbing out of the install folder", package::Scope::machine,
       "association\t.xyz\tP.x\tD\t..\\..\\Windows\\notepad.exe\t\t\"%1\"\n"},
      {"value grown too long by a macro", package::Scope::machine,
       "registry\tscope\tSoftware\\A\tN\tstring\t%big%%big%\tremove\tkeep key\n"},
      {"over-long value", package::Scope::machine,
       "variable\tuser\tV\t" + big + "\n"},
  };
  std::vector<package::MacroRecord> macros = {{"%big%", std::string(20000, 'y'), "", ""}};
  request_.macros = &macros;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files_.put("declarations.txt", c.text);
    request_.scope.scope = c.scope;
    package::DeclarationPlan plan;
    EXPECT_FALSE(plan_package_declarations(machine_, request_, &plan));
  }
}

TEST(DeclarationRecordsTest, RecordsReadBackWholeAndADamagedOneIsPassedOver) {
  package::DeclarationRecord long_one;
  long_one.what = 'e';
  long_one.root = kHKLM;
  long_one.key = kMachineEnv;
  long_one.name = "Path";
  long_one.previous = text_value(std::string(3000, 'a') + "|%\xC3\xA9\r\n;" + std::string(2000, 'b'), true);
  package::DeclarationRecord key;
  key.kind = package::DeclarationRecord::Kind::created_key;
  key.key = "Software\\Classes\\.xyz";
  package::DeclarationRecord entry;
  entry.kind = package::DeclarationRecord::Kind::path_entry;
  entry.key = "Environment";
  entry.name = "C:\\App\\bin";
  entry.created_value = true;

  std::vector<std::string> lines;
  for (const auto* r : {&long_one, &key, &entry}) {
    for (const std::string& line : package::declaration_record_lines(*r)) {
      EXPECT_LE(line.size(), package::kRecordPieceLength + 2);
      lines.push_back(line);
    }
  }
  auto records = package::declaration_records(lines);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].previous.text, long_one.previous.text);
  EXPECT_EQ(records[0].previous.type, Value::Type::expandable_string);
  EXPECT_EQ(records[1].key, key.key);
  EXPECT_TRUE(records[2].created_value);
  EXPECT_EQ(records[2].name, entry.name);

  // A piece of the long record lost (a damaged line reads as empty): that
  // record goes, the others stay; a record of an unknown hive goes too.
  std::vector<std::string> damaged = lines;
  damaged[3] = "";
  damaged.push_back("*.K|X|Software\\Other");
  records = package::declaration_records(damaged);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].kind, package::DeclarationRecord::Kind::created_key);
  EXPECT_EQ(records[1].kind, package::DeclarationRecord::Kind::path_entry);
}

// The whole install: a damaged declarations file stops it before the first
// file; a good one is applied and its records head for the uninstall log.
class DeclarationsInstallTest : public test::InstallerTest {};

TEST_F(DeclarationsInstallTest, TheInstallAppliesThemAndADamagedFileStopsItFirst) {
  archive({{"bin/App.exe", "A"}, {"Uninstall.exe", "U"}});
  data_file("fileinfo.txt", "bin\\App.exe|%install path%\\bin\r\nUninstall.exe|%install path%\r\n////\r\n////\r\n");
  data_file("uninstall.txt", "%install path%\\Uninstall.exe");
  data_file("declarations.txt", "path\tmachine\tC:\\Windows\r\n");
  EXPECT_EQ(run(), InstallResult::damaged);
  EXPECT_FALSE(exists("C:\\Program Files\\Tool"));

  data_file("declarations.txt",
            "association\t.xyz\tTool.xyz\tXYZ\tbin\\App.exe\t\t\"%1\"\r\npath\tmachine\t%install path%\\bin\r\n");
  ASSERT_EQ(run(), InstallResult::finished);
  Value command;
  os().registry_read_value(kHKLM, "Software\\Classes\\Tool.xyz\\shell\\open\\command", "", &command);
  EXPECT_EQ(command.text, "\"C:\\Program Files\\Tool\\bin\\App.exe\" \"%1\"");
  package::UninstallLog log;
  ASSERT_EQ(package::read_uninstall_log(os(), "C:\\Program Files\\Tool\\uninstall.ini", &log), package::LogStatus::ok);
  // The records stay out of the paths, which end with the install folder.
  EXPECT_EQ(log.entries.back().path, "C:\\Program Files\\Tool\\");
  const auto records = package::declaration_records(log.declaration_lines);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().kind, package::DeclarationRecord::Kind::path_entry);
  uninstaller::undo_declarations(os(), log);
  EXPECT_FALSE(os().registry_key_exists(kHKLM, "Software\\Classes\\Tool.xyz"));
  EXPECT_FALSE(os().registry_key_exists(kHKLM, "Software\\Classes\\.xyz"));
}

}  // namespace
}  // namespace quill::installer
