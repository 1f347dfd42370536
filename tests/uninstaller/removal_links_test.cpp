// Links planted in every kind of place a removal walks, on the sandbox
// machine (host links) and the memory machine: each goes as an entry, or
// stops the removal of what lies behind it, and what it leads to stays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/os/machines.h"
#include "tests/uninstaller/uninstall_fixture.h"
#include "uninstaller/removal.h"

namespace quill::uninstaller {
namespace {

using testing::get_file;
using testing::put_file;

template <class T>
class RemovalLinksTest : public ::testing::Test {};
TYPED_TEST_SUITE(RemovalLinksTest, testing::SimulatedBackends);

TYPED_TEST(RemovalLinksTest, PlantedLinksGoAsEntriesAndTheirTargetsStay) {
  const std::string app = "C:\\Program Files\\Tool";
  const std::string log = app + "\\uninstall.ini";
  const std::string victims[] = {"C:\\Victim\\keep.dat", "C:\\Victim\\sub\\deep.dat",
                                 "C:\\Victim\\a.dat"};
  struct Case {
    const char* what;
    std::vector<std::string> files;                            // the installation's
    std::vector<std::pair<std::string, std::string>> links;    // planted: path, target
    std::vector<std::string> entries;                          // before the log and the folder
    std::vector<std::string> gone;
  };
  testing::Machine<TypeParam> probe;
  const std::string group = probe.os.special_folder(os::SpecialFolder::programs) + "\\Tool";
  const std::string desktop_link = probe.os.special_folder(os::SpecialFolder::desktop) + "\\Tool.lnk";
  const std::vector<Case> cases = {
      {"in the program group", {group + "\\Tool.lnk"}, {{group + "\\more", "C:\\Victim"}},
       {group, group + "\\Tool.lnk"}, {group}},
      {"in place of the program group", {}, {{group, "C:\\Victim"}}, {group, group + "\\Tool.lnk"},
       {group}},
      {"in the install folder's sweep", {app + "\\tool.exe"}, {{app + "\\data\\more", "C:\\Victim"}},
       {app + "\\tool.exe"}, {app}},
      {"on the way to an installed file", {app + "\\tool.exe"}, {{app + "\\data", "C:\\Victim"}},
       {app + "\\tool.exe", app + "\\data\\a.dat", app + "\\data\\sub\\deep.dat"}, {app}},
      {"in place of the install folder", {}, {{app, "C:\\Victim"}}, {app + "\\a.dat"}, {app}},
      {"in place of an installed file", {}, {{app + "\\tool.exe", "C:\\Victim\\a.dat"}},
       {app + "\\tool.exe"}, {app}},
      {"in place of a shortcut", {}, {{desktop_link, "C:\\Victim\\a.dat"}}, {"", desktop_link},
       {desktop_link}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::Machine<TypeParam> machine;
    os::Os& os = machine.os;
    for (const std::string& victim : victims) ASSERT_TRUE(put_file(os, victim, "victim " + victim));
    for (const std::string& file : c.files) ASSERT_TRUE(put_file(os, file, "own"));
    for (const auto& [path, target] : c.links) {
      put_file(os, path, "");  // its folders
      os.delete_file(path);
      ASSERT_EQ(machine.os.create_link(path, target), os::Error::none) << path;
    }
    std::vector<std::string> lines = {"Tool"};
    lines.insert(lines.end(), c.entries.begin(), c.entries.end());
    lines.insert(lines.end(), {log, app + "\\", "||||"});
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    ASSERT_TRUE(put_file(os, log, text));

    UninstallLog read;
    ASSERT_EQ(read_uninstall_log(os, log, &read), LogStatus::ok);
    RecordingObserver observer;
    run_removal(os, read, FolderGuard(os), observer);

    EXPECT_EQ(observer.lines.back(), "Done!");
    for (const std::string& victim : victims) EXPECT_EQ(get_file(os, victim), "victim " + victim);
    for (const std::string& path : c.gone) EXPECT_FALSE(os.file_status(path).exists) << path;
  }
}

}  // namespace
}  // namespace quill::uninstaller
