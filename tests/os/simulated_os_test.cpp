// The simulated machines: what both backends share (files, folders,
// registry, shell), then what is the sandbox's or the memory's own.
#include "os/posix_os.h"
#include "tests/support/memory_os.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/os/sandbox.h"

namespace quill::os {
namespace {

std::string host_content(const std::string& host) {
  std::ifstream in(host, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool write(Os& os, const std::string& path, const std::string& data) {
  auto f = os.open_file(path, OpenMode::write);
  return f && f->write(data.data(), data.size());
}

std::string read(Os& os, const std::string& path) {
  auto f = os.open_file(path, OpenMode::read);
  if (!f) return "<missing>";
  std::string data(static_cast<std::size_t>(f->size()), '\0');
  data.resize(f->read(&data[0], data.size()));
  return data;
}

class PosixOsTest : public ::testing::Test {
 protected:
  testing::Sandbox sandbox_;
  PosixOs os_{sandbox_.root()};
};

// A machine of each backend; again() is a second view of the same machine
// (another instance on the sandbox, as an uninstaller run after an install).
template <class T>
struct Machine;
template <>
struct Machine<PosixOs> {
  testing::Sandbox sandbox;
  PosixOs os{sandbox.root()};
  std::unique_ptr<PosixOs> second;
  Os& again() { return *(second = std::make_unique<PosixOs>(sandbox.root())); }
};
template <>
struct Machine<MemoryOs> {
  MemoryOs os;
  Os& again() { return os; }
};

template <class T>
class SimulatedOsTest : public ::testing::Test {
 protected:
  Machine<T> machine_;
  T& os_ = machine_.os;
};
using Backends = ::testing::Types<PosixOs, MemoryOs>;
TYPED_TEST_SUITE(SimulatedOsTest, Backends);

TYPED_TEST(SimulatedOsTest, StandardFoldersExist) {
  for (SpecialFolder f : {SpecialFolder::program_files, SpecialFolder::windows, SpecialFolder::system,
                          SpecialFolder::desktop, SpecialFolder::programs, SpecialFolder::app_data,
                          SpecialFolder::profile}) {
    std::string path = this->os_.special_folder(f);
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), '\\') << path;
    FileStatus st = this->os_.file_status(path);
    EXPECT_TRUE(st.exists && st.is_folder) << path;
  }
  std::string temp = this->os_.temp_folder();
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(this->os_.file_status(temp).is_folder);
  EXPECT_TRUE(this->os_.file_status(this->os_.special_folder(SpecialFolder::app_data) +
                              "\\Microsoft\\Internet Explorer\\Quick Launch")
                  .is_folder);
}

TYPED_TEST(SimulatedOsTest, FileModes) {
  const std::string path = "C:\\f.bin";
  Error e = Error::io;
  EXPECT_EQ(this->os_.open_file(path, OpenMode::read, &e), nullptr);
  EXPECT_EQ(e, Error::not_found);

  ASSERT_TRUE(write(this->os_, path, "hello"));
  EXPECT_EQ(read(this->os_, path), "hello");
  {
    auto f = this->os_.open_file(path, OpenMode::append);
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->write(" world", 6));
  }
  EXPECT_EQ(read(this->os_, path), "hello world");
  ASSERT_TRUE(write(this->os_, path, "new"));  // write truncates
  EXPECT_EQ(read(this->os_, path), "new");

  auto f = this->os_.open_file(path, OpenMode::read);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->size(), 3u);
  ASSERT_TRUE(f->seek(1));
  char c[4] = {};
  EXPECT_EQ(f->read(c, 4), 2u);
  EXPECT_STREQ(c, "ew");
  EXPECT_EQ(f->tell(), 3u);

  // Missing parent folder and folders themselves cannot be opened.
  EXPECT_EQ(this->os_.open_file("C:\\nowhere\\f", OpenMode::write, &e), nullptr);
  EXPECT_EQ(e, Error::not_found);
  EXPECT_EQ(this->os_.open_file("C:\\Windows", OpenMode::read, &e), nullptr);
  EXPECT_EQ(e, Error::access_denied);
}

