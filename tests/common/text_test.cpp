// Line reading and whole-file text reads and writes.
#include <gtest/gtest.h>

#include "common/lines.h"
#include "common/text_file.h"
#include "tests/support/memory_os.h"

namespace quill {
namespace {

class TextTest : public ::testing::Test {
 protected:
  void put(const std::string& data) {
    auto f = os_.open_file(path_, os::OpenMode::write);
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->write(data.data(), data.size()));
  }
  std::string raw() {
    std::string data;
    EXPECT_TRUE(read_binary_file(os_, path_, 1 << 20, &data));
    return data;
  }
  std::vector<std::string> lines() {
    std::vector<std::string> out;
    LineReader reader(os_, path_);
    std::string line;
    while (reader.next(&line)) out.push_back(line);
    EXPECT_FALSE(reader.next(&line));  // stays at the end
    return out;
  }

  os::MemoryOs os_;
  std::string path_ = "C:\\t.txt";
};

using Lines = std::vector<std::string>;

TEST_F(TextTest, LineEnds) {
  put("one\r\ntwo\nthree");
  EXPECT_EQ(lines(), (Lines{"one", "two", "three"}));
  put("a\r\n\r\n\nb\r\n");
  EXPECT_EQ(lines(), (Lines{"a", "", "", "b"}));
  put("");
  EXPECT_EQ(lines(), Lines{});
  put("\n");
  EXPECT_EQ(lines(), Lines{""});
  // A CR that does not start CR LF stays part of the line.
  put("x\ry\r\r\nz\r");
  EXPECT_EQ(lines(), (Lines{"x\ry\r", "z\r"}));
}

TEST_F(TextTest, MissingFileHasNoLines) {
  LineReader reader(os_, "C:\\absent.txt");
  EXPECT_FALSE(reader.is_open());
  std::string line = "stale";
  EXPECT_FALSE(reader.next(&line));
  EXPECT_EQ(line, "");
}

TEST_F(TextTest, OverlongLinesAreCutAndTheirRestSkipped) {
  const std::string max(kMaxPathLength, 'm');
  put(max + "\r\n" + max + "X\r\n" + std::string(5000, 'y') + "\nend");
  Lines got = lines();
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[0], max);  // exactly 259 plus CR LF fits
  EXPECT_EQ(got[1], max);
  EXPECT_EQ(got[2], std::string(kMaxPathLength, 'y'));
  EXPECT_EQ(got[3], "end");
  // An over-long last line without a line end.
  put(std::string(20000, 'z'));
  EXPECT_EQ(lines(), Lines{std::string(kMaxPathLength, 'z')});

  // The reader tells a cut line from one that fits exactly.
  put(max + "\r\n" + max + "X\r\nshort");
  LineReader reader(os_, path_);
  std::string line;
  std::vector<bool> cut;
  while (reader.next(&line)) cut.push_back(reader.last_line_cut());
  EXPECT_EQ(cut, (std::vector<bool>{false, true, false}));
}

TEST_F(TextTest, LinesAcrossBufferBoundaries) {
  // Enough short lines that CR LF pairs straddle the reader's buffer.
  std::string data;
  Lines want;
  for (int i = 0; i < 5000; ++i) {
    std::string line = std::string(static_cast<std::size_t>(i % 7), 'a') + std::to_string(i);
    want.push_back(line);
    data += line + "\r\n";
  }
  put(data);
  EXPECT_EQ(lines(), want);
}

TEST_F(TextTest, WholeFileReadsHonourTheLimit) {
  std::string text;
  EXPECT_FALSE(read_text_file(os_, "C:\\absent.txt", 100, &text));
  put("ab\r\ncd\r\n");
  ASSERT_TRUE(read_text_file(os_, path_, 100, &text));
  EXPECT_EQ(text, "ab\ncd\n");
  ASSERT_TRUE(read_text_file(os_, path_, 3, &text));
  EXPECT_EQ(text, "ab\n");  // the limit counts characters after CR LF -> LF
  ASSERT_TRUE(read_text_file(os_, path_, 0, &text));
  EXPECT_EQ(text, "");
  put(std::string(2047, 'e') + "TOO MUCH");
  ASSERT_TRUE(read_text_file(os_, path_, 2047, &text));
  EXPECT_EQ(text, std::string(2047, 'e'));
  put(std::string("before\0after", 12));
  ASSERT_TRUE(read_text_file(os_, path_, 100, &text));
  EXPECT_EQ(text, "before");
}

TEST_F(TextTest, WritesStoreCrLf) {
  ASSERT_TRUE(write_text_file(os_, path_, "l1\nl2\r\nl3"));
  EXPECT_EQ(raw(), "l1\r\nl2\r\nl3");  // an existing CR LF is not doubled
  std::string text;
  ASSERT_TRUE(read_text_file(os_, path_, 32767, &text));
  EXPECT_EQ(text, "l1\nl2\nl3");

  ASSERT_TRUE(write_text_file(os_, path_, ""));
  EXPECT_EQ(raw(), "");
  ASSERT_TRUE(append_line(os_, path_, "first"));
  ASSERT_TRUE(append_line(os_, path_, ""));
  ASSERT_TRUE(append_line(os_, path_, "third"));
  EXPECT_EQ(raw(), "first\r\n\r\nthird\r\n");
  EXPECT_EQ(lines(), (Lines{"first", "", "third"}));
  EXPECT_FALSE(append_line(os_, "C:\\no folder\\log.ini", "x"));
}

TEST_F(TextTest, BinaryReadRefusesLargerFiles) {
  put(std::string("\0\1\2\r\n", 5));
  std::string data;
  ASSERT_TRUE(read_binary_file(os_, path_, 5, &data));
  EXPECT_EQ(data, std::string("\0\1\2\r\n", 5));
  EXPECT_FALSE(read_binary_file(os_, path_, 4, &data));
  EXPECT_TRUE(data.empty());
}

}  // namespace
}  // namespace quill
