// The fault-injecting wrapper.
#include "tests/support/fault_os.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/memory_os.h"

namespace quill::os {
namespace {

class FaultOsTest : public ::testing::Test {
 protected:
  MemoryOs inner_;
  FaultOs os_{inner_};
};

TEST_F(FaultOsTest, FailsOnlyTheNthCallOfTheChosenSet) {
  os_.arm(FaultOs::kCreateFolder, 2, Error::disk_full);
  EXPECT_EQ(os_.create_folder("C:\\a"), Error::none);
  EXPECT_EQ(os_.delete_file("C:\\none"), Error::not_found);  // not in the set: not counted
  EXPECT_EQ(os_.create_folder("C:\\b"), Error::disk_full);
  EXPECT_FALSE(inner_.file_status("C:\\b").exists);  // the inner backend was not called
  EXPECT_EQ(os_.create_folder("C:\\c"), Error::none);
  EXPECT_EQ(os_.calls(), 3u);
  EXPECT_EQ(os_.faults(), 1u);
  ASSERT_EQ(os_.fault_log().size(), 1u);
  EXPECT_EQ(os_.fault_log()[0], "create_folder #2 C:\\b");
}

TEST_F(FaultOsTest, PersistentFaultsAndDisarm) {
  os_.arm(FaultOs::kAllWrites, 2, Error::access_denied, true);
  EXPECT_EQ(os_.create_folder("C:\\a"), Error::none);
  EXPECT_EQ(os_.create_folder("C:\\b"), Error::access_denied);
  EXPECT_EQ(os_.registry_write_dword(RegistryRoot::current_user, "K", "v", 1), Error::access_denied);
  EXPECT_EQ(os_.copy_file("C:\\x", "C:\\y", false), Error::access_denied);
  EXPECT_EQ(os_.faults(), 3u);
  os_.disarm();
  EXPECT_EQ(os_.create_folder("C:\\b"), Error::none);
  EXPECT_EQ(os_.calls(), 5u);
  EXPECT_EQ(os_.faults(), 3u);
  // Reads are not writes.
  std::string value;
  os_.arm(FaultOs::kAllWrites, 1, Error::io, true);
  EXPECT_EQ(os_.registry_read_string(RegistryRoot::current_user, "K", "v", &value), Error::not_found);
  EXPECT_FALSE(os_.triggered());
}

TEST_F(FaultOsTest, WritesThroughItsFilesAreCounted) {
  os_.arm(FaultOs::kWrite, 3, Error::disk_full);
  std::unique_ptr<File> file = os_.open_file("C:\\f.bin", OpenMode::write);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->write("ab", 2));
  EXPECT_TRUE(file->write("cd", 2));
  EXPECT_FALSE(file->write("ef", 2));  // the disk is "full" once
  EXPECT_TRUE(file->write("gh", 2));
  EXPECT_EQ(file->size(), 6u);
  EXPECT_EQ(os_.calls(), 4u);

  // A File may outlive the wrapper that opened it.
  std::unique_ptr<File> survivor;
  {
    FaultOs scoped(inner_);
    scoped.arm(FaultOs::kWrite, 1, Error::disk_full);
    survivor = scoped.open_file("C:\\g.bin", OpenMode::write);
    ASSERT_TRUE(survivor);
  }
  EXPECT_FALSE(survivor->write("x", 1));
  EXPECT_TRUE(survivor->write("y", 1));
}

TEST_F(FaultOsTest, FailedOpensAndReads) {
  {
    auto f = os_.open_file("C:\\r.txt", OpenMode::write);
    ASSERT_TRUE(f && f->write("data", 4));
  }
  os_.arm(FaultOs::kOpenFile | FaultOs::kRead, 1, Error::access_denied);
  Error e = Error::none;
  EXPECT_EQ(os_.open_file("C:\\r.txt", OpenMode::read, &e), nullptr);
  EXPECT_EQ(e, Error::access_denied);
  os_.arm(FaultOs::kRead, 1);
  auto f = os_.open_file("C:\\r.txt", OpenMode::read, &e);
  ASSERT_TRUE(f);
  EXPECT_EQ(e, Error::none);
  char buffer[8];
  EXPECT_EQ(f->read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(f->read(buffer, sizeof buffer), 4u);
}

TEST_F(FaultOsTest, ResultsWithoutErrorValues) {
  std::uint64_t mb = 0;
  os_.arm(FaultOs::kFreeSpace | FaultOs::kFileStatus | FaultOs::kListFolder, 1, Error::io, true);
  EXPECT_FALSE(os_.free_megabytes("C:\\", &mb));
  EXPECT_FALSE(os_.file_status("C:\\Windows").exists);
  std::vector<FolderEntry> entries{FolderEntry{"stale", false, false, 0}};
  EXPECT_EQ(os_.list_folder("C:\\", &entries), Error::io);
  EXPECT_TRUE(entries.empty());
  // Places and special folders are never failed.
  EXPECT_EQ(os_.temp_folder(), inner_.temp_folder());
  EXPECT_EQ(os_.special_folder(SpecialFolder::desktop), inner_.special_folder(SpecialFolder::desktop));
}

TEST_F(FaultOsTest, CountsCallsFromSeveralThreads) {
  // The build and install engines call from worker threads; no call may be
  // lost from the count and exactly one may meet the fault.
  os_.arm(FaultOs::kFileStatus | FaultOs::kShell, 5000, Error::io);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this] {
      for (int i = 0; i < 2000; ++i) {
        os_.file_status("C:\\missing");
        os_.shell_open("x");
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(os_.calls(), 16000u);
  EXPECT_EQ(os_.faults(), 1u);
  EXPECT_EQ(inner_.shell_log().size(), 8000u - (os_.fault_log()[0].rfind("shell_open", 0) == 0 ? 1u : 0u));
}

}  // namespace
}  // namespace quill::os
