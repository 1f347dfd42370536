// The build pipeline: package layout, archive entries and data files, the
// append in chunks, abort and failure paths.
#include "builder/project/build.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <condition_variable>
#include <future>
#include <random>

#include "builder/project/architecture.h"
#include "builder/project/build_thread.h"
#include "builder/project/package_contents.h"
#include "package/archive.h"
#include "tests/support/fault_os.h"
#include "../project/sandbox.h"

// minizip keeps the central-directory record of an entry whose local header
// could not be written and never frees it; the write-fault test meets that
// on purpose, once per failed build.
extern "C" const char* __lsan_default_suppressions() { return "leak:zipOpenNewFileInZip4_64\n"; }

namespace quill::project {
namespace {

using quill::testing::Sandbox;

struct Entry {
  std::string name;
  int method = -1;
  std::string data;
  unsigned long dos_time = 0;
};

struct Package {
  std::string stub;
  std::uint64_t archive_size = 0;
  std::uint64_t comment_size = 0;  // padding that makes the package a multiple of 8 long
  std::vector<Entry> entries;
  const Entry* find(const std::string& name) const {
    for (const auto& e : entries) {
      if (e.name == name) return &e;
    }
    return nullptr;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.name);
    return out;
  }
};

// Splits a package into stub, archive and trailer and reads every entry
// back with the ZIP reader.
Package read_package(Sandbox& box, const std::string& host_path, std::size_t stub_size) {
  Package package;
  std::string bytes = Sandbox::read(host_path);
  EXPECT_GE(bytes.size(), stub_size + 8);
  std::uint64_t n = 0;
  for (int i = 7; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(bytes[bytes.size() - 8 + i]);
  package.archive_size = n;
  EXPECT_EQ(stub_size + n + 8, bytes.size());
  EXPECT_EQ(bytes.size() % 8, 0u) << "signing tools would pad before their table";
  package.stub = bytes.substr(0, stub_size);
  std::string zip = box.write("readback.zip", bytes.substr(stub_size, n));
  unzFile file = unzOpen64(zip.c_str());
  EXPECT_NE(file, nullptr);
  if (!file) return package;
  unz_global_info64 global;
  if (unzGetGlobalInfo64(file, &global) == UNZ_OK) package.comment_size = global.size_comment;
  for (int r = unzGoToFirstFile(file); r == UNZ_OK; r = unzGoToNextFile(file)) {
    unz_file_info64 info;
    char name[512];
    unzGetCurrentFileInfo64(file, &info, name, sizeof name, nullptr, 0, nullptr, 0);
    Entry entry;
    entry.name = name;
    entry.method = static_cast<int>(info.compression_method);
    entry.dos_time = info.dosDate;
    EXPECT_EQ(unzOpenCurrentFile(file), UNZ_OK);
    std::string data(info.uncompressed_size, '\0');
    int got = unzReadCurrentFile(file, &data[0], static_cast<unsigned>(data.size()));
    EXPECT_EQ(got, static_cast<int>(data.size())) << name;
    EXPECT_EQ(unzCloseCurrentFile(file), UNZ_OK) << "CRC of " << name;
    entry.data = data;
    package.entries.push_back(entry);
  }
  unzClose(file);
  return package;
}

class Recorder : public BuildReport {
 public:
  void set_phase(BuildPhase next) override { phase = next; }
  void set_status(const std::string& text) override {
    statuses.push_back(text);
    status_phases.push_back(phase);
  }
  void set_progress_range(std::uint64_t maximum) override { ranges.push_back(maximum); }
  void set_progress(std::uint64_t position) override {
    positions.push_back(position);
    if (!statuses.empty() && statuses.back() == "Building installer exe...") ++append_steps;
  }
  bool cancel_requested() override {
    ++abort_checks;
    return abort_at_status.empty() ? false
                                   : std::find(statuses.begin(), statuses.end(), abort_at_status) != statuses.end();
  }
  void warning(const std::string& text) override { warnings.push_back(text); }

  std::vector<std::string> statuses;
  BuildPhase phase = BuildPhase::failed;  // none reported yet
  std::vector<BuildPhase> status_phases;  // the phase each status came in
  std::vector<std::uint64_t> ranges;
  std::vector<std::uint64_t> positions;
  std::vector<std::string> warnings;
  std::string abort_at_status;
  int abort_checks = 0;
  int append_steps = 0;  // progress steps while the archive is appended
};

const std::string kStub = "MZ-stub-bytes";

class BuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    builder_ = box_.root() + "/dist/";
    box_.write("dist/ext.dat", kStub);
    box_.write("dist/uninst.dat", "uninstaller");
    box_.write("dist/setup.JPG", "jpeg");
    output_ = box_.root() + "/out/setup.exe";
    std::filesystem::create_directories(box_.root() + "/out");
    options_.builder_folder = builder_;
    options_.output_path = output_;
  }
  BuildOutcome build(os::Os* os = nullptr) {
    return build_package(project_, os ? *os : box_.os(), options_, report_);
  }
  Package package() { return read_package(box_, output_, kStub.size()); }
  bool exists(const std::string& path) { return std::filesystem::exists(path); }
  // Files the build may leave: the builder folder's three and the output.
  void expect_no_work_files() {
    EXPECT_FALSE(exists(output_ + ".zip"));
    std::size_t count = 0;
    for (const auto& e : std::filesystem::directory_iterator(builder_)) {
      (void)e;
      ++count;
    }
    EXPECT_EQ(count, 3u);
  }