TYPED_TEST(SimulatedOsTest, ReadOnlyFilesRefuseWritesAndDeletion) {
  const std::string path = "C:\\ro.txt";
  ASSERT_TRUE(write(this->os_, path, "keep"));
  ASSERT_EQ(this->os_.set_read_only(path, true), Error::none);
  EXPECT_TRUE(this->os_.file_status(path).read_only);
  Error e = Error::none;
  EXPECT_EQ(this->os_.open_file(path, OpenMode::write, &e), nullptr);
  EXPECT_EQ(e, Error::access_denied);
  EXPECT_EQ(this->os_.open_file(path, OpenMode::append, &e), nullptr);
  EXPECT_EQ(this->os_.delete_file(path), Error::access_denied);
  EXPECT_EQ(this->os_.copy_file("C:\\Windows\\..\\ro.txt", path, false), Error::access_denied);
  EXPECT_EQ(read(this->os_, path), "keep");
  // Times may still be restored after the attribute (as Windows allows).
  EXPECT_EQ(this->os_.set_file_time(path, ((1u << 5 | 1u) << 16)), Error::none);
  EXPECT_EQ(this->os_.set_file_time(path, 0), Error::io);  // month 0 is no date
  ASSERT_EQ(this->os_.set_read_only(path, false), Error::none);
  EXPECT_EQ(this->os_.delete_file(path), Error::none);
  EXPECT_FALSE(this->os_.file_status(path).exists);
  EXPECT_EQ(this->os_.delete_file(path), Error::not_found);
}

TYPED_TEST(SimulatedOsTest, Folders) {
  EXPECT_EQ(this->os_.create_folder("C:\\A"), Error::none);
  EXPECT_EQ(this->os_.create_folder("C:\\a"), Error::exists);
  EXPECT_EQ(this->os_.create_folder("C:\\Missing\\B"), Error::not_found);
  ASSERT_TRUE(write(this->os_, "C:\\A\\zeta.txt", "12345"));
  ASSERT_TRUE(write(this->os_, "C:\\A\\Alpha.txt", ""));
  ASSERT_EQ(this->os_.create_folder("C:\\A\\beta"), Error::none);

  std::vector<FolderEntry> entries;
  ASSERT_EQ(this->os_.list_folder("C:\\A\\", &entries), Error::none);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "Alpha.txt");  // name order, ignoring letter case
  EXPECT_EQ(entries[1].name, "beta");
  EXPECT_TRUE(entries[1].is_folder);
  EXPECT_EQ(entries[2].name, "zeta.txt");
  EXPECT_EQ(entries[2].size, 5u);
  EXPECT_EQ(this->os_.list_folder("C:\\nothing", &entries), Error::not_found);

  EXPECT_EQ(this->os_.remove_folder("C:\\A"), Error::not_empty);
  EXPECT_EQ(this->os_.delete_file("C:\\A\\beta"), Error::access_denied);
  EXPECT_EQ(this->os_.remove_folder("C:\\A\\zeta.txt"), Error::io);
  EXPECT_EQ(this->os_.remove_folder("C:\\A\\beta"), Error::none);
  EXPECT_EQ(this->os_.remove_folder("C:\\A\\beta"), Error::not_found);
}

