// Recursive folder removal.
#include "common/folder_removal.h"

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "tests/os/machines.h"
#include "tests/support/fault_os.h"
#include "tests/support/memory_os.h"

namespace quill {
namespace {

class FolderRemovalTest : public ::testing::Test {
 protected:
  // C:\T with files, a read-only file and nested folders (one empty).
  void make_tree() {
    ASSERT_EQ(os_.create_folder("C:\\T"), os::Error::none);
    ASSERT_EQ(os_.create_folder("C:\\T\\sub"), os::Error::none);
    ASSERT_EQ(os_.create_folder("C:\\T\\sub\\deeper"), os::Error::none);
    ASSERT_EQ(os_.create_folder("C:\\T\\empty"), os::Error::none);
    for (const char* f : {"C:\\T\\a.txt", "C:\\T\\sub\\b.txt", "C:\\T\\sub\\deeper\\c.txt", "C:\\T\\ro.txt",
                          "C:\\T\\sub\\deeper\\ro2.txt"}) {
      ASSERT_TRUE(write_text_file(os_, f, "data"));
    }
    ASSERT_EQ(os_.set_read_only("C:\\T\\ro.txt", true), os::Error::none);
    ASSERT_EQ(os_.set_read_only("C:\\T\\sub\\deeper\\ro2.txt", true), os::Error::none);
  }

  os::MemoryOs os_;
};

TEST_F(FolderRemovalTest, RemovesTreeWithReadOnlyFiles) {
  make_tree();
  EXPECT_TRUE(remove_folder_tree(os_, "C:\\T"));
  EXPECT_FALSE(os_.file_status("C:\\T").exists);
  EXPECT_TRUE(os_.file_status("C:\\").is_folder);
}

TEST_F(FolderRemovalTest, TrailingBackslashAndMissingFolder) {
  make_tree();
  EXPECT_TRUE(remove_folder_tree(os_, "C:\\T\\"));
  EXPECT_FALSE(os_.file_status("C:\\T").exists);
  EXPECT_FALSE(remove_folder_tree(os_, "C:\\T"));
}

TEST_F(FolderRemovalTest, StopsAtFirstFailure) {
  make_tree();
  // Fail the third deletion: the files are taken in listing order, depth first.
  os::FaultOs faulty(os_);
  faulty.arm(os::FaultOs::kDeleteFile, 3, os::Error::access_denied);
  EXPECT_FALSE(remove_folder_tree(faulty, "C:\\T"));
  EXPECT_EQ(faulty.calls(), 3u);  // nothing was tried after the failure
  // Listing order: a.txt, empty, ro.txt, sub; so b.txt was the third file.
  EXPECT_FALSE(os_.file_status("C:\\T\\a.txt").exists);
  EXPECT_FALSE(os_.file_status("C:\\T\\empty").exists);
  EXPECT_FALSE(os_.file_status("C:\\T\\ro.txt").exists);
  EXPECT_TRUE(os_.file_status("C:\\T\\sub\\b.txt").exists);
  EXPECT_TRUE(os_.file_status("C:\\T\\sub\\deeper\\c.txt").exists);
  // A second run finishes the job.
  EXPECT_TRUE(remove_folder_tree(os_, "C:\\T"));
  EXPECT_FALSE(os_.file_status("C:\\T").exists);
}

TEST_F(FolderRemovalTest, EveryFaultLeavesAConsistentTree) {
  // Fail each operation in turn; the removal must report failure exactly
  // when it met a fault and a clean second run must always succeed.
  std::uint64_t n = 1;
  for (;; ++n) {
    make_tree();
    os::FaultOs faulty(os_);
    faulty.arm(os::FaultOs::kAll, n, os::Error::io);
    bool removed = remove_folder_tree(faulty, "C:\\T");
    EXPECT_EQ(removed, !faulty.triggered()) << "n=" << n;
    if (!faulty.triggered()) break;
    EXPECT_TRUE(os_.file_status("C:\\T").exists) << "n=" << n;
    EXPECT_TRUE(remove_folder_tree(os_, "C:\\T")) << "n=" << n;
  }
  // list x4, set_read_only x2, delete x5, remove_folder x4: 15 operations.
  EXPECT_EQ(n, 16u);
  EXPECT_FALSE(os_.file_status("C:\\T").exists);
}

// Links met in a tree, or standing in place of it, go as entries: what
// they lead to stays whole. On the sandbox machine (host links) and the
// memory machine alike.
template <class T>
class FolderRemovalLinkTest : public ::testing::Test {
 protected:
  testing::Machine<T> machine_;
};
TYPED_TEST_SUITE(FolderRemovalLinkTest, testing::SimulatedBackends);

TYPED_TEST(FolderRemovalLinkTest, LinksGoAsEntriesAndWhatTheyLeadToStays) {
  auto& os = this->machine_.os;
  const std::string victim = "C:\\Victim\\inner\\v.txt";
  ASSERT_TRUE(testing::put_file(os, victim, "victim"));
  ASSERT_EQ(os.set_read_only(victim, true), os::Error::none);
  ASSERT_TRUE(testing::put_file(os, "C:\\T\\sub\\own.txt", "own"));
  // A link to a folder (deep down and to the drive), to a file, to nothing.
  for (const auto& [link, target] : {std::pair{"C:\\T\\sub\\more", "C:\\Victim"},
                                     {"C:\\T\\a-file", "C:\\Victim\\inner\\v.txt"},
                                     {"C:\\T\\broken", "C:\\Nowhere"}, {"C:\\T\\up", "C:\\"}}) {
    ASSERT_EQ(os.create_link(link, target), os::Error::none) << link;
  }
  EXPECT_TRUE(remove_folder_tree(os, "C:\\T"));
  EXPECT_FALSE(os.file_status("C:\\T").exists);
  EXPECT_EQ(testing::get_file(os, victim), "victim");
  EXPECT_TRUE(os.file_status(victim).read_only);
  EXPECT_TRUE(os.file_status("C:\\Windows").is_folder);

  // The folder itself a link: the link goes, its target stays.
  ASSERT_EQ(os.create_link("C:\\Planted", "C:\\Victim"), os::Error::none);
  EXPECT_TRUE(remove_folder_tree(os, "C:\\Planted\\"));
  EXPECT_FALSE(os.file_status("C:\\Planted").exists);
  EXPECT_EQ(testing::get_file(os, victim), "victim");
}

}  // namespace
}  // namespace quill