  Sandbox box_;
  std::string builder_;
  std::string output_;
  Project project_;
  BuildOptions options_;
  Recorder report_;
};

TEST_F(BuildTest, ProjectWithoutFilesGivesDataEntriesOnly) {
  ASSERT_EQ(build(), BuildOutcome::done);
  Package p = package();
  EXPECT_EQ(p.stub, kStub);
  EXPECT_EQ(p.names(), (std::vector<std::string>{
                           "%Quillpack%/img/setup.jpg", "%Quillpack%/installer_settings.txt",
                           "%Quillpack%/tt.txt", "%Quillpack%/eoi_message.txt", "%Quillpack%/eoi_file.txt",
                           "%Quillpack%/def_install.txt", "%Quillpack%/eoi_buttons.txt",
                           "%Quillpack%/macros.txt", "%Quillpack%/fileinfo.txt"}));
  EXPECT_EQ(p.find("%Quillpack%/fileinfo.txt")->data, "////\r\n////\r\n");
  EXPECT_EQ(p.find("%Quillpack%/img/setup.jpg")->data, "jpeg");
  EXPECT_EQ(p.find("%Quillpack%/installer_settings.txt")->data, "0\r\nfalse");
  EXPECT_EQ(p.find("%Quillpack%/tt.txt")->data, "%name% Setup");
  EXPECT_EQ(p.find("%Quillpack%/eoi_message.txt")->data, "");
  EXPECT_EQ(p.find("%Quillpack%/def_install.txt")->data, "%program files%\\%name%");
  EXPECT_EQ(p.find("%Quillpack%/eoi_buttons.txt")->data, "OK");
  EXPECT_EQ(report_.statuses,
            (std::vector<std::string>{"Initializing build...", "Getting file count...", "Adding graphics...",
                                      "Adding installer info...", "Building installer exe...", "Done!"}));
  expect_no_work_files();
}