// Names are UTF-8 and compare as Windows compares them: Latin, Greek and
// Cyrillic letters in either case name one entry, listings come in the order
// of the upper-case letters, and every name keeps its own bytes.
TYPED_TEST(SimulatedOsTest, NamesInEveryScriptCompareIgnoringCase) {
  Os& os = this->os_;
  ASSERT_EQ(os.create_folder("C:\\данные"), Error::none);
  EXPECT_EQ(os.create_folder("C:\\ДАННЫЕ"), Error::exists);
  ASSERT_EQ(os.create_folder("C:\\данные\\Łukasz"), Error::none);
  EXPECT_EQ(os.create_folder("C:\\ДАННЫЕ\\łUKASZ"), Error::exists);
  ASSERT_TRUE(write(os, "C:\\данные\\Ελληνικά.txt", "alpha"));
  // A write under another case replaces the one file and keeps its name.
  ASSERT_TRUE(write(os, "c:\\ДаННые\\ΕΛΛΗΝΙΚΆ.TXT", "beta"));
  EXPECT_EQ(read(os, "C:\\данные\\ελληνικά.txt"), "beta");
  for (const char* name : {"日本語.txt", "Ärger.txt", "ägypten.txt", "zeta.txt", "Beta.txt"}) {
    ASSERT_TRUE(write(os, std::string("C:\\данные\\") + name, name)) << name;
  }
  EXPECT_EQ(read(os, "C:\\ДАННЫЕ\\日本語.TXT"), "日本語.txt");
  EXPECT_FALSE(os.file_status("C:\\данные\\日本.txt").exists);

  std::vector<FolderEntry> entries;
  ASSERT_EQ(os.list_folder("C:\\Данные", &entries), Error::none);
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Beta.txt", "zeta.txt", "ägypten.txt", "Ärger.txt",
                                             "Łukasz", "Ελληνικά.txt", "日本語.txt"}));

  ASSERT_TRUE(write(os, "C:\\данные\\new.tmp", "gamma"));
  ASSERT_EQ(os.replace_file("C:\\данные\\new.tmp", "C:\\ДАННЫЕ\\ΕΛΛΗΝΙΚΆ.TXT"), Error::none);
  EXPECT_EQ(read(os, "C:\\данные\\Ελληνικά.txt"), "gamma");
  ASSERT_EQ(os.move_file("C:\\данные\\日本語.TXT", "C:\\данные\\ŁUKASZ\\日本語.txt"), Error::none);
  ASSERT_EQ(os.list_folder("C:\\данные\\łukasz", &entries), Error::none);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "日本語.txt");
  EXPECT_EQ(os.delete_file("C:\\ДАННЫЕ\\ÄRGER.TXT"), Error::none);
  EXPECT_EQ(os.delete_file("C:\\данные\\ägypten.txt"), Error::none);

  const RegistryRoot user = RegistryRoot::current_user;
  ASSERT_EQ(os.registry_write_string(user, "Software\\Ключ", "Wert Ü", "Данные 日本語"), Error::none);
  std::string text;
  ASSERT_EQ(this->machine_.again().registry_read_string(user, "SOFTWARE\\КЛЮЧ", "wert ü", &text),
            Error::none);
  EXPECT_EQ(text, "Данные 日本語");
  // At most so many characters, never part of one.
  ASSERT_EQ(os.registry_read_string(user, "Software\\ключ", "WERT Ü", &text, 8), Error::none);
  EXPECT_EQ(text, "Данные 日");
  EXPECT_EQ(os.registry_delete_key(user, "software", "КЛЮЧ"), Error::none);
}

TYPED_TEST(SimulatedOsTest, CopyFile) {
  ASSERT_TRUE(write(this->os_, "C:\\src.dat", std::string(200000, 'q')));
  ASSERT_EQ(this->os_.set_file_time("C:\\src.dat", (((2004 - 1980) << 9 | 3 << 5 | 9) << 16) | (10 << 11)),
            Error::none);
  EXPECT_EQ(this->os_.copy_file("C:\\src.dat", "C:\\dst.dat", true), Error::none);
  EXPECT_EQ(read(this->os_, "C:\\dst.dat"), std::string(200000, 'q'));
  EXPECT_EQ(this->os_.copy_file("C:\\src.dat", "C:\\dst.dat", true), Error::exists);
  EXPECT_EQ(this->os_.copy_file("C:\\src.dat", "C:\\dst.dat", false), Error::none);
  EXPECT_EQ(this->os_.copy_file("C:\\none.dat", "C:\\x.dat", false), Error::not_found);
  EXPECT_FALSE(this->os_.file_status("C:\\x.dat").exists);
  // Copying a file onto itself must not destroy it.
  EXPECT_NE(this->os_.copy_file("C:\\src.dat", "c:\\SRC.dat", false), Error::none);
  EXPECT_EQ(this->os_.file_status("C:\\src.dat").size, 200000u);

}

