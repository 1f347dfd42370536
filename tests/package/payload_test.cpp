// Start-up extraction: the payload folder of the run, the chunked copy, data
// entries, the picture scan and packages that are short, inconsistent or
// damaged.
#include "package/payload.h"

#include <algorithm>

#include "package/data_files.h"
#include "package_fixture.h"
#include "tests/support/fault_os.h"

namespace quill::package {
namespace {

using test::ZipEntry;

// Records what the extraction window would show; cancels at a chosen poll.
class RecordingProgress : public ExtractProgress {
 public:
  void set_progress_range(std::uint64_t megabytes) override { ranges.push_back(megabytes); }
  void set_progress(std::uint64_t megabytes) override { positions.push_back(megabytes); }
  bool cancel_requested() override { return ++polls == cancel_at_poll; }

  std::vector<unsigned> ranges;
  std::vector<unsigned> positions;
  int polls = 0;
  int cancel_at_poll = -1;
};

class PayloadTest : public test::SandboxTest {
 protected:
  std::string payload() { return scan_.payload_folder; }
  std::string payload_host(const std::string& name) { return host(payload() + name); }
  // A data file the extraction read into memory; "(none)" when it did not.
  std::string data(const std::string& name) {
    const std::string* bytes = scan_.data_files.find(name);
    return bytes ? *bytes : "(none)";
  }

  ExtractOutcome extract() { return extract_payload(os(), progress_, &scan_); }

  // Nothing may exist outside the payload folder except the package itself,
  // the archive written by the test and the sandbox's own bookkeeping.
  void expect_nothing_outside_payload() {
    std::string inside = payload().empty() ? std::string() : host(payload());
    for (const std::string& file : sandbox_files()) {
      if (!inside.empty() && file.rfind(inside, 0) == 0) continue;
      if (file == host("C:\\setup.exe") || file == root_ + "/payload.zip") continue;
      if (file.find("/registry") != std::string::npos) continue;
      ADD_FAILURE() << "written outside the payload folder: " << file;
    }
  }

  RecordingProgress progress_;
  PayloadScan scan_;
};

// What a user's own programs could have put at the old fixed name, or at a
// name they guessed, before an administrator runs the package.
void plant(os::PosixOs& os, const std::string& folder) {
  os.create_folder(folder);
  test::write_host_file(os.host_path(folder + "\\eoi_file.txt"), "C:\\planted.bat");
  test::write_host_file(os.host_path(folder + "\\fileinfo.txt"), "evil.dll|C:\\Windows\r\n////\r\n");
}

// Hands out the names it holds in turn, then none (no random source).
class NamedOs : public os::FaultOs {
 public:
  NamedOs(os::Os& inner, std::vector<std::string> names) : FaultOs(inner), names_(std::move(names)) {}
  std::string unpredictable_name() override { return next_ < names_.size() ? names_[next_++] : ""; }