TEST_F(BuildTest, DataFilesHoldTheirExactBytes) {
  box_.write("texts/welcome.txt", "Hello\r\n%name%\n");
  project_.settings().welcome_file = box_.root() + "/texts/welcome.txt";
  project_.settings().licence_file = box_.root() + "/texts/missing.txt";
  project_.settings().program_name = "Prog";
  project_.settings().try_path_first = true;
  project_.settings().message_box_ok = false;
  project_.settings().eoi_command = std::string(300, 'e');
  project_.window_settings() = {1, true};
  project_.add_macro({"%a%", "A", "", ""});
  project_.add_file(box_.write("src/quick.exe", "q"), "quick.exe", kInstallRootPath, project_.install_root());
  project_.add_file(box_.write("src/plain.txt", "p"), "plain.txt", kInstallRootPath, project_.install_root());
  project_.shortcut(0, kQuickLaunch) = {"Folder", "Quick", "%install path%\\quick.exe", kQuickLaunch};
  project_.set_include_uninstaller(true, builder_ + "uninst.dat");
  project_.add_image(box_.root() + "/src/quick.exe", 6, true, 2, 15, 25);  // any readable file
  project_.settings().use_background_window = true;
  project_.fullscreen().stretch_to_desktop = false;
  project_.fullscreen().font = {"Courier", "20", "400", "5", "0", "0", "2"};
  project_.fullscreen().text_colour = make_colour(10, 20, 30);

  ASSERT_EQ(build(), BuildOutcome::done);
  Package p = package();
  EXPECT_EQ(p.find("%Quillpack%/wt.txt")->data, "Hello\r\n%name%\n");  // a byte copy
  EXPECT_EQ(p.find("%Quillpack%/license.txt"), nullptr);
  EXPECT_EQ(report_.warnings, (std::vector<std::string>{"Text file missing: \"" + box_.root() +
                                                        "/texts/missing.txt\"."}));
  EXPECT_EQ(p.find("%Quillpack%/installer_settings.txt")->data, "1\r\ntrue");
  EXPECT_EQ(p.find("%Quillpack%/def_install.txt")->data,
            "%program files%\\%name%\r\n%a registry key macro%");
  EXPECT_EQ(p.find("%Quillpack%/eoi_buttons.txt")->data, "YESNO");
  EXPECT_EQ(p.find("%Quillpack%/eoi_file.txt")->data, std::string(259, 'e'));
  EXPECT_EQ(p.find("%Quillpack%/macros.txt")->data,
            "%a%\r\nA\r\n\r\n\r\n%name%\r\nProg\r\n\r\n\r\n////\r\n////\r\n////\r\n////\r\n");
  EXPECT_EQ(p.find("%Quillpack%/shortcuts.txt")->data,
            "Folder\r\nQuick\r\n%install path%\\quick.exe\r\n2\r\n////\r\n////\r\n////\r\n////\r\n");
  EXPECT_EQ(p.find("%Quillpack%/fileinfo.txt")->data,
            "quick.exe|%install path%\\\r\nplain.txt|%install path%\\\r\nUninstall.exe|%install path%\\\r\n"
            "////\r\n////\r\n");
  EXPECT_EQ(p.find("%Quillpack%/uninstall.txt")->data, "%install path%\\Uninstall.exe");
  EXPECT_EQ(p.find("Uninstall.exe")->data, "uninstaller");
  EXPECT_EQ(p.find("%Quillpack%/bgimg/6/quick.exe")->data, "q");
  EXPECT_EQ(p.find("%Quillpack%/bgimg/6/quick.exe.txt")->data, "2\r\n15\r\n25\r\n");
  EXPECT_EQ(p.find("%Quillpack%/fullscreen.txt")->data,
            "%name%\r\nwith\r\n640\r\n480\r\nCourier\r\n20\r\n400\r\n1\r\n0\r\n0\r\n2\r\n0\r\ntrue\r\ntrue\r\n4\r\n"
            "10\r\n20\r\n30\r\n0\r\n0\r\n0\r\n0\r\n0\r\n255\r\n0\r\n0\r\n0\r\n");
  // Order: files, pictures, default picture, texts, data files.
  std::vector<std::string> names = p.names();
  EXPECT_EQ(names[0], "quick.exe");
  EXPECT_EQ(names[3], "%Quillpack%/bgimg/6/quick.exe");
  EXPECT_EQ(names[5], "%Quillpack%/img/setup.jpg");
  EXPECT_EQ(names[6], "%Quillpack%/wt.txt");
  EXPECT_EQ(names.back(), "%Quillpack%/uninstall.txt");
}

TEST_F(BuildTest, StoredExtensionsAreStoredAndTheRestDeflated) {
  std::string text(20000, 'a');
  for (const char* name : {"a.zip", "b.gz", "c.Z", "d.tgz", "e.ZIP", "f.txt", "g.z", "h.arj"}) {
    project_.add_file(box_.write(std::string("src/") + name, text), name, kInstallRootPath, project_.install_root());
  }
  ASSERT_EQ(build(), BuildOutcome::done);
  Package p = package();
  for (const char* name : {"a.zip", "b.gz", "c.Z", "d.tgz", "h.arj"}) EXPECT_EQ(p.find(name)->method, 0) << name;
  for (const char* name : {"e.ZIP", "f.txt", "g.z"}) EXPECT_EQ(p.find(name)->method, 8) << name;
  for (const auto& e : p.entries) {
    if (e.name.find('%') == std::string::npos) {
      EXPECT_EQ(e.data, text);
    }
  }
}

TEST_F(BuildTest, LargeFilesSplitIntoBlocksReadBackIntact) {
  // Mixed content across many small blocks: compressible runs, random
  // bytes, and a length that is not a multiple of the block size.
  std::mt19937 random(7);
  std::string data;
  for (int i = 0; i < 40; ++i) {
    std::size_t run = 5000 + random() % 20000;
    if (i % 3 == 0) {
      for (std::size_t j = 0; j < run; ++j) data += static_cast<char>(random());
    } else {
      data += std::string(run, static_cast<char>('a' + i % 26));
      data += "line " + std::to_string(i) + "\n";
    }
  }
  options_.limits.block_size = 16384;
  options_.limits.max_pending_blocks = 3;
  project_.add_file(box_.write("src/big.bin", data), "big.bin", kInstallRootPath, project_.install_root());
  project_.add_file(box_.write("src/exact.bin", data.substr(0, 16384 * 4)), "exact.bin", kInstallRootPath,
                    project_.install_root());
  project_.add_file(box_.write("src/empty.bin", ""), "empty.bin", kInstallRootPath, project_.install_root());
  project_.add_file(box_.write("src/big.gz", data), "big.gz", kInstallRootPath, project_.install_root());
  ASSERT_EQ(build(), BuildOutcome::done);
  Package p = package();
  EXPECT_EQ(p.find("big.bin")->data, data);
  EXPECT_EQ(p.find("exact.bin")->data, data.substr(0, 16384 * 4));
  EXPECT_EQ(p.find("empty.bin")->data, "");
  EXPECT_EQ(p.find("big.gz")->data, data);
}

