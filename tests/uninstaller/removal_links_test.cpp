// Links planted in every kind of place a removal walks, on the sandbox
// machine (host links) and the memory machine: each goes as an entry, or
// stops the removal of what lies behind it, and what it leads to stays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/memory_os.h"
#include "os/posix_os.h"
#include "tests/os/sandbox.h"
#include "tests/uninstaller/uninstall_fixture.h"
#include "uninstaller/removal.h"

namespace quill::uninstall {
namespace {

template <class T>
struct Machine;
template <>
struct Machine<os::PosixOs> {
  testing::Sandbox sandbox;
  os::PosixOs os{sandbox.root()};
};
template <>
struct Machine<os::MemoryOs> {
  os::MemoryOs os;
};

template <class T>
class RemovalLinksTest : public ::testing::Test {};
using Backends = ::testing::Types<os::PosixOs, os::MemoryOs>;
TYPED_TEST_SUITE(RemovalLinksTest, Backends);

// Makes the folders that lead to `path`.
void make_parents(os::Os& os, const std::string& path) {
  for (std::size_t i = 3; i < path.size(); ++i) {
    if (path[i] == '\\') os.create_folder(path.substr(0, i));
  }
}

bool put(os::Os& os, const std::string& path, const std::string& bytes) {
  make_parents(os, path);
  auto file = os.open_file(path, os::OpenMode::write);
  return file && file->write(bytes.data(), bytes.size());
}

std::string get(os::Os& os, const std::string& path) {
  auto file = os.open_file(path, os::OpenMode::read);
  std::string bytes(file ? static_cast<std::size_t>(file->size()) : 0, '\0');
  if (!file || file->read(&bytes[0], bytes.size()) != bytes.size()) return "<unreadable>";
  return bytes;
}

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
  Machine<TypeParam> probe;
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
    Machine<TypeParam> machine;
    os::Os& os = machine.os;
    for (const std::string& victim : victims) ASSERT_TRUE(put(os, victim, "victim " + victim));
    for (const std::string& file : c.files) ASSERT_TRUE(put(os, file, "own"));
    for (const auto& [path, target] : c.links) {
      make_parents(os, path);
      ASSERT_EQ(machine.os.create_link(path, target), os::Error::none) << path;
    }
    std::vector<std::string> lines = {"Tool"};
    lines.insert(lines.end(), c.entries.begin(), c.entries.end());
    lines.insert(lines.end(), {log, app + "\\", "||||"});
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    ASSERT_TRUE(put(os, log, text));

    UninstallLog read;
    ASSERT_EQ(read_uninstall_log(os, log, &read), LogStatus::ok);
    RecordingObserver observer;
    run_removal(os, read, FolderGuard(os), observer);

    EXPECT_EQ(observer.lines.back(), "Done!");
    for (const std::string& victim : victims) EXPECT_EQ(get(os, victim), "victim " + victim);
    for (const std::string& path : c.gone) EXPECT_FALSE(os.file_status(path).exists) << path;
  }
}

}  // namespace
}  // namespace quill::uninstall
