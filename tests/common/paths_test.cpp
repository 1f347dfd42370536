// Path and string helpers.
#include "common/paths.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(Paths, Parts) {
  EXPECT_EQ(folder_part("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(folder_part("b.txt"), "");
  // Both separators end the folder, as file_name_part and Windows have it.
  EXPECT_EQ(folder_part("C:\\Windows\\Tool/un.exe"), "C:\\Windows\\Tool/");
  EXPECT_EQ(folder_part("C:/a\\b/c"), "C:/a\\b/");
  EXPECT_EQ(file_name_part("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(file_name_part("/home/u/src/pic.jpg"), "pic.jpg");
  EXPECT_EQ(file_name_part("C:\\a/b\\c"), "c");
  EXPECT_EQ(file_name_part("C:\\a\\"), "");
  EXPECT_EQ(with_trailing_backslash("C:"), "C:\\");
  EXPECT_EQ(with_trailing_backslash("C:\\"), "C:\\");
  EXPECT_EQ(without_trailing_backslash("C:\\x\\"), "C:\\x");
  EXPECT_EQ(without_trailing_backslash(""), "");
  EXPECT_EQ(replace_char("a\\b\\c", '\\', '/'), "a/b/c");
}

TEST(Paths, SafeRelativeNames) {
  for (const char* ok : {"a", "a\\b.txt", "a/b", "dir\\", "..a\\b..", ".hidden"}) {
    EXPECT_TRUE(is_safe_relative_name(ok)) << ok;
  }
  for (const char* bad : {"", "\\a", "/etc/passwd", "C:\\x", "c:x", "..", "a\\..\\..\\b", "a/./b", "a\\\\b",
                          "a\\..", "x:stream", "...", "a\\. .\\b", " ", "a/.. /b"}) {
    EXPECT_FALSE(is_safe_relative_name(bad)) << bad;
  }
}

TEST(Paths, DriveRootsAndComparison) {
  EXPECT_TRUE(is_drive_root("C:"));
  EXPECT_TRUE(is_drive_root("d:\\"));
  EXPECT_FALSE(is_drive_root("C:\\x"));
  EXPECT_FALSE(is_drive_root("\\\\server"));
  EXPECT_FALSE(is_drive_root("1:\\"));
  EXPECT_TRUE(paths_equal("C:\\Program Files", "c:\\PROGRAM FILES"));
  EXPECT_FALSE(paths_equal("C:\\a", "C:\\a\\"));
}

TEST(Paths, ParseDecimal) {
  EXPECT_EQ(parse_decimal("42"), 42);
  EXPECT_EQ(parse_decimal("  -7x"), -7);
  EXPECT_EQ(parse_decimal("+3"), 3);
  EXPECT_EQ(parse_decimal("abc"), 0);
  EXPECT_EQ(parse_decimal(""), 0);
  EXPECT_EQ(parse_decimal("-"), 0);
  EXPECT_EQ(parse_decimal("99999999999999999999"), 2147483647);
  EXPECT_EQ(parse_decimal("-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
}  // namespace quill