TEST_F(BuildTest, ArchiveIsAppendedInChunks) {
  project_.add_file(box_.write("src/a.txt", std::string(5000, 'x')), "a.txt", kInstallRootPath,
                    project_.install_root());
  ASSERT_EQ(build(), BuildOutcome::done);
  const Package first = package();
  const std::uint64_t n = first.archive_size - first.comment_size;  // as the writer left it
  auto chunks_for = [&](std::size_t chunk) {
    report_ = Recorder();
    options_.chunk_size = chunk;
    EXPECT_EQ(build(), BuildOutcome::done);
    EXPECT_EQ(package().archive_size, first.archive_size);
    // One progress step per chunk, then the reset to 0.
    EXPECT_EQ(report_.ranges.back(), n / 1024);
    EXPECT_EQ(report_.positions.back(), 0u);
    return static_cast<std::uint64_t>(report_.append_steps - 1);
  };
  EXPECT_EQ(chunks_for(n), 1u);
  EXPECT_EQ(chunks_for(n - 1), 2u);
  EXPECT_EQ(chunks_for(n + 1), 1u);
  EXPECT_EQ(chunks_for(1024), (n + 1023) / 1024);
}

TEST_F(BuildTest, AbortLeavesNeitherOutputNorArchive) {
  for (int i = 0; i < 3; ++i) {
    project_.add_file(box_.write("src/" + std::to_string(i), "data"), "f" + std::to_string(i), kInstallRootPath,
                      project_.install_root());
  }
  report_.abort_at_status = "Adding file " + box_.root() + "/src/1...";
  EXPECT_EQ(build(), BuildOutcome::aborted);
  EXPECT_FALSE(exists(output_));
  expect_no_work_files();
  EXPECT_EQ(report_.statuses.back(), "Build aborted!");
  EXPECT_EQ(report_.positions.back(), 0u);

  report_ = Recorder();
  report_.abort_at_status = "Building installer exe...";
  EXPECT_EQ(build(), BuildOutcome::aborted);
  EXPECT_FALSE(exists(output_));
  expect_no_work_files();
}

TEST_F(BuildTest, EachStatusComesInItsPhase) {
  using P = BuildPhase;
  for (const char* name : {"a", "b"}) {
    project_.add_file(box_.write(std::string("src/") + name, name), name, kInstallRootPath,
                      project_.install_root());
  }
  ASSERT_EQ(build(), BuildOutcome::done);
  EXPECT_EQ(report_.status_phases,
            (std::vector<P>{P::initializing, P::counting, P::adding_files, P::adding_files,
                            P::adding_graphics, P::adding_info, P::appending, P::done}));

  report_ = Recorder();
  report_.abort_at_status = "Building installer exe...";
  EXPECT_EQ(build(), BuildOutcome::aborted);
  EXPECT_EQ(report_.status_phases.back(), P::aborted);

  report_ = Recorder();
  std::filesystem::remove(builder_ + "ext.dat");
  EXPECT_EQ(build(), BuildOutcome::stub_error);
  EXPECT_EQ(report_.status_phases, (std::vector<P>{P::initializing, P::failed}));
}

TEST_F(BuildTest, MissingStubIsABuildError) {
  std::filesystem::remove(builder_ + "ext.dat");
  project_.add_file(box_.write("src/a", "a"), "a", kInstallRootPath, project_.install_root());
  EXPECT_EQ(build(), BuildOutcome::stub_error);
  EXPECT_EQ(report_.statuses.back(), "Build error.");
  EXPECT_FALSE(exists(output_));
  EXPECT_FALSE(exists(output_ + ".zip"));

  options_.output_path = box_.root() + "/no/such/folder/setup.exe";
  box_.write("dist/ext.dat", kStub);
  EXPECT_EQ(build(), BuildOutcome::stub_error);
}

