// What others put in the temporary folder never reaches an install: the run
// makes a payload folder of its own, reads its data files once into memory
// and reads its archive through the handle it opened at the start.
#include "installer/silent_install.h"

#include "installer/command_line.h"

#include "installer_fixture.h"

namespace quill::installer {
namespace {

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";

class NoProgress : public package::ExtractProgress {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool cancel_requested() override { return false; }
};

// Data files naming a planted program, a file for the system folder and a
// shortcut to the planted program.
const std::vector<std::pair<std::string, std::string>> kPlanted = {
    {"eoi_file.txt", "C:\\planted.bat"},
    {"fileinfo.txt", "evil.dll|C:\\Windows\r\ntool.exe|C:\\Windows\r\n////\r\n"},
    {"uninstall.txt", "C:\\Users\\Public\\evil.exe"},
    {"shortcuts.txt", "\r\nTool\r\nC:\\Users\\Public\\evil.exe\r\n0\r\n////\r\n////\r\n////\r\n////\r\n"},
};

class PlantedPayloadTest : public test::InstallerTest {
 protected:
  // Writes a package to `path`: stub bytes, the archive, its trailer.
  void write_package(const std::string& path, const std::vector<test::Entry>& entries) {
    test::write_zip(root_ + "/package.zip", entries);
    const std::string zip = test::read_host_file(root_ + "/package.zip");
    test::write_host_file(host(path), "stub" + zip + package::test::trailer(zip.size()));
  }
  void plant(const std::string& folder) {
    for (const auto& [name, text] : kPlanted) test::write_host_file(host(folder + name), text);
  }
};

TEST_F(PlantedPayloadTest, FilesPlantedBeforeOrSwappedAfterTheExtractionAreNeverUsed) {
  const std::vector<test::Entry> evil = {{"tool.exe", "EVIL"}, {"evil.dll", "EVIL"}};
  for (package::ArchiveHandling handling :
       {package::ArchiveHandling::copy, package::ArchiveHandling::in_place}) {
    SCOPED_TRACE(handling == package::ArchiveHandling::copy ? "copy" : "in place");
    write_package("C:\\setup.exe",
                  {{"tool.exe", "T"},
                   {"%Quillpack%/macros.txt", "%name%\r\nTool\r\n\r\n\r\n////\r\n////\r\n////\r\n////\r\n"},
                   {"%Quillpack%/def_install.txt", "C:\\Program Files\\Tool"},
                   {"%Quillpack%/fileinfo.txt", "tool.exe|%install path%\r\n////\r\n"},
                   {"%Quillpack%/uninstall.txt", "%install path%\\Uninstall.exe"},
                   {"%Quillpack%/shortcuts.txt",
                    "\r\nTool\r\n%install path%\\tool.exe\r\n0\r\n////\r\n////\r\n////\r\n////\r\n"}});
    os().set_module_path("C:\\setup.exe");
    // The folder name every earlier version used, made in advance.
    plant(os().temp_folder() + "%Quillpack%\\");

    NoProgress progress;
    package::PayloadScan scan;
    ASSERT_EQ(package::extract_payload(os(), progress, &scan, handling), package::ExtractOutcome::done);
    package::InstallerData data;
    package::load_installer_data(os(), scan, &data);

    // While the wizard waits: the data files appear in the run's folder, and
    // the archive the run read is replaced by another of the same name.
    plant(scan.payload_folder);
    if (handling == package::ArchiveHandling::copy) {
      ASSERT_EQ(os().delete_file(scan.payload_folder + package::kPayloadArchiveName), os::Error::none);
      test::write_zip(host(scan.payload_folder + package::kPayloadArchiveName), evil);
    } else {
      ASSERT_EQ(os().delete_file("C:\\setup.exe"), os::Error::none);
      write_package("C:\\setup.exe", evil);
    }

    ASSERT_EQ(run_silent_install(os(), data, "", nullptr), kExitInstalled);
    EXPECT_EQ(file("C:\\Program Files\\Tool\\tool.exe"), "T");
    EXPECT_FALSE(exists("C:\\Windows\\evil.dll"));
    EXPECT_FALSE(exists("C:\\Windows\\tool.exe"));
    std::string icon;
    ASSERT_EQ(os().registry_read_string(os::RegistryRoot::local_machine, kKey, "DisplayIcon", &icon),
              os::Error::none);
    EXPECT_EQ(icon, "C:\\Program Files\\Tool\\Uninstall.exe");
    os::Shortcut link;
    ASSERT_TRUE(os().read_shortcut(os().special_folder(os::SpecialFolder::desktop) + "\\Tool.lnk", &link));
    EXPECT_EQ(link.target, "C:\\Program Files\\Tool\\tool.exe");
    package::EndOfInstall events;
    package::read_end_of_install(os(), data.macros, data.files, "C:\\Program Files\\Tool", &events);
    EXPECT_EQ(events.eoi_command, "");

    const std::string folder = scan.payload_folder;
    EXPECT_TRUE(package::delete_payload_folder(os(), &scan));
    EXPECT_FALSE(exists(folder));
    EXPECT_EQ(file(os().temp_folder() + "%Quillpack%\\eoi_file.txt"), "C:\\planted.bat");
    std::filesystem::remove_all(host("C:\\Program Files\\Tool"));
  }
}

}  // namespace
}  // namespace quill::installer