// Links as Windows treats them: followed in the middle of a path and when
// reading; reported, deleted and removed as themselves; never written
// through.
TYPED_TEST(SimulatedOsTest, LinksAreReportedAndRemovedAsThemselvesAndNeverWrittenThrough) {
  TypeParam& os = this->os_;
  ASSERT_EQ(os.create_folder("C:\\Victim"), Error::none);
  ASSERT_TRUE(write(os, "C:\\Victim\\v.txt", "victim"));
  ASSERT_EQ(os.create_folder("C:\\P"), Error::none);
  ASSERT_EQ(os.create_link("C:\\P\\dir", "C:\\Victim"), Error::none);
  ASSERT_EQ(os.create_link("C:\\P\\file", "C:\\Victim\\v.txt"), Error::none);
  ASSERT_EQ(os.create_link("C:\\P\\nowhere", "C:\\Missing"), Error::none);

  FileStatus dir = os.file_status("C:\\P\\dir");
  EXPECT_TRUE(dir.exists && dir.is_link && dir.is_folder);
  FileStatus file = os.file_status("C:\\P\\file");
  EXPECT_TRUE(file.exists && file.is_link && !file.is_folder);
  EXPECT_TRUE(os.file_status("C:\\P\\nowhere").is_link);
  EXPECT_FALSE(os.file_status("C:\\Victim").is_link);
  std::vector<FolderEntry> entries;
  ASSERT_EQ(os.list_folder("C:\\P", &entries), Error::none);
  ASSERT_EQ(entries.size(), 3u);
  for (const FolderEntry& entry : entries) EXPECT_TRUE(entry.is_link) << entry.name;
  EXPECT_TRUE(entries[0].is_folder);  // "dir"

  // Followed in the middle of a path and for reading, as the system does.
  EXPECT_EQ(read(os, "C:\\P\\dir\\v.txt"), "victim");
  EXPECT_EQ(read(os, "C:\\P\\file"), "victim");
  ASSERT_EQ(os.list_folder("C:\\P\\dir", &entries), Error::none);
  EXPECT_EQ(entries.size(), 1u);

  // Never written through, nor copied onto.
  Error e = Error::none;
  for (OpenMode mode : {OpenMode::write, OpenMode::append}) {
    EXPECT_EQ(os.open_file("C:\\P\\file", mode, &e), nullptr);
    EXPECT_EQ(e, Error::access_denied);
  }
  EXPECT_EQ(os.copy_file("C:\\Windows\\..\\P\\dir\\v.txt", "C:\\P\\file", false), Error::access_denied);
  EXPECT_EQ(os.copy_file("C:\\P\\dir\\v.txt", "C:\\P\\file", true), Error::exists);
  EXPECT_EQ(os.set_read_only("C:\\P\\file", true), Error::none);
  EXPECT_FALSE(os.file_status("C:\\Victim\\v.txt").read_only);

  // Deleted and removed as themselves, whatever they lead to.
  EXPECT_EQ(os.remove_folder("C:\\P\\dir"), Error::none);
  EXPECT_EQ(os.delete_file("C:\\P\\file"), Error::none);
  EXPECT_EQ(os.delete_file("C:\\P\\nowhere"), Error::none);
  ASSERT_EQ(os.create_link("C:\\P\\dir2", "C:\\Victim"), Error::none);
  EXPECT_EQ(os.delete_file("C:\\P\\dir2"), Error::none);
  EXPECT_EQ(os.remove_folder("C:\\P"), Error::none);
  EXPECT_EQ(read(os, "C:\\Victim\\v.txt"), "victim");

  // A secured folder is new or nothing: never what stands there already.
  ASSERT_EQ(os.create_link("C:\\Planted", "C:\\Victim"), Error::none);
  EXPECT_EQ(os.create_folder_secured("C:\\Planted", FolderAccess::private_work), Error::exists);
  EXPECT_EQ(os.create_folder_secured("C:\\Victim", FolderAccess::private_work), Error::exists);
  EXPECT_EQ(os.create_folder_secured("C:\\Fresh", FolderAccess::machine_program), Error::none);
  EXPECT_TRUE(os.file_status("C:\\Fresh").is_folder);
  // Names for such folders differ each time and hold only hex digits.
  const std::string a = os.unpredictable_name(), b = os.unpredictable_name();
  EXPECT_EQ(a.size(), 16u);
  EXPECT_NE(a, b);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
}

TYPED_TEST(SimulatedOsTest, FreeSpace) {
  std::uint64_t mb = 0;
  EXPECT_TRUE(this->os_.free_megabytes("C:\\Program Files\\Not yet", &mb));
  EXPECT_GT(mb, 0u);
  EXPECT_FALSE(this->os_.free_megabytes("Q:\\", &mb));  // no such drive
  this->os_.set_free_megabytes(7);
  ASSERT_TRUE(this->os_.free_megabytes("C:\\", &mb));
  EXPECT_EQ(mb, 7u);
}