// The architecture picks the stub at the package's head and the uninstaller
// it installs, both beside the builder; the project keeps naming the 32-bit
// uninstaller. A missing 64-bit stub is an error that names it.
TEST_F(BuildTest, ArchitecturePicksStubAndUninstaller) {
  box_.write("dist/ext64.dat", "MZ-stub-x64-bytes");
  box_.write("dist/uninst64.dat", "uninstaller-x64");
  project_.set_include_uninstaller(true, builder_ + "uninst.dat");
  const int slot = project_.find_file_by_tree_item(project_.uninstaller_item());
  struct Case {
    Architecture architecture;
    std::string stub_file, uninstaller_file, stub, uninstaller;
  };
  for (const Case& c : {Case{Architecture::x86, "ext.dat", "uninst.dat", kStub, "uninstaller"},
                        Case{Architecture::x64, "ext64.dat", "uninst64.dat", "MZ-stub-x64-bytes",
                             "uninstaller-x64"}}) {
    SCOPED_TRACE(c.stub_file);
    project_.settings().architecture = c.architecture;
    EXPECT_EQ(architecture_files(c.architecture).stub, c.stub_file);
    EXPECT_EQ(architecture_files(c.architecture).uninstaller, c.uninstaller_file);
    EXPECT_EQ(build_source(project_, slot), builder_ + c.uninstaller_file);
    ASSERT_EQ(build(), BuildOutcome::done);
    Package p = read_package(box_, output_, c.stub.size());
    EXPECT_EQ(p.stub, c.stub);
    EXPECT_EQ(p.find("Uninstall.exe")->data, c.uninstaller);
  }
  EXPECT_EQ(project_.file(slot).source, builder_ + "uninst.dat");

  std::filesystem::remove(builder_ + "ext64.dat");
  EXPECT_EQ(build(), BuildOutcome::stub_error);
  EXPECT_NE(stub_error_message(Architecture::x64).find("ext64.dat"), std::string::npos);
  EXPECT_EQ(stub_error_message(Architecture::x86), kStubErrorMessage);
}

// A file left out of the package takes its shortcuts and the uninstaller's
// role with it: the installer would make shortcuts that point at nothing.
TEST_F(BuildTest, MissingSourcesAreListedButNotPackedNorLinked) {
  project_.add_file(box_.root() + "/src/gone.txt", "gone.txt", kInstallRootPath, project_.install_root());
  project_.add_file(box_.write("src/here.txt", "h"), "here.txt", kInstallRootPath, project_.install_root());
  project_.shortcut(0, kDesktop) = {"", "Gone", "", kDesktop};
  project_.shortcut(1, kDesktop) = {"", "Here", "", kDesktop};
  std::filesystem::remove(builder_ + "uninst.dat");
  project_.set_include_uninstaller(true, builder_ + "uninst.dat");
  ASSERT_EQ(build(), BuildOutcome::done);
  Package p = package();
  EXPECT_EQ(p.find("gone.txt"), nullptr);
  EXPECT_EQ(p.find("%Quillpack%/fileinfo.txt")->data,
            "gone.txt|%install path%\\\r\nhere.txt|%install path%\\\r\n"
            "Uninstall.exe|%install path%\\\r\n////\r\n////\r\n");
  EXPECT_EQ(p.find("%Quillpack%/shortcuts.txt")->data,
            "\r\nHere\r\n%install path%\\here.txt\r\n0\r\n////\r\n////\r\n////\r\n////\r\n");
  EXPECT_EQ(p.find("%Quillpack%/uninstall.txt"), nullptr);
  ASSERT_EQ(report_.warnings.size(), 2u);
  EXPECT_NE(report_.warnings[0].find("gone.txt"), std::string::npos);
  EXPECT_NE(report_.warnings[1].find("uninst.dat"), std::string::npos);
  EXPECT_EQ(report_.ranges.front(), 1u);
}

// A source that is a pipe would never end, and a shortcut an installer
// cannot make would be missing without a word: the build tells both.
TEST_F(BuildTest, PipesAndShortcutsAnInstallerCannotMakeAreTold) {
  project_.add_file(box_.write("src/here.txt", "h"), "here.txt", kInstallRootPath, project_.install_root());
  ASSERT_EQ(mkfifo((box_.root() + "/src/pipe").c_str(), 0600), 0);
  project_.add_file(box_.root() + "/src/pipe", "pipe.txt", kInstallRootPath, project_.install_root());
  project_.shortcut(0, kStartMenu) = {"..\\..\\Windows", "Here", "", kStartMenu};
  ASSERT_EQ(build(), BuildOutcome::done);
  EXPECT_EQ(package().find("pipe.txt"), nullptr);
  ASSERT_EQ(report_.warnings.size(), 2u);
  EXPECT_NE(report_.warnings[0].find("not a file (a device, pipe or socket)"), std::string::npos);
  EXPECT_NE(report_.warnings[1].find("\"..\\..\\Windows\\Here\" cannot be made"), std::string::npos);
}

