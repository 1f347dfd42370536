// Macro expansion: scan order, built-ins, text and registry macros, files.
#include "package/macros.h"

#include "package_fixture.h"

namespace quill::package {
namespace {

class MacroTest : public test::SandboxTest {
 protected:
  std::string expand(const std::string& text, const std::string& install_folder = "") {
    return expand_macros(os(), table_, text, install_folder);
  }
  std::vector<MacroRecord> table_;
};

TEST_F(MacroTest, BuiltInsExpandToSpecialFoldersAndInstallPath) {
  EXPECT_EQ(expand("%program files%\\App"), os().special_folder(os::SpecialFolder::program_files) + "\\App");
  EXPECT_EQ(expand("%windows%|%system%"), os().special_folder(os::SpecialFolder::windows) + "|" +
                                             os().special_folder(os::SpecialFolder::system));
  EXPECT_EQ(expand("%install path%\\tool.exe", "C:\\Apps\\Tool\\"), "C:\\Apps\\Tool\\tool.exe");
  EXPECT_EQ(expand("%install path%\\tool.exe", "C:\\Apps\\Tool"), "C:\\Apps\\Tool\\tool.exe");
  EXPECT_EQ(expand("%install path%\\readme.txt"), "\\readme.txt");
  EXPECT_EQ(expand("%install path%%windows%", "D:\\X"),
            "D:\\X" + os().special_folder(os::SpecialFolder::windows));
}

TEST_F(MacroTest, TextThatIsNoMacroStaysUnchanged) {
  EXPECT_EQ(expand("Setup is 100% complete"), "Setup is 100% complete");
  EXPECT_EQ(expand("%Windows%"), "%Windows%");
  EXPECT_EQ(expand("%"), "%");
  EXPECT_EQ(expand("%%%"), "%%%");
  EXPECT_EQ(expand("%install path"), "%install path");
  EXPECT_EQ(expand(""), "");
}

TEST_F(MacroTest, ClosingPercentStartsTheNextCandidate) {
  EXPECT_EQ(expand("%foo%windows%"), "%foo" + os().special_folder(os::SpecialFolder::windows));
}

TEST_F(MacroTest, TableOrderAndAdjacentMacros) {
  table_ = {{"%b%", "B", "", ""}, {"%a%", "A", "", ""}};
  EXPECT_EQ(expand("%a%%b%"), "AB");
  EXPECT_EQ(expand("%b%%a%"), "BA");
  EXPECT_EQ(expand("x%a%y%b%z%a%"), "xAyBzA");
  // After a built-in, the table is walked at the position behind it.
  EXPECT_EQ(expand("%install path%%a%", "P"), "PA");
}

TEST_F(MacroTest, InsertedTextIsNeverScannedAgain) {
  table_ = {{"%sys%", "%system%", "", ""}, {"%self%", "%self%", "", ""}, {"%a%", "%b%", "", ""},
            {"%b%", "B", "", ""}};
  EXPECT_EQ(expand("%sys%"), "%system%");
  EXPECT_EQ(expand("%self%%self%"), "%self%%self%");
  EXPECT_EQ(expand("%a%"), "%b%");
  EXPECT_EQ(expand("%install path%", "%a%"), "%a%");
}

TEST_F(MacroTest, NamesNotStartingWithPercentNeverMatch) {
  table_ = {{"%a%", "A", "", ""}, {"b", "B", "", ""}, {"", "empty", "", ""}};
  EXPECT_EQ(expand("%a%b and b"), "Ab and b");
}

TEST_F(MacroTest, UserMacroNamedLikeBuiltInNeverTakesEffect) {
  table_ = {{"%windows%", "mine", "", ""}};
  EXPECT_EQ(expand("%windows%"), os().special_folder(os::SpecialFolder::windows));
}

TEST_F(MacroTest, ProgramNameMacroIsTriedAfterUserMacros) {
  table_ = {{"%name%x%", "user", "", ""}, {"%name%", "Tool", "", ""}};
  EXPECT_EQ(expand("%name%x% %name%"), "user Tool");
}

TEST_F(MacroTest, InstallPathLosesOneTrailingBackslashPerUse) {
  EXPECT_EQ(expand("%install path%|%install path%", "C:\\A\\\\"), "C:\\A\\|C:\\A");
  EXPECT_EQ(expand("%install path%", "\\"), "");
}

TEST_F(MacroTest, RegistryMacrosReadThroughTheRegistry) {
  ASSERT_EQ(os().registry_write_string(os::RegistryRoot::local_machine, "SOFTWARE\\Vendor\\Tool",
                                       "Version", "2.1"),
            os::Error::none);
  ASSERT_EQ(os().registry_write_string(os::RegistryRoot::current_user, "Software\\X", "",
                                       "default value"),
            os::Error::none);
  ASSERT_EQ(os().registry_write_dword(os::RegistryRoot::local_machine, "SOFTWARE\\Vendor\\Tool",
                                      "Count", 7),
            os::Error::none);
  ASSERT_EQ(os().registry_write_string(os::RegistryRoot::local_machine, "SOFTWARE\\Vendor\\Tool",
                                       "Long", std::string(400, 'L')),
            os::Error::none);
  table_ = {{"%Ver%", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Vendor\\Tool", "Version"},
            {"%Def%", "HKEY_CURRENT_USER", "Software\\X", ""},
            {"%Bad%", "HKLM", "SOFTWARE\\Vendor\\Tool", "Version"},
            {"%Gone%", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Nothing", "Version"},
            {"%Num%", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Vendor\\Tool", "Count"},
            {"%Long%", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Vendor\\Tool", "Long"},
            {"%Lower%", "hkey_local_machine", "SOFTWARE\\Vendor\\Tool", "Version"}};
  EXPECT_EQ(expand("Version %Ver%"), "Version 2.1");
  EXPECT_EQ(expand("[%Def%]"), "[default value]");
  EXPECT_EQ(expand("[%Bad%][%Gone%][%Num%][%Lower%]"), "[][][][]");
  EXPECT_EQ(expand("%Long%"), std::string(259, 'L'));
}

// A value under HKEY_CURRENT_USER is the user's to write: a line break in it
// would add a line (a file to install, a shortcut) to the data file the
// macro lands in.
TEST_F(MacroTest, RegistryValuesWithControlCharactersExpandToNothing) {
  const char* values[] = {"x\r\nevil.dll|C:\\Windows", "x\nmore", "x\rmore", "tab\there", "\x1b[0m"};
  table_.clear();
  for (int i = 0; i < 5; ++i) {
    const std::string name = "V" + std::to_string(i);
    ASSERT_EQ(os().registry_write_string(os::RegistryRoot::current_user, "Software\\X", name,
                                         values[i]),
              os::Error::none);
    table_.push_back({"%" + name + "%", "HKEY_CURRENT_USER", "Software\\X", name});
  }
  EXPECT_EQ(expand("[%V0%][%V1%][%V2%][%V3%][%V4%]"), "[][][][][]");
  EXPECT_EQ(expand_data_file(os(), table_, "tool.exe|C:\\D%V0%\r\n////\r\n", ""),
            "tool.exe|C:\\D\r\n////\r\n");
}

TEST_F(MacroTest, RegistryRootNames) {
  os::RegistryRoot root;
  ASSERT_TRUE(registry_root_from_name("HKEY_CURRENT_CONFIG", &root));
  EXPECT_EQ(root, os::RegistryRoot::current_config);
  ASSERT_TRUE(registry_root_from_name("HKEY_CLASSES_ROOT", &root));
  EXPECT_EQ(root, os::RegistryRoot::classes_root);
  EXPECT_FALSE(registry_root_from_name("HKEY_DYN_DATA", &root));
  EXPECT_FALSE(registry_root_from_name("", &root));
}

TEST_F(MacroTest, FileIsExpandedInPlaceWithCrLfLineEnds) {
  table_ = {{"%a%", "A", "", ""}};
  test::write_host_file(host("C:\\f.txt"), "line %a%\r\nsecond\nthird %install path%");
  expand_macros_in_file(os(), table_, "C:\\f.txt", "C:\\Dest\\");
  EXPECT_EQ(test::read_host_file(host("C:\\f.txt")), "line A\r\nsecond\r\nthird C:\\Dest");
  // The same for a file held in memory.
  EXPECT_EQ(expand_data_file(os(), table_, "line %a%\r\nsecond\nthird %install path%", "C:\\Dest\\"),
            "line A\r\nsecond\r\nthird C:\\Dest");

  test::write_host_file(host("C:\\plain.txt"), "no macros\r\nhere\r\n");
  expand_macros_in_file(os(), table_, "C:\\plain.txt", "");
  EXPECT_EQ(test::read_host_file(host("C:\\plain.txt")), "no macros\r\nhere\r\n");
}

TEST_F(MacroTest, MissingFileIsLeftAlone) {
  expand_macros_in_file(os(), table_, "C:\\missing.txt", "");
  EXPECT_FALSE(os().file_status("C:\\missing.txt").exists);
}

TEST_F(MacroTest, FilesOverTheClassicBufferAreExpandedFully) {
  table_ = {{"%a%", "AAAA", "", ""}};
  std::string line = "%install path%\\x|%a%\r\n";  // 22 bytes
  std::string text;
  while (text.size() <= kMacroTextCapacity + 1000) text += line;
  test::write_host_file(host("C:\\big.txt"), text);
  expand_macros_in_file(os(), table_, "C:\\big.txt", "C:\\D\\");
  std::string result = test::read_host_file(host("C:\\big.txt"));
  std::size_t lines = text.size() / line.size();
  std::string expected;
  for (std::size_t i = 0; i < lines; ++i) expected += "C:\\D\\x|AAAA\r\n";
  EXPECT_EQ(result.size(), expected.size());
  EXPECT_TRUE(result == expected);
}

}  // namespace
}  // namespace quill::package
