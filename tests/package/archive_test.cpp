// The payload archive reader: headers, extraction, damage detection, name index.
#include "package/archive.h"

#include <chrono>

#include "package_fixture.h"

namespace quill::package {
namespace {

using test::ZipEntry;

class ArchiveTest : public test::SandboxTest {
 protected:
  // Writes the archive to C:\a.zip and opens it.
  void open_archive(const std::vector<ZipEntry>& entries) {
    test::write_zip(host("C:\\a.zip"), entries);
    ASSERT_TRUE(archive_.open(os(), "C:\\a.zip"));
  }
  Archive archive_;
};

TEST_F(ArchiveTest, ReadsHeadersInArchiveOrder) {
  open_archive({{"docs/readme.txt", "hello", false, 0x01, 0x5A8C6000},
                {"%Quillpack%/wt.txt", "Welcome"},
                {"big.bin", std::string(5000, 'x'), true}});
  ASSERT_EQ(archive_.entry_count(), 3u);
  EXPECT_EQ(archive_.entry(0).name, "docs/readme.txt");
  EXPECT_EQ(archive_.entry(0).uncompressed_size, 5u);
  EXPECT_TRUE(archive_.entry(0).read_only);
  EXPECT_EQ(archive_.entry(0).dos_date_time, 0x5A8C6000u);
  EXPECT_EQ(archive_.entry(1).name, "%Quillpack%/wt.txt");
  EXPECT_FALSE(archive_.entry(1).read_only);
  EXPECT_EQ(archive_.entry(2).compressed_size, 5000u);  // stored
  EXPECT_FALSE(archive_.damaged());
}

TEST_F(ArchiveTest, LongNamesAreCutAt259Characters) {
  std::string name(300, 'n');
  open_archive({{name, "x"}});
  EXPECT_EQ(archive_.entry(0).name, name.substr(0, 259));
}

TEST_F(ArchiveTest, OpenFailsForMissingOrNonZipFiles) {
  EXPECT_FALSE(archive_.open(os(), "C:\\missing.zip"));
  test::write_host_file(host("C:\\junk.zip"), std::string(4096, 'J'));
  EXPECT_FALSE(archive_.open(os(), "C:\\junk.zip"));
  test::write_host_file(host("C:\\empty.zip"), "");
  EXPECT_FALSE(archive_.open(os(), "C:\\empty.zip"));
}

TEST_F(ArchiveTest, ExtractCreatesFoldersAndRestoresTimeAndReadOnly) {
  open_archive({{"a/b/c.txt", "content", false, 0x01, 0x5A8C6000}});
  ASSERT_EQ(archive_.extract_entry(0, "C:\\Dest\\deep\\er\\c.txt"), ExtractResult::ok);
  EXPECT_EQ(test::read_host_file(host("C:\\Dest\\deep\\er\\c.txt")), "content");
  os::FileStatus status = os().file_status("C:\\Dest\\deep\\er\\c.txt");
  EXPECT_TRUE(status.read_only);
  std::filesystem::file_time_type written =
      std::filesystem::last_write_time(host("C:\\Dest\\deep\\er\\c.txt"));
  auto age = std::chrono::duration_cast<std::chrono::hours>(
      std::filesystem::file_time_type::clock::now() - written);
  EXPECT_GT(age.count(), 24);  // the 2025 entry time, not the moment of extraction

  // Replacing the read-only file is allowed: the caller chose to replace it.
  ASSERT_EQ(archive_.extract_entry(0, "C:\\Dest\\deep\\er\\c.txt"), ExtractResult::ok);
  EXPECT_EQ(test::read_host_file(host("C:\\Dest\\deep\\er\\c.txt")), "content");
}

TEST_F(ArchiveTest, ExtractReportsWriteFailureDistinctly) {
  open_archive({{"f.txt", "data"}});
  // A file stands where a folder of the destination must go.
  test::write_host_file(host("C:\\Blocked"), "file");
  EXPECT_EQ(archive_.extract_entry(0, "C:\\Blocked\\f.txt"), ExtractResult::write_failed);
  EXPECT_EQ(test::read_host_file(host("C:\\Blocked")), "file");
}

TEST_F(ArchiveTest, FolderEntriesCreateTheirFolder) {
  open_archive({{"sub/", ""}});
  EXPECT_EQ(archive_.extract_entry(0, "C:\\Out\\sub\\"), ExtractResult::ok);
  EXPECT_TRUE(os().file_status("C:\\Out\\sub").is_folder);
}

TEST_F(ArchiveTest, DamagedDataIsReportedAndLeavesNoFile) {
  std::string payload(4000, 'A');
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>('A' + i % 26);
  test::write_zip(host("C:\\a.zip"), {{"stored.bin", payload, true}, {"deflated.txt", payload}});
  std::string bytes = test::read_host_file(host("C:\\a.zip"));
  std::size_t at = bytes.find(payload.substr(0, 64));
  ASSERT_NE(at, std::string::npos);
  bytes[at + 100] ^= 0x55;  // one flipped byte in the stored data: CRC mismatch
  test::write_host_file(host("C:\\a.zip"), bytes);

  ASSERT_TRUE(archive_.open(os(), "C:\\a.zip"));
  EXPECT_EQ(archive_.extract_entry(0, "C:\\Out\\stored.bin"), ExtractResult::damaged);
  EXPECT_FALSE(os().file_status("C:\\Out\\stored.bin").exists);
  EXPECT_EQ(archive_.extract_entry(1, "C:\\Out\\deflated.txt"), ExtractResult::ok);
}

TEST_F(ArchiveTest, TruncatedDataIsDamaged) {
  // The local header claims more data than the archive holds once the
  // compressed size is cut in the central directory.
  std::string payload(3000, 'z');
  test::write_zip(host("C:\\a.zip"), {{"z.bin", payload, true}});
  std::string bytes = test::read_host_file(host("C:\\a.zip"));
  std::size_t central = bytes.find("PK\x01\x02");
  ASSERT_NE(central, std::string::npos);
  // Compressed size field of the central header (offset 20): 1000 instead of 3000.
  bytes[central + 20] = static_cast<char>(1000 & 0xFF);
  bytes[central + 21] = static_cast<char>(1000 >> 8);
  test::write_host_file(host("C:\\a.zip"), bytes);
  ASSERT_TRUE(archive_.open(os(), "C:\\a.zip"));
  EXPECT_EQ(archive_.extract_entry(0, "C:\\Out\\z.bin"), ExtractResult::damaged);
  EXPECT_FALSE(os().file_status("C:\\Out\\z.bin").exists);
}

TEST_F(ArchiveTest, FindInstallEntryMatchesBackslashFormAndFirstWins) {
  open_archive({{"%Quillpack%/app/x.txt", "data entry"},
                {"app/x.txt", "first"},
                {"App/X.txt", "other case"},
                {"app/x.txt", "second"},
                {"%quillpack%/wt.txt", "install entry in other case"}});
  EXPECT_EQ(archive_.find_install_entry("app\\x.txt"), 1u);
  EXPECT_EQ(archive_.find_install_entry("App\\X.txt"), 2u);
  EXPECT_EQ(archive_.find_install_entry("app/x.txt"), Archive::npos);
  EXPECT_EQ(archive_.find_install_entry("%Quillpack%\\app\\x.txt"), Archive::npos);
  EXPECT_EQ(archive_.find_install_entry("%quillpack%\\wt.txt"), 4u);
  EXPECT_EQ(archive_.find_install_entry(""), Archive::npos);
}

TEST_F(ArchiveTest, IndexesThirtyTwoThousandEntries) {
  std::vector<ZipEntry> entries;
  for (int i = 0; i < 32768; ++i) {
    entries.push_back({"f/" + std::to_string(i % 32000) + ".dat", std::to_string(i), true});
  }
  open_archive(entries);
  ASSERT_EQ(archive_.entry_count(), 32768u);
  EXPECT_EQ(archive_.find_install_entry("f\\31999.dat"), 31999u);
  EXPECT_EQ(archive_.find_install_entry("f\\5.dat"), 5u);  // not the duplicate at 32005
  ASSERT_EQ(archive_.extract_entry(32767, "C:\\Out\\last.dat"), ExtractResult::ok);
  EXPECT_EQ(test::read_host_file(host("C:\\Out\\last.dat")), "32767");
}

TEST(FolderChain, CreatesEveryMissingFolderBelowTheRoot) {
  char pattern[] = "/tmp/quill-chain-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  {
    os::PosixOs os(pattern);
    EXPECT_TRUE(create_folder_chain(os, "C:\\one\\two\\three"));
    EXPECT_TRUE(os.file_status("C:\\one\\two\\three").is_folder);
    EXPECT_TRUE(create_folder_chain(os, "C:\\one\\two\\three\\"));
    EXPECT_TRUE(create_folder_chain(os, "C:\\"));
    test::write_host_file(os.host_path("C:\\one\\file"), "x");
    EXPECT_FALSE(create_folder_chain(os, "C:\\one\\file\\below"));
  }
  std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace quill::package