TEST_F(BuildTest, SameNamesNeverShareAnArchiveEntry) {
  std::string a = box_.write("src/a/readme.txt", "first");
  std::string b = box_.write("src/b/readme.txt", "second");
  std::string c = box_.write("src/c/readme.txt", "third");
  std::string d = box_.write("src/d/readme.txt", "fourth");
  project_.add_file_record(a, "readme.txt", kInstallRootPath, kNoItem);
  project_.add_file_record(b, "readme.txt", kInstallRootPath, kNoItem);  // same pair
  project_.add_file_record(c, "readme.txt", "%install path%\\Docs\\En\\", kNoItem);
  project_.add_file_record(d, "readme.txt", "%windir%\\", kNoItem);
  ASSERT_EQ(build(), BuildOutcome::done);
  Package p = package();
  EXPECT_EQ(p.find("readme.txt")->data, "first");
  EXPECT_EQ(p.find("En/readme.txt")->data, "third");
  EXPECT_EQ(p.find("%Quillpack%/fileinfo.txt")->data,
            "readme.txt|%install path%\\\r\nEn\\readme.txt|%install path%\\Docs\\\r\n////\r\n////\r\n");
  ASSERT_EQ(report_.warnings.size(), 2u);  // the exact duplicate, and the one that cannot move
  EXPECT_NE(report_.warnings[0].find(b), std::string::npos);
  EXPECT_NE(report_.warnings[1].find(d), std::string::npos);
}

// Of two records with the same name and target folder, the one whose
// source can be read is installed, wherever it stands.
TEST_F(BuildTest, ReadableDuplicateStandsInForAMissingOne) {
  std::string gone = box_.root() + "/src/old/readme.txt";
  std::string here = box_.write("src/new/readme.txt", "new");
  project_.add_file_record(gone, "readme.txt", kInstallRootPath, kNoItem);
  project_.add_file_record(here, "readme.txt", kInstallRootPath, kNoItem);
  ASSERT_EQ(build(), BuildOutcome::done);
  Package p = package();
  ASSERT_NE(p.find("readme.txt"), nullptr);
  EXPECT_EQ(p.find("readme.txt")->data, "new");
  EXPECT_EQ(p.find("%Quillpack%/fileinfo.txt")->data,
            "readme.txt|%install path%\\\r\n////\r\n////\r\n");
  ASSERT_EQ(report_.warnings.size(), 1u);
  EXPECT_NE(report_.warnings[0].find(gone), std::string::npos);
}

// Holds the build at "Getting file count..." until released.
class GateReport : public Recorder {
 public:
  void set_status(const std::string& text) override {
    Recorder::set_status(text);
    if (text != "Getting file count...") return;
    reached.set_value();
    std::unique_lock<std::mutex> lock(mutex);
    opened.wait(lock, [this] { return open; });
  }
  void release() {
    std::lock_guard<std::mutex> lock(mutex);
    open = true;
    opened.notify_all();
  }
  std::promise<void> reached;
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;
};

TEST_F(BuildTest, BuildThreadRunsOnACopyAndHonoursAbort) {
  project_.add_file(box_.write("src/a", "a"), "a", kInstallRootPath, project_.install_root());
  GateReport gate;
  std::promise<BuildOutcome> outcome;
  BuildThread thread;
  ASSERT_TRUE(thread.start(project_, box_.os(), options_, gate,
                           [&](BuildOutcome result) { outcome.set_value(result); }));
  gate.reached.get_future().wait();
  EXPECT_TRUE(thread.busy());
  EXPECT_FALSE(thread.start(project_, box_.os(), options_, report_));  // one build at a time
  project_.reset_project();  // the build works on its own copy
  thread.request_abort();
  gate.release();
  EXPECT_EQ(outcome.get_future().get(), BuildOutcome::aborted);
  thread.join();
  EXPECT_FALSE(thread.busy());
  EXPECT_FALSE(exists(output_));
  expect_no_work_files();

  // The next build starts with the abort flag cleared.
  std::promise<BuildOutcome> second;
  ASSERT_TRUE(thread.start(project_, box_.os(), options_, report_,
                           [&](BuildOutcome result) { second.set_value(result); }));
  EXPECT_EQ(second.get_future().get(), BuildOutcome::done);
}

TEST(MacrosFile, KeepsWithinWhatAnInstallerReads) {
  Project p;
  for (int i = 0; i < 1030; ++i) p.add_macro({"%m" + std::to_string(i) + "%", "v", "", ""});
  int left_out = 0;
  std::string text = macros_text(p, &left_out);
  EXPECT_EQ(left_out, 2);  // the table holds 1024; 1022 fit
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), (1022 + 2) * 4);
  EXPECT_NE(text.find("%m1021%\n"), std::string::npos);
  EXPECT_EQ(text.find("%m1022%\n"), std::string::npos);
}

