// Reading the uninstall log: line splitting, the terminator, and logs that
// are damaged or too large.
#include "uninstaller/uninstall_log.h"

#include "tests/uninstaller/uninstall_fixture.h"

namespace quill::uninstaller {
namespace {

class LogTest : public UninstallFixture {
 protected:
  const std::string path = "C:\\Tool\\uninstall.ini";

  LogStatus read_raw(const std::string& bytes) {
    write_file(path, bytes);
    return read_uninstall_log(os, path, &log);
  }
  std::vector<std::string> entry_paths() const {
    std::vector<std::string> paths;
    for (const LogEntry& entry : log.entries) paths.push_back(entry.path);
    return paths;
  }

  UninstallLog log;
};

TEST_F(LogTest, ReadsNameEntriesAndStopsAtTheTerminator) {
  // Empty entries count; CR LF and a bare LF both end lines; the first line
  // starting with '|' ends the log and what follows is never read.
  ASSERT_EQ(read_raw("My Tool\r\nC:\\a.txt\r\n\r\nC:\\b.txt\nC:\\Tool\\\r\n|x\r\nC:\\after\r\n"),
            LogStatus::ok);
  EXPECT_EQ(log.registered_name, "My Tool");
  EXPECT_FALSE(log.registered_name_damaged);
  EXPECT_EQ(entry_paths(),
            (std::vector<std::string>{"C:\\a.txt", "", "C:\\b.txt", "C:\\Tool\\"}));
}

TEST_F(LogTest, TerminatorWithoutLineEndAndLogWithoutEntries) {
  ASSERT_EQ(read_raw("Name\r\n||||"), LogStatus::ok);
  EXPECT_EQ(log.registered_name, "Name");
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(LogTest, MissingFileAndMissingTerminator) {
  EXPECT_EQ(read_uninstall_log(os, "C:\\nowhere\\uninstall.ini", &log), LogStatus::cannot_open);
  EXPECT_EQ(read_raw(""), LogStatus::no_terminator);
  EXPECT_EQ(read_raw("Name\r\nC:\\a.txt\r\nC:\\Tool\\\r\n"), LogStatus::no_terminator);
  // A '|' later in a line is no terminator.
  EXPECT_EQ(read_raw("Name\r\nC:\\a|b\r\n"), LogStatus::no_terminator);
}

TEST_F(LogTest, LinesBeyondTheLimitAreMarkedDamaged) {
  const std::string fits(259, 'a');
  const std::string too_long(260, 'b');
  const std::string very_long(5000, 'c');
  ASSERT_EQ(read_raw(std::string(300, 'N') + "\r\n" + fits + "\r\n" + too_long + "\r\n" +
                     very_long + "\nC:\\next\r\n||||\r\n"),
            LogStatus::ok);
  EXPECT_TRUE(log.registered_name_damaged);
  EXPECT_EQ(log.registered_name.size(), 259u);
  ASSERT_EQ(log.entries.size(), 4u);
  EXPECT_EQ(log.entries[0].path, fits);
  EXPECT_FALSE(log.entries[0].damaged);
  EXPECT_TRUE(log.entries[1].damaged);
  EXPECT_EQ(log.entries[1].path, std::string(259, 'b'));
  EXPECT_TRUE(log.entries[2].damaged);
  // The long line's rest did not spill into further entries.
  EXPECT_EQ(log.entries[3].path, "C:\\next");
  EXPECT_FALSE(log.entries[3].damaged);
}

TEST_F(LogTest, CarriageReturnDoesNotCountTowardsTheLimit) {
  ASSERT_EQ(read_raw("N\r\n" + std::string(259, 'a') + "\r\n||||\r\n"), LogStatus::ok);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_FALSE(log.entries[0].damaged);
  EXPECT_EQ(log.entries[0].path.size(), 259u);
}

TEST_F(LogTest, ZeroByteMakesALineDamaged) {
  // "C:\Tool" followed by a zero byte and more: cut at the zero it would
  // name the whole install folder.
  static const char kBytes[] = "N\r\nC:\\Tool\0\\file.txt\r\n||||\r\n";
  ASSERT_EQ(read_raw(std::string(kBytes, sizeof kBytes - 1)), LogStatus::ok);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_TRUE(log.entries[0].damaged);
}

TEST_F(LogTest, EntryTableCapacity) {
  std::string full = "N\n";
  for (std::size_t i = 0; i < kMaxLogEntries; ++i) full += "C\n";
  EXPECT_EQ(read_raw(full + "|\n"), LogStatus::ok);
  EXPECT_EQ(log.entries.size(), kMaxLogEntries);
  EXPECT_EQ(read_raw(full + "C\n|\n"), LogStatus::too_many_entries);
  EXPECT_LE(log.entries.size(), kMaxLogEntries);
}

}  // namespace
}  // namespace quill::uninstaller