TYPED_TEST(SimulatedOsTest, Registry) {
  const RegistryRoot hklm = RegistryRoot::local_machine;
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\My App";
  EXPECT_FALSE(this->os_.registry_key_exists(hklm, key));
  ASSERT_EQ(this->os_.registry_write_string(hklm, key, "DisplayName", "My App = 1%\r\nsecond"), Error::none);
  ASSERT_EQ(this->os_.registry_write_dword(hklm, key, "NoModify", 1), Error::none);
  EXPECT_TRUE(this->os_.registry_key_exists(hklm, "software\\MICROSOFT"));
  EXPECT_FALSE(this->os_.registry_key_exists(RegistryRoot::current_user, "software\\MICROSOFT"));

  // A second backend on the same sandbox sees the same registry.
  Os& again = this->machine_.again();
  std::string text;
  ASSERT_EQ(again.registry_read_string(hklm, "software\\microsoft\\windows\\currentversion\\uninstall\\MY APP",
                                       "displayname", &text),
            Error::none);
  EXPECT_EQ(text, "My App = 1%\r\nsecond");
  ASSERT_EQ(again.registry_read_string(hklm, key, "DisplayName", &text, 6), Error::none);
  EXPECT_EQ(text, "My App");
  std::uint32_t dword = 0;
  ASSERT_EQ(again.registry_read_dword(hklm, key, "NoModify", &dword), Error::none);
  EXPECT_EQ(dword, 1u);
  EXPECT_EQ(again.registry_read_dword(hklm, key, "DisplayName", &dword), Error::not_found);
  EXPECT_EQ(again.registry_read_string(hklm, key, "NoModify", &text), Error::not_found);
  EXPECT_EQ(again.registry_read_string(hklm, key, "Missing", &text), Error::not_found);

  // Overwriting changes the type; deleting removes the whole subtree.
  ASSERT_EQ(this->os_.registry_write_string(hklm, key, "NoModify", "x"), Error::none);
  ASSERT_EQ(this->os_.registry_read_string(hklm, key, "NoModify", &text), Error::none);
  EXPECT_EQ(text, "x");
  ASSERT_EQ(this->os_.registry_create_key(hklm, key + "\\Sub\\Deeper"), Error::none);
  const std::string parent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  EXPECT_EQ(this->os_.registry_delete_key(hklm, parent, ""), Error::not_found);
  EXPECT_EQ(this->os_.registry_delete_key(hklm, parent, "\\"), Error::not_found);
  EXPECT_TRUE(this->os_.registry_key_exists(hklm, key));
  EXPECT_EQ(this->os_.registry_delete_key(hklm, parent, "my app"), Error::none);
  EXPECT_FALSE(this->os_.registry_key_exists(hklm, key));
  EXPECT_FALSE(this->os_.registry_key_exists(hklm, key + "\\Sub"));
  EXPECT_TRUE(this->os_.registry_key_exists(hklm, parent));
  EXPECT_EQ(this->os_.registry_delete_key(hklm, parent, "my app"), Error::not_found);
}

TYPED_TEST(SimulatedOsTest, ShortcutsAndShell) {
  Shortcut s;
  s.link_path = this->os_.special_folder(SpecialFolder::desktop) + "\\Tool.lnk";
  s.target = "C:\\Program Files\\Tool\\tool.exe";
  s.working_folder = "C:\\Program Files\\Tool";
  ASSERT_EQ(this->os_.create_shortcut(s), Error::none);
  Shortcut back;
  ASSERT_TRUE(this->os_.read_shortcut(s.link_path, &back));
  EXPECT_EQ(back.target, s.target);
  EXPECT_EQ(back.working_folder, s.working_folder);
  EXPECT_EQ(back.description, "");
  s.link_path = "C:\\No Folder\\Tool.lnk";
  EXPECT_EQ(this->os_.create_shortcut(s), Error::not_found);

  EXPECT_EQ(this->os_.shell_open("C:\\readme.txt"), Error::none);
  EXPECT_EQ(this->os_.start_program("C:\\a.exe", "C:\\log.ini"), Error::none);
  ASSERT_EQ(this->os_.shell_log().size(), 2u);
  EXPECT_EQ(this->os_.shell_log()[0], "open|C:\\readme.txt");
  EXPECT_EQ(this->os_.shell_log()[1], "start|C:\\a.exe|C:\\log.ini");
}

TEST_F(PosixOsTest, PathMapping) {
  const std::string& r = sandbox_.root();
  EXPECT_EQ(os_.host_path("C:\\X\\y.txt"), r + "/C/X/y.txt");
  EXPECT_EQ(os_.host_path("d:/a\\b/"), r + "/D/a/b");
  EXPECT_EQ(os_.host_path("C:\\"), r + "/C");
  EXPECT_EQ(os_.host_path("/usr/share/x"), "");  // outside the machine
  EXPECT_EQ(os_.host_path("\\\\server\\share\\f"), r + "/UNC/server/share/f");
  EXPECT_EQ(os_.host_path("//tmp/x/victim"), r + "/UNC/tmp/x/victim");
  EXPECT_EQ(os_.host_path("/\\tmp"), r + "/UNC/tmp");
  EXPECT_EQ(os_.host_path("rel\\f"), r + "/C/rel/f");
  // ".." never climbs out of the drive.
  EXPECT_EQ(os_.host_path("C:\\..\\..\\etc\\passwd"), r + "/C/etc/passwd");
  EXPECT_EQ(os_.host_path("C:\\a\\.\\b\\..\\c"), r + "/C/a/c");
}