// A value name beginning with "/" would read as the closing record and end
// the installer's table there, the program name macro with it.
TEST_F(BuildTest, MacroThatWouldEndTheTableIsLeftOut) {
  project_.settings().program_name = "Prog";
  project_.add_macro({"%a%", "A", "", ""});
  project_.add_macro({"%slash%", "HKEY_CURRENT_USER", "Software\\X", "/v"});
  project_.add_macro({"%b%", "B", "", ""});
  ASSERT_EQ(build(), BuildOutcome::done);
  EXPECT_EQ(package().find("%Quillpack%/macros.txt")->data,
            "%a%\r\nA\r\n\r\n\r\n%b%\r\nB\r\n\r\n\r\n%name%\r\nProg\r\n\r\n\r\n"
            "////\r\n////\r\n////\r\n////\r\n");
  ASSERT_EQ(report_.warnings.size(), 1u);
  EXPECT_NE(report_.warnings[0].find("%slash%"), std::string::npos);
}

TEST(InstallEntryPlan, AnEarlierFileMovesAsideWhenTheLaterOneCannot) {
  Project p;
  p.add_file_record("/s/1", "guide.txt", "%install path%\\Docs\\", kNoItem);
  p.add_file_record("/s/2", "guide.txt", kInstallRootPath, kNoItem);
  p.add_file_record("/s/3", "guide.txt", "C:\\Tools", kNoItem);  // custom folder without its "\"
  std::vector<int> left_out;
  std::vector<InstallEntry> plan = plan_install_entries(p, &left_out);
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_EQ(plan[0].entry_name, "Docs\\guide.txt");
  EXPECT_EQ(plan[0].destination, "%install path%\\");
  EXPECT_EQ(plan[1].entry_name, "guide.txt");
  EXPECT_EQ(plan[2].entry_name, "Tools\\guide.txt");
  EXPECT_EQ(plan[2].destination, "C:\\");
  EXPECT_TRUE(left_out.empty());
}

// Whatever operation fails, the build ends cleanly: an error leaves no
// output and no work file behind, success leaves a readable package.
TEST_F(BuildTest, EveryFailingWriteEndsCleanly) {
  for (int i = 0; i < 3; ++i) {
    project_.add_file(box_.write("src/" + std::to_string(i), std::string(3000, 'a' + i)), "f" + std::to_string(i),
                      kInstallRootPath, project_.install_root());
  }
  options_.limits.block_size = 1024;
  int failures = 0;
  for (std::uint64_t n = 1; n < 500; ++n) {
    os::FaultOs faulty(box_.os());
    faulty.arm(os::FaultOs::kAllWrites, n, os::Error::disk_full);
    report_ = Recorder();
    BuildOutcome outcome = build(&faulty);
    if (!faulty.triggered()) {
      EXPECT_EQ(outcome, BuildOutcome::done);
      break;
    }
    if (outcome == BuildOutcome::done) {
      Package p = package();
      EXPECT_EQ(p.stub, kStub);
    } else {
      ++failures;
      EXPECT_FALSE(exists(output_)) << "fault " << n;
      EXPECT_FALSE(exists(output_ + ".zip")) << "fault " << n;
    }
  }
  EXPECT_GT(failures, 5);
}

TEST_F(BuildTest, BackgroundFontTravelsUnlessStandardOrNotFound) {
  project_.settings().use_background_window = true;
  options_.font_folders = {box_.root() + "/fonts"};
  auto font_entry = [this]() -> std::string {
    EXPECT_EQ(build(), BuildOutcome::done);
    Package p = package();
    const Entry* font = p.find("%Quillpack%/font");
    return font ? font->data : "(none)";
  };
  box_.write("fonts/Arial.ttf", "arial");
  EXPECT_EQ(font_entry(), "(none)");  // a standard face stays home
  project_.fullscreen().font.face = "Quill Script";
  EXPECT_EQ(font_entry(), "(none)");  // not on this machine
  box_.write("fonts/QuillScript-Bold.ttf", "bold face");
  EXPECT_EQ(font_entry(), "bold face");
  project_.settings().use_background_window = false;
  EXPECT_EQ(font_entry(), "(none)");
}

}  // namespace
}  // namespace quill::project