 private:
  std::vector<std::string> names_;
  std::size_t next_ = 0;
};

TEST_F(PayloadTest, EachRunMakesANewFolderAndNeverUsesOneThatExists) {
  make_package({{"%Quillpack%/wt.txt", "Welcome"}});
  const std::string temp = os().temp_folder();
  plant(os(), temp + "%Quillpack%");
  // The first two names are taken: a planted folder and a file.
  NamedOs names(os(), {"0000000000000000", "0101010101010101", "0202020202020202"});
  plant(os(), temp + "Quillpack-0000000000000000");
  test::write_host_file(host(temp + "Quillpack-0101010101010101"), "a file");
  ASSERT_EQ(extract_payload(names, progress_, &scan_, ArchiveHandling::copy), ExtractOutcome::done);
  EXPECT_EQ(payload(), temp + "Quillpack-0202020202020202\\");
  EXPECT_EQ(data("wt.txt"), "Welcome");
  EXPECT_EQ(data("eoi_file.txt"), "(none)");
  EXPECT_EQ(data("fileinfo.txt"), "(none)");
  EXPECT_EQ(test::read_host_file(host(temp + "%Quillpack%\\eoi_file.txt")), "C:\\planted.bat");
  EXPECT_FALSE(os().file_status(temp + "Quillpack-0000000000000000\\tempfile.tmp").exists);

  // No name free: nothing is made, and without a random source nothing is.
  NamedOs taken(os(), std::vector<std::string>(kPayloadFolderTries, "0000000000000000"));
  EXPECT_EQ(extract_payload(taken, progress_, &scan_, ArchiveHandling::copy), ExtractOutcome::write_failed);
  EXPECT_EQ(payload(), "");
  NamedOs broken(os(), {});
  EXPECT_EQ(extract_payload(broken, progress_, &scan_, ArchiveHandling::copy), ExtractOutcome::write_failed);

  // The system's names differ from run to run.
  ASSERT_EQ(extract(), ExtractOutcome::done);
  const std::string first = payload();
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_NE(payload(), first);
  EXPECT_EQ(payload().compare(0, temp.size() + 10, temp + "Quillpack-"), 0) << payload();
  EXPECT_EQ(payload().size(), temp.size() + 10 + 16 + 1);
}

// A central directory by hand: empty stored entries whose sizes it claims
// to be `claimed` each (in a zip64 field), as a crafted package can.
std::string archive_claiming(const std::vector<std::string>& names, std::uint64_t claimed) {
  auto put = [](std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  std::string local, central;
  for (const std::string& name : names) {
    const std::size_t offset = local.size();
    put(local, 0x04034b50, 4);
    put(local, 45, 2), put(local, 0, 2), put(local, 0, 2), put(local, 0, 4);  // version .. time
    put(local, 0, 4), put(local, 0, 4), put(local, 0, 4);                     // crc, sizes
    put(local, name.size(), 2), put(local, 0, 2);
    local += name;
    put(central, 0x02014b50, 4);
    put(central, 45, 2), put(central, 45, 2), put(central, 0, 2), put(central, 0, 2);
    put(central, 0, 4), put(central, 0, 4), put(central, 0, 4), put(central, 0xFFFFFFFF, 4);
    put(central, name.size(), 2), put(central, 12, 2), put(central, 0, 2);
    put(central, 0, 2), put(central, 0, 2), put(central, 0, 4), put(central, offset, 4);
    central += name;
    put(central, 1, 2), put(central, 8, 2), put(central, claimed, 8);  // zip64: the size
  }
  std::string end;
  put(end, 0x06054b50, 4);
  put(end, 0, 2), put(end, 0, 2), put(end, names.size(), 2), put(end, names.size(), 2);
  put(end, central.size(), 4), put(end, local.size(), 4), put(end, 0, 2);
  return local + central + end;
}

TEST_F(PayloadTest, ASumOfSizesThatWouldWrapIsDamaged) {
  const std::uint64_t half = 1ull << 63;
  std::string archive = archive_claiming({"a.bin"}, half);
  install_package("stub" + archive + test::trailer(archive.size()));
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(scan_.install_bytes, half);
  EXPECT_EQ(scan_.megabytes_needed, half >> 20);
  // Two of them would sum to 0 and pass any free-space check.
  archive = archive_claiming({"a.bin", "b.bin"}, half);
  install_package("stub" + archive + test::trailer(archive.size()));
  EXPECT_EQ(extract(), ExtractOutcome::damaged);
}

// Builds an archive of exactly `size` bytes: one stored entry whose length
// is corrected by the measured overhead.
std::vector<ZipEntry> entries_for_archive_size(const std::string& scratch, std::uint64_t size) {
  std::vector<ZipEntry> entries = {{"fill.bin", std::string(1000, 'f'), true}};
  test::write_zip(scratch, entries);
  std::uint64_t overhead = test::read_host_file(scratch).size() - 1000;
  entries[0].data.assign(size - overhead, 'f');
  return entries;
}

TEST_F(PayloadTest, ArchiveOfExactlyOneChunkIsCopiedInOneChunk) {
  std::string archive = make_package(entries_for_archive_size(root_ + "/scratch.zip", 10485760));
  ASSERT_EQ(archive.size(), 10485760u);
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(progress_.ranges, std::vector<unsigned>{10});
  EXPECT_EQ(progress_.positions, std::vector<unsigned>{10});
  EXPECT_TRUE(test::read_host_file(payload_host("tempfile.tmp")) == archive);
  EXPECT_EQ(scan_.install_entry_count, 1u);
}

TEST_F(PayloadTest, OneByteMoreTakesASecondChunkOfOneByte) {
  std::string archive = make_package(entries_for_archive_size(root_ + "/scratch.zip", 10485761));
  ASSERT_EQ(archive.size(), 10485761u);
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(progress_.positions, (std::vector<unsigned>{10, 10}));
  std::string copied = test::read_host_file(payload_host("tempfile.tmp"));
  EXPECT_EQ(copied.size(), archive.size());
  EXPECT_TRUE(copied == archive);
}

TEST_F(PayloadTest, InPlaceReadsTheArchiveWhereItLiesInThePackage) {
  // Stored and larger than the reader's buffer, so that reads cross it.
  std::string big(300 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
  std::string archive = make_package({{"%Quillpack%/wt.txt", "Welcome"}, {"bin/big.bin", big, true}});
  ASSERT_EQ(extract_payload(os(), progress_, &scan_, ArchiveHandling::in_place),
            ExtractOutcome::done);
  EXPECT_FALSE(os().file_status(payload() + "tempfile.tmp").exists);
  EXPECT_EQ(data("wt.txt"), "Welcome");
  EXPECT_EQ(scan_.install_entry_count, 1u);
  EXPECT_EQ(scan_.archive.file, scan_.archive_file.get());
  EXPECT_EQ(scan_.archive.offset, std::string("MZ stub bytes").size());
  EXPECT_EQ(scan_.archive.length, archive.size());
  expect_nothing_outside_payload();

  Archive reader;
  ASSERT_TRUE(reader.open(os(), scan_.archive));
  ASSERT_EQ(reader.extract_entry(reader.find_install_entry("bin\\big.bin"), payload() + "big.bin"),
            ExtractResult::ok);
  EXPECT_TRUE(test::read_host_file(payload_host("big.bin")) == big);

  // The copying extraction points at its copy, opened once. A file put in
  // the copy's place later is never read.
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(scan_.archive.file, scan_.archive_file.get());
  EXPECT_EQ(scan_.archive.offset, 0u);
  EXPECT_EQ(scan_.archive.length, archive.size());
  ASSERT_EQ(os().delete_file(payload() + "tempfile.tmp"), os::Error::none);
  test::write_zip(payload_host("tempfile.tmp"), {{"bin/big.bin", "planted"}});
  ASSERT_TRUE(reader.open(os(), scan_.archive));
  ASSERT_EQ(reader.extract_entry(reader.find_install_entry("bin\\big.bin"), payload() + "big.bin"),
            ExtractResult::ok);
  EXPECT_TRUE(test::read_host_file(payload_host("big.bin")) == big);
}

TEST_F(PayloadTest, SmallPayloadHasRangeZero) {
  make_package({{"%Quillpack%/wt.txt", "hi"}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(progress_.ranges, std::vector<unsigned>{0});
  EXPECT_EQ(progress_.positions, std::vector<unsigned>{0});
}

TEST_F(PayloadTest, DataEntriesAreExtractedAndInstallEntriesCounted) {
  make_package({{"%Quillpack%/wt.txt", "Welcome"},
                {"bin/app.exe", std::string(3 * 1024 * 1024, 'a')},
                {"bin/lib.dll", std::string(1024 * 1024 - 1, 'b')},
                {"%quillpack%/wt.txt", "other case: an install entry"},
                {"%Quillpack%/font", "font bytes"}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  // The data files stay in memory; the other data entries are extracted.
  EXPECT_EQ(data("wt.txt"), "Welcome");
  EXPECT_FALSE(os().file_status(payload() + "wt.txt").exists);
  EXPECT_EQ(scan_.font_path, payload() + "font");
  EXPECT_EQ(test::read_host_file(payload_host("font")), "font bytes");
  EXPECT_EQ(scan_.install_entry_count, 3u);
  EXPECT_EQ(scan_.install_bytes, 4u * 1024 * 1024 - 1 + 28);
  EXPECT_EQ(scan_.megabytes_needed, 4u);  // truncated
  EXPECT_FALSE(os().file_status(payload() + "bin\\app.exe").exists);
  EXPECT_TRUE(scan_.skipped_entries.empty());
}

TEST_F(PayloadTest, StepPictureDigitsMapOneToNineElseTen) {
  make_package({{"%Quillpack%/img/3/logo.jpg", "three"},
                {"%Quillpack%/img/0/pic.jpg", "zero"},
                {"%Quillpack%/img/9/a.jpg", "nine"},
                {"%Quillpack%/img/9/b.jpg", "nine again"},
                {"%Quillpack%/img/setup.jpg", "default"}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(scan_.step_pictures[3], payload() + "img\\3\\logo.jpg");
  EXPECT_EQ(scan_.step_pictures[9], payload() + "img\\9\\b.jpg");  // the last one wins
  // Both "0" and the "s" of setup.jpg map to 10; setup.jpg comes last.
  EXPECT_EQ(scan_.step_pictures[10], payload() + "img\\setup.jpg");
  EXPECT_EQ(scan_.step_pictures[0], payload() + "img\\setup.jpg");
  EXPECT_TRUE(scan_.step_pictures[1].empty());
  EXPECT_EQ(test::read_host_file(host(scan_.step_pictures[3])), "three");
}

TEST_F(PayloadTest, ZeroDigitAloneIsStepTen) {
  make_package({{"%Quillpack%/img/0/pic.jpg", "zero"}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(scan_.step_pictures[10], payload() + "img\\0\\pic.jpg");
  // Step picture 0 is always the default picture's path, present or not.
  EXPECT_EQ(scan_.step_pictures[0], payload() + "img\\setup.jpg");
}

TEST_F(PayloadTest, FolderEntriesAreNoPictures) {
  make_package({{"%Quillpack%/img/3/", ""}, {"%Quillpack%/bgimg/6/", ""}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_TRUE(os().file_status(payload() + "img\\3").is_folder);
  EXPECT_TRUE(scan_.step_pictures[3].empty());
  EXPECT_TRUE(scan_.background_pictures.empty());
}

TEST_F(PayloadTest, BackgroundPicturesAndCompanions) {
  make_package({{"%Quillpack%/bgimg/6/a.jpg", "A"},
                {"%Quillpack%/bgimg/6/a.jpg.txt", "2\r\n120\r\n45\r\n"},
                {"%Quillpack%/bgimg/1/b.jpg", "B"},
                {"%Quillpack%/bgimg/1/b.jpg.txt", "123456\r\n-7"},
                {"%Quillpack%/bgimg/x/c.jpg", "C"},
                {"%Quillpack%/bgimg/6/only.txt", "a companion without picture"}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  ASSERT_EQ(scan_.background_pictures.size(), 3u);
  const BackgroundPicture& a = scan_.background_pictures[0];
  EXPECT_EQ(a.step, 6);
  EXPECT_EQ(a.path, payload() + "bgimg\\6\\a.jpg");
  EXPECT_EQ(a.placement, 2);
  EXPECT_EQ(a.x, 120);
  EXPECT_EQ(a.y, 45);
  const BackgroundPicture& b = scan_.background_pictures[1];
  EXPECT_EQ(b.step, 1);
  EXPECT_EQ(b.placement, 1234);  // at most four characters are read
  EXPECT_EQ(b.x, -7);
  EXPECT_EQ(b.y, 0);  // missing line
  const BackgroundPicture& c = scan_.background_pictures[2];
  EXPECT_EQ(c.step, 10);
  EXPECT_EQ(c.placement, 0);  // no companion
  EXPECT_EQ(scan_.step6_picture_count, 1u);
}

TEST_F(PayloadTest, AtMost1024BackgroundPictures) {
  std::vector<ZipEntry> entries;
  for (int i = 0; i < 1030; ++i) {
    entries.push_back({"%Quillpack%/bgimg/6/p" + std::to_string(i) + ".jpg", "p", true});
  }
  make_package(entries);
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(scan_.background_pictures.size(), 1024u);
  EXPECT_EQ(scan_.step6_picture_count, 1024u);
  EXPECT_EQ(scan_.background_pictures.back().path, payload() + "bgimg\\6\\p1023.jpg");
}

TEST_F(PayloadTest, DataEntriesThatWouldLeaveThePayloadFolderAreSkipped) {
  make_package({{"%Quillpack%/../escape.txt", "x"},
                {"%Quillpack%/img/../../../../../escape2.txt", "x"},
                {"%Quillpack%\\..\\escape3.txt", "x"},
                {"%Quillpack%/C:/escape4.txt", "x"},
                {"%Quillpack%//escape5.txt", "x"},
                {"%Quillpack%/. ./escape6.txt", "x"},
                {"%Quillpack%sibling/escape7.txt", "x"},
                {"%Quillpack%", "x"},
                {"%Quillpack%/wt.txt", "kept"}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_EQ(scan_.skipped_entries.size(), 8u);
  EXPECT_EQ(data("wt.txt"), "kept");
  expect_nothing_outside_payload();
}

TEST(DataEntryNames, SafeAndUnsafeForms) {
  EXPECT_TRUE(is_safe_data_entry_name("%Quillpack%/wt.txt"));
  EXPECT_TRUE(is_safe_data_entry_name("%Quillpack%/img/3/a b.jpg"));
  EXPECT_TRUE(is_safe_data_entry_name("%Quillpack%/img/"));
  EXPECT_TRUE(is_safe_data_entry_name("%Quillpack%/..hidden"));
  EXPECT_FALSE(is_safe_data_entry_name("%Quillpack%/"));
  EXPECT_FALSE(is_safe_data_entry_name("%Quillpack%/a/../../b"));
  EXPECT_FALSE(is_safe_data_entry_name("%Quillpack%/a/.../b"));
  EXPECT_FALSE(is_safe_data_entry_name("%Quillpack%/a:b"));
  EXPECT_FALSE(is_safe_data_entry_name("%Quillpack%/NUL.txt"));
  EXPECT_FALSE(is_safe_data_entry_name("%Quillpack%/com1"));
  EXPECT_FALSE(is_safe_data_entry_name("%quillpack%/wt.txt"));
}

TEST_F(PayloadTest, StepDigitMapping) {
  EXPECT_EQ(step_from_digit('1'), 1);
  EXPECT_EQ(step_from_digit('9'), 9);
  EXPECT_EQ(step_from_digit('0'), 10);
  EXPECT_EQ(step_from_digit('s'), 10);
  EXPECT_EQ(step_from_digit('\0'), 10);
}

TEST_F(PayloadTest, BadPackagesAreDamagedAndWriteNothingOutside) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string zip_path = root_ + "/payload.zip";
  test::write_zip(zip_path, {{"%Quillpack%/wt.txt", "Welcome"}});
  std::string archive = test::read_host_file(zip_path);
  std::string broken = archive;
  broken[broken.size() - 22 + 10] ^= 0x7F;  // entry count of the end record

  const Case cases[] = {
      {"empty", ""},
      {"shorter than a trailer", "MZ\x01"},
      {"trailer larger than the file", "stub" + archive + test::trailer(archive.size() + 100)},
      {"huge trailer", "stub" + archive + test::trailer(~0ull)},
      {"zero length", "stub" + archive + test::trailer(0)},
      {"not a zip", "stub" + std::string(500, 'Q') + test::trailer(500)},
      {"broken end record", "stub" + broken + test::trailer(broken.size())},
      {"off by one", "stub" + archive + test::trailer(archive.size() - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    install_package(c.bytes);
    EXPECT_EQ(extract(), ExtractOutcome::damaged);
    EXPECT_EQ(data("wt.txt"), "(none)");
    expect_nothing_outside_payload();
    EXPECT_TRUE(delete_payload_folder(os(), &scan_));
  }
}

TEST_F(PayloadTest, SignedPackageTrailerLiesBeforeTheCertificateTable) {
  std::string zip_path = root_ + "/payload.zip";
  test::write_zip(zip_path, {{"%Quillpack%/wt.txt", "Welcome"}});
  const std::string archive = test::read_host_file(zip_path);
  const std::string table(24, 'C');
  const std::uint32_t data_end = static_cast<std::uint32_t>(512 + archive.size() + 8);
  struct Case {
    const char* what;
    bool plus;
    std::uint32_t table_at, table_size;
    std::string tail;  // after the trailer
    ExtractOutcome outcome;
  };
  const Case cases[] = {
      {"PE32 signed", false, data_end, 24, table, ExtractOutcome::done},
      {"PE32+ signed", true, data_end, 24, table, ExtractOutcome::done},
      {"unsigned", false, 0, 0, "", ExtractOutcome::done},
      // A table that does not end the file is not the package's own.
      {"table short of the end", false, data_end, 20, table, ExtractOutcome::damaged},
      {"table past the end", false, data_end, 4000, table, ExtractOutcome::damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    install_package(test::pe_stub(c.plus, c.table_at, c.table_size) + archive + test::trailer(archive.size()) +
                    c.tail);
    EXPECT_EQ(extract(), c.outcome);
    EXPECT_EQ(data("wt.txt"), c.outcome == ExtractOutcome::done ? "Welcome" : "(none)");
    EXPECT_TRUE(delete_payload_folder(os(), &scan_));
  }
}

TEST_F(PayloadTest, CorruptDataEntryIsDamaged) {
  std::string zip_path = root_ + "/payload.zip";
  std::string text(2000, 'w');
  test::write_zip(zip_path, {{"%Quillpack%/wt.txt", text, true}});
  std::string archive = test::read_host_file(zip_path);
  archive[archive.find(text) + 10] = 'X';
  install_package("stub" + archive + test::trailer(archive.size()));
  EXPECT_EQ(extract(), ExtractOutcome::damaged);
  EXPECT_EQ(data("wt.txt"), "(none)");
}

TEST_F(PayloadTest, MissingModuleFileIsDamaged) {
  os().set_module_path("C:\\nowhere\\setup.exe");
  EXPECT_EQ(extract(), ExtractOutcome::damaged);
}

TEST_F(PayloadTest, CancelBeforeFirstChunkCopiesNothing) {
  make_package({{"%Quillpack%/wt.txt", "Welcome"}});
  progress_.cancel_at_poll = 1;
  EXPECT_EQ(extract(), ExtractOutcome::cancelled);
  EXPECT_TRUE(progress_.positions.empty());
  EXPECT_EQ(test::read_host_file(payload_host("tempfile.tmp")), "");
}

TEST_F(PayloadTest, CancelBeforeAnEntryStopsTheEntryLoop) {
  make_package({{"%Quillpack%/wt.txt", "Welcome"}, {"%Quillpack%/tt.txt", "Title"}});
  progress_.cancel_at_poll = 3;  // one chunk poll, entry 0, then entry 1
  EXPECT_EQ(extract(), ExtractOutcome::cancelled);
  EXPECT_EQ(data("wt.txt"), "Welcome");
  EXPECT_EQ(data("tt.txt"), "(none)");
}

TEST_F(PayloadTest, RemovalTakesOnlyTheRunsOwnFolderReadOnlyFilesIncluded) {
  make_package({{"%Quillpack%/img/2/p.jpg", "first"}});
  PayloadScan other;
  ASSERT_EQ(extract_payload(os(), progress_, &other), ExtractOutcome::done);
  make_package({{"%Quillpack%/wt.txt", "second", false, 0x01},
                {"%Quillpack%/img/2/p.jpg", "pic", false, 0x01}});
  ASSERT_EQ(extract(), ExtractOutcome::done);
  EXPECT_TRUE(os().file_status(payload() + "img\\2\\p.jpg").read_only);

  const std::string folder = payload();
  EXPECT_TRUE(delete_payload_folder(os(), &scan_));
  EXPECT_FALSE(os().file_status(folder).exists);
  EXPECT_EQ(scan_.archive_file, nullptr);
  EXPECT_TRUE(os().file_status(os().temp_folder()).exists);
  EXPECT_EQ(test::read_host_file(host(other.payload_folder + "img\\2\\p.jpg")), "first");
}

// Every single failing operation during extraction and loading: no crash,
// nothing outside the payload folder, and no picture left half written.
TEST(PayloadFaults, EachFailingOperationLeavesNoDamage) {
  std::uint64_t n = 1;
  for (;; ++n) {
    SCOPED_TRACE("failing operation " + std::to_string(n));
    char pattern[] = "/tmp/quill-fault-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string root = pattern;
    bool triggered = false;
    {
      os::PosixOs posix(root);
      test::write_zip(root + "/payload.zip", {{"%Quillpack%/wt.txt", "Welcome %name%"},
                                              {"%Quillpack%/macros.txt", "%name%\nTool\n\n\n"},
                                              {"%Quillpack%/img/2/p.jpg", std::string(70000, 'p')},
                                              {"app.exe", "program"}});
      std::string archive = test::read_host_file(root + "/payload.zip");
      test::write_host_file(posix.host_path("C:\\setup.exe"),
                            "stub" + archive + test::trailer(archive.size()));
      posix.set_module_path("C:\\setup.exe");

      os::FaultOs os(posix);
      os.arm(os::FaultOs::kAll, n, os::Error::disk_full);
      RecordingProgress progress;
      PayloadScan scan;
      ExtractOutcome outcome = extract_payload(os, progress, &scan);
      if (outcome == ExtractOutcome::done) {
        InstallerData data;
        load_installer_data(os, scan, &data);
      }
      triggered = os.triggered();

      std::string folder = scan.payload_folder.empty() ? std::string() : posix.host_path(scan.payload_folder);
      if (!folder.empty()) {
        std::string picture = test::read_host_file(folder + "img/2/p.jpg");
        EXPECT_TRUE(picture.empty() || picture.size() == 70000u);
      }
      scan.archive_file.reset();
      for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        std::string path = item.path().string();
        if (!item.is_regular_file() || (!folder.empty() && path.rfind(folder, 0) == 0)) continue;
        if (path == root + "/payload.zip" || path == posix.host_path("C:\\setup.exe")) continue;
        if (path.find("/registry") != std::string::npos) continue;
        ADD_FAILURE() << "written outside the payload folder: " << path;
      }
    }
    std::filesystem::remove_all(root);
    if (!triggered) break;
  }
  EXPECT_GT(n, 10u);
}

}  // namespace
}  // namespace quill::package