TEST_F(PosixOsTest, NamesAreLookedUpCaseInsensitively) {
  ASSERT_TRUE(write(os_, "C:\\Program Files\\Data.TXT", "x"));
  EXPECT_EQ(os_.host_path("c:\\PROGRAM FILES\\data.txt"), sandbox_.root() + "/C/Program Files/Data.TXT");
  EXPECT_TRUE(os_.file_status("C:\\program files\\DATA.txt").exists);
  // Names that do not exist keep the spelling given.
  EXPECT_EQ(os_.host_path("C:\\program files\\New"), sandbox_.root() + "/C/Program Files/New");
}

TEST_F(PosixOsTest, HostPathsOnlyWhenAllowed) {
  // A host file beside the machine: no path form reaches it by default.
  std::string host = sandbox_.root() + "/outside.txt";
  std::ofstream(host) << "keep";
  for (const std::string& path : {host, "/" + host, "\\" + host.substr(1)}) {
    EXPECT_FALSE(os_.file_status(path).exists) << path;
    EXPECT_EQ(os_.delete_file(path), path == host ? Error::access_denied : Error::not_found) << path;
    EXPECT_EQ(os_.open_file(path, OpenMode::write), nullptr) << path;
    EXPECT_NE(os_.copy_file("C:\\Windows\\..\\none", path, false), Error::none) << path;
  }
  EXPECT_EQ(os_.create_folder(sandbox_.root() + "/made"), Error::access_denied);
  std::vector<FolderEntry> entries;
  EXPECT_EQ(os_.list_folder(sandbox_.root(), &entries), Error::access_denied);
  EXPECT_EQ(host_content(host), "keep");

  // The Linux builder reads its sources by host path.
  os_.allow_host_paths();
  ASSERT_TRUE(write(os_, host, "abc"));
  EXPECT_EQ(host_content(host), "abc");
  EXPECT_EQ(read(os_, host), "abc");
  EXPECT_FALSE(os_.module_path().empty());
  EXPECT_TRUE(os_.file_status(os_.module_path()).exists);
  os_.set_module_path("C:\\setup.exe");
  EXPECT_EQ(os_.module_path(), "C:\\setup.exe");
}

TEST_F(PosixOsTest, CopyKeepsTheModificationTime) {
  ASSERT_TRUE(write(os_, "C:\\src.dat", "q"));
  ASSERT_EQ(os_.set_file_time("C:\\src.dat", (((2004 - 1980) << 9 | 3 << 5 | 9) << 16) | (10 << 11)), Error::none);
  ASSERT_EQ(os_.copy_file("C:\\src.dat", "C:\\dst.dat", true), Error::none);
  struct stat a, b;
  ASSERT_EQ(::stat(os_.host_path("C:\\src.dat").c_str(), &a), 0);
  ASSERT_EQ(::stat(os_.host_path("C:\\dst.dat").c_str(), &b), 0);
  EXPECT_EQ(a.st_mtime, b.st_mtime);
  struct tm t;
  localtime_r(&b.st_mtime, &t);
  EXPECT_EQ(t.tm_year, 104);
  EXPECT_EQ(t.tm_mon, 2);
  EXPECT_EQ(t.tm_mday, 9);
  EXPECT_EQ(t.tm_hour, 10);
}