namespace quill::project {
namespace {

// A file's time as a ZIP entry carries it, from a time in seconds.
unsigned long dos_time(std::time_t t, bool utc) {
  std::tm p{};
  if (utc) gmtime_r(&t, &p); else localtime_r(&t, &p);
  return (static_cast<unsigned long>(p.tm_year - 80) << 25) | ((p.tm_mon + 1) << 21) | (p.tm_mday << 16) |
         (p.tm_hour << 11) | (p.tm_min << 5) | (p.tm_sec / 2);
}

void set_modified(const std::string& path, std::time_t t) {
  struct utimbuf times = {t, t};
  ASSERT_EQ(utime(path.c_str(), &times), 0);
}

TEST_F(BuildTest, EntryTimesComeFromSourcesOrSourceDateEpochNeverTheClock) {
  const std::string source = box_.write("src/a.txt", "alpha");
  set_modified(source, 981173106);  // 2001-02-03
  project_.add_file(source, "a.txt", kInstallRootPath, project_.install_root());
  unsetenv("SOURCE_DATE_EPOCH");
  ASSERT_EQ(build(), BuildOutcome::done);
  const std::string first = Sandbox::read(output_);
  EXPECT_EQ(package().find("a.txt")->dos_time, dos_time(981173106, false));

  // Later, with no source changed: the same bytes.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  ASSERT_EQ(build(), BuildOutcome::done);
  EXPECT_EQ(Sandbox::read(output_), first) << "an entry took its time from the clock";

  set_modified(source, 1104537600);  // 2005-01-01
  ASSERT_EQ(build(), BuildOutcome::done);
  EXPECT_EQ(package().find("a.txt")->dos_time, dos_time(1104537600, false));

  // SOURCE_DATE_EPOCH stamps every entry, whatever the sources' times.
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  ASSERT_EQ(build(), BuildOutcome::done);
  const std::string fixed = Sandbox::read(output_);
  set_modified(source, 1230768000);  // 2009-01-01
  ASSERT_EQ(build(), BuildOutcome::done);
  unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_EQ(Sandbox::read(output_), fixed);
  for (const Entry& entry : package().entries) EXPECT_EQ(entry.dos_time, dos_time(1700000000, true)) << entry.name;
}

}  // namespace
}  // namespace quill::project

namespace quill::project {
namespace {

// An entry name outside ASCII is written as UTF-8 with the language
// encoding flag (bit 11); an ASCII name as before, without it. The reader
// takes a flagged name as UTF-8 and an unflagged one (an older archive) in
// the ANSI code page.
TEST(ZipNames, Utf8NamesCarryTheFlagAndAreReadByIt) {
  quill::testing::Sandbox box;
  const std::string japanese = "donn\xC3\xA9" "es/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";  // données/日本語.txt
  const std::string path = box.root() + "/names.zip";
  {
    PayloadWriter writer(box.os(), PayloadLimits{});
    ASSERT_TRUE(writer.open(path));
    writer.add_data("plain\\readme.txt", "a");
    writer.add_data("donn\xC3\xA9" "es\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "b");
    ASSERT_EQ(writer.close(), PayloadWriter::CloseResult::closed);
  }
  // An archive of an older builder: a Windows-1252 name, no flag.
  const std::string old_path = box.root() + "/old.zip";
  {
    zipFile zip = zipOpen64(old_path.c_str(), APPEND_STATUS_CREATE);
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip64(zip, "donn\xE9" "es/caf\xE9.txt", &info, nullptr, 0, nullptr, 0,
                                    nullptr, Z_DEFLATED, 6, 0),
              ZIP_OK);
    zipCloseFileInZip(zip);
    zipClose(zip, nullptr);
  }
  struct Case {
    std::string path;
    std::vector<std::pair<std::string, bool>> names;  // as read, flag expected
  };
  const Case cases[] = {
      {path, {{"plain/readme.txt", false}, {japanese, true}}},
      {old_path, {{"donn\xC3\xA9" "es/caf\xC3\xA9.txt", false}}},
  };
  for (const Case& c : cases) {
    unzFile raw = unzOpen64(c.path.c_str());
    ASSERT_NE(raw, nullptr);
    std::vector<bool> flags;
    for (int r = unzGoToFirstFile(raw); r == UNZ_OK; r = unzGoToNextFile(raw)) {
      unz_file_info64 info;
      unzGetCurrentFileInfo64(raw, &info, nullptr, 0, nullptr, 0, nullptr, 0);
      flags.push_back((info.flag & package::kUtf8NameFlag) != 0);
    }
    unzClose(raw);
    package::Archive archive;
    ASSERT_TRUE(archive.open(box.os(), c.path));
    ASSERT_EQ(archive.entry_count(), c.names.size());
    for (std::size_t i = 0; i < c.names.size(); ++i) {
      EXPECT_EQ(archive.entry(i).name, c.names[i].first);
      EXPECT_EQ(flags[i], c.names[i].second) << c.names[i].first;
    }
  }
}

}  // namespace
}  // namespace quill::project