TEST(MemoryOsTest, HoldsNoHostPathsAndOnlyItsCapacity) {
  MemoryOs os(3u << 20);
  for (const char* path : {"/tmp/x", "/", "/C/Windows"}) {
    EXPECT_FALSE(os.file_status(path).exists) << path;
    EXPECT_EQ(os.create_folder(path), Error::access_denied) << path;
    EXPECT_EQ(os.open_file(path, OpenMode::write), nullptr) << path;
  }
  // Network paths and other drives lie inside the machine but do not exist.
  EXPECT_EQ(os.create_folder("//tmp/x"), Error::not_found);
  EXPECT_EQ(os.create_folder("D:\\x"), Error::not_found);
  std::uint64_t mb = 0;
  ASSERT_TRUE(os.free_megabytes("C:\\", &mb));
  EXPECT_EQ(mb, 3u);
  ASSERT_TRUE(write(os, "C:\\a.bin", std::string(2u << 20, 'a')));
  ASSERT_TRUE(os.free_megabytes("C:\\Program Files\\Not yet", &mb));
  EXPECT_EQ(mb, 1u);
  EXPECT_FALSE(write(os, "C:\\b.bin", std::string(2u << 20, 'b')));
  EXPECT_EQ(os.copy_file("C:\\a.bin", "C:\\c.bin", false), Error::disk_full);
  EXPECT_FALSE(os.file_status("C:\\c.bin").exists);
  // Deleting gives the space back; a file open for reading keeps its bytes.
  auto open = os.open_file("C:\\a.bin", OpenMode::read);
  ASSERT_EQ(os.delete_file("C:\\a.bin"), Error::none);
  EXPECT_TRUE(write(os, "C:\\b.bin", std::string(2u << 20, 'b')));
  char c = 0;
  EXPECT_EQ(open->read(&c, 1), 1u);
  EXPECT_EQ(c, 'a');
}

TEST(MemoryOsTest, DriveContentsListEveryFolderAndFile) {
  MemoryOs os;
  ASSERT_EQ(os.create_folder("C:\\Apps"), Error::none);
  ASSERT_TRUE(write(os, "C:\\Apps\\Tool.exe", "tool"));
  ASSERT_TRUE(write(os, "C:\\apps\\ro.txt", "x"));
  ASSERT_EQ(os.set_read_only("C:\\Apps\\ro.txt", true), Error::none);
  const auto all = os.drive_contents();
  EXPECT_EQ(all.at("C:"), "<folder>");
  EXPECT_EQ(all.at("C:\\APPS"), "<folder>");
  EXPECT_EQ(all.at("C:\\APPS\\TOOL.EXE"), "w:tool");
  EXPECT_EQ(all.at("C:\\APPS\\RO.TXT"), "r:x");
  EXPECT_EQ(all.count("C:\\WINDOWS"), 1u);  // the standard folders too
  ASSERT_EQ(os.delete_file("C:\\Apps\\Tool.exe"), Error::none);
  EXPECT_EQ(os.drive_contents().count("C:\\APPS\\TOOL.EXE"), 0u);
}

TEST(MemoryOsTest, AClonePartsFromItsOriginal) {
  MemoryOs os(3u << 20);
  ASSERT_EQ(os.create_folder("C:\\Apps"), Error::none);
  ASSERT_TRUE(write(os, "C:\\Apps\\Tool.exe", std::string(1u << 20, 't')));
  ASSERT_EQ(os.set_read_only("C:\\Apps\\Tool.exe", true), Error::none);
  ASSERT_EQ(os.registry_write_string(RegistryRoot::local_machine, "Software\\Tool", "Name", "Tool"), Error::none);
  os.set_module_path("C:\\Apps\\setup.exe");
  auto open = os.open_file("C:\\notes.txt", OpenMode::write);
  ASSERT_NE(open, nullptr);

  MemoryOs copy = os.clone();
  const auto contents = os.drive_contents();
  EXPECT_EQ(copy.drive_contents(), contents);
  std::string name;
  EXPECT_EQ(copy.registry_read_string(RegistryRoot::local_machine, "Software\\Tool", "Name", &name), Error::none);
  EXPECT_EQ(name, "Tool");
  EXPECT_EQ(copy.module_path(), "C:\\Apps\\setup.exe");
  std::uint64_t mb = 0;
  ASSERT_TRUE(copy.free_megabytes("C:\\", &mb));
  EXPECT_EQ(mb, 2u);  // the copy's file takes its space too

  // Each side's changes stay its own, also through a file opened before.
  ASSERT_TRUE(open->write("new", 3));
  ASSERT_EQ(copy.set_read_only("C:\\Apps\\Tool.exe", false), Error::none);
  ASSERT_EQ(copy.delete_file("C:\\Apps\\Tool.exe"), Error::none);
  ASSERT_EQ(copy.registry_write_string(RegistryRoot::local_machine, "Software\\Tool", "Name", "Copy"), Error::none);
  ASSERT_TRUE(write(copy, "C:\\notes.txt", "copy"));
  EXPECT_EQ(read(os, "C:\\notes.txt"), "new");
  EXPECT_EQ(read(copy, "C:\\notes.txt"), "copy");
  EXPECT_EQ(read(os, "C:\\Apps\\Tool.exe"), std::string(1u << 20, 't'));
  EXPECT_TRUE(os.file_status("C:\\Apps\\Tool.exe").read_only);
  EXPECT_EQ(os.registry_read_string(RegistryRoot::local_machine, "Software\\Tool", "Name", &name), Error::none);
  EXPECT_EQ(name, "Tool");
  ASSERT_TRUE(os.free_megabytes("C:\\", &mb));
  EXPECT_EQ(mb, 1u);  // the original's tool still takes its space
  // Space is each machine's own: the copy has room for what the original has not.
  EXPECT_TRUE(write(copy, "C:\\big.bin", std::string(2u << 20, 'b')));
  EXPECT_FALSE(write(os, "C:\\big.bin", std::string(2u << 20, 'b')));
}

TEST(MemoryOsTest, ChangedPathsAreWhereTheDrivesDiffer) {
  MemoryOs base;
  ASSERT_EQ(base.create_folder("C:\\Apps"), Error::none);
  ASSERT_EQ(base.create_folder("C:\\Apps\\Docs"), Error::none);
  ASSERT_EQ(base.create_folder("C:\\Apps\\Docs\\sub"), Error::none);
  ASSERT_TRUE(write(base, "C:\\Apps\\Tool.exe", "tool"));
  ASSERT_TRUE(write(base, "C:\\Apps\\Docs\\a.txt", "a"));
  ASSERT_TRUE(write(base, "C:\\ro.txt", "r"));
  ASSERT_EQ(base.set_read_only("C:\\ro.txt", true), Error::none);
  const struct {
    const char* what;
    void (*change)(MemoryOs&);
    std::vector<std::string> changed;
  } cases[] = {
      {"a new time and the same bytes again",
       [](MemoryOs& os) {
         os.set_file_time("C:\\Apps\\Tool.exe", 0x58210000);
         write(os, "C:\\apps\\TOOL.exe", "tool");
       },
       {}},
      {"bytes", [](MemoryOs& os) { write(os, "C:\\Apps\\Tool.exe", "tool2"); }, {"C:\\APPS\\TOOL.EXE"}},
      {"read-only mark", [](MemoryOs& os) { os.set_read_only("C:\\ro.txt", false); }, {"C:\\RO.TXT"}},
      {"a new folder with a file",
       [](MemoryOs& os) {
         os.create_folder("C:\\New");
         write(os, "C:\\New\\x", "");
       },
       {"C:\\NEW", "C:\\NEW\\X"}},
      {"a folder with all it held",
       [](MemoryOs& os) {
         os.delete_file("C:\\Apps\\Docs\\a.txt");
         os.remove_folder("C:\\Apps\\Docs\\sub");
         os.remove_folder("C:\\Apps\\Docs");
       },
       {"C:\\APPS\\DOCS", "C:\\APPS\\DOCS\\A.TXT", "C:\\APPS\\DOCS\\SUB"}},
      {"a file turned folder",
       [](MemoryOs& os) {
         os.delete_file("C:\\Apps\\Tool.exe");
         os.create_folder("C:\\Apps\\Tool.exe");
         write(os, "C:\\Apps\\Tool.exe\\in", "tool");
       },
       {"C:\\APPS\\TOOL.EXE", "C:\\APPS\\TOOL.EXE\\IN"}},
      {"a rename", [](MemoryOs& os) { os.move_file("C:\\Apps\\Tool.exe", "C:\\Apps\\Tool2.exe"); },
       {"C:\\APPS\\TOOL.EXE", "C:\\APPS\\TOOL2.EXE"}},
  };
  for (const auto& c : cases) {
    MemoryOs after = base.clone();
    c.change(after);
    std::vector<std::string> changed = after.changed_paths_since(base);
    std::sort(changed.begin(), changed.end());
    EXPECT_EQ(changed, c.changed) << c.what;
    // The same as comparing whole copies of the two drives, either way round.
    const auto was = base.drive_contents(), is = after.drive_contents();
    std::vector<std::string> differ;
    for (const auto& [path, what] : was) {
      if (is.count(path) == 0 || is.at(path) != what) differ.push_back(path);
    }
    for (const auto& [path, what] : is) {
      if (was.count(path) == 0) differ.push_back(path);
    }
    std::sort(differ.begin(), differ.end());
    EXPECT_EQ(differ, c.changed) << c.what;
    std::vector<std::string> back = base.changed_paths_since(after);
    std::sort(back.begin(), back.end());
    EXPECT_EQ(back, c.changed) << c.what;
  }
}

}  // namespace
}  // namespace quill::os
