// The payload writer's two paths: entries below the whole-entry bound are
// deflated in one piece, larger ones streamed in blocks. Both read back
// through minizip and unzip, and the bytes depend on nothing but the inputs.
#include "builder/project/payload_writer.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <minizip/unzip.h>

#include <cstdlib>
#include <random>

#include "../project/sandbox.h"

namespace quill::project {
namespace {

constexpr std::size_t kBlock = 4096;
constexpr std::size_t kWhole = 4 * kBlock;  // entries shorter than this go whole

struct Case {
  const char* name;
  std::size_t size;
  bool whole;
};
const Case kCases[] = {{"empty.txt", 0, true},         {"below.bin", kWhole - 1, true},
                       {"bound.bin", kWhole, false},    {"large.bin", 3 * kWhole + 17, false},
                       {"packed.gz", kWhole + 5, false}};

// Text lines with runs of random bytes among them.
std::string content(std::size_t size) {
  std::mt19937 random(static_cast<unsigned>(size));
  std::string data;
  while (data.size() < size) {
    data += "line " + std::to_string(random() % 50) + " of the payload\r\n";
    for (int i = random() % 3 ? 0 : 300; i > 0; --i) data += static_cast<char>(random());
  }
  return data.substr(0, size);
}

class PayloadWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }  // 2023-11-14 22:13:20 UTC
  void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

  std::string write_archive(const std::string& name, int workers, std::size_t pending_blocks) {
    PayloadLimits limits;
    limits.workers = workers;
    limits.block_size = kBlock;
    limits.whole_blocks = kWhole / kBlock;
    limits.max_pending_blocks = pending_blocks;
    PayloadWriter writer(box_.os(), limits);
    std::string path = box_.root() + "/" + name;
    EXPECT_TRUE(writer.open(path));
    for (const Case& c : kCases) {
      std::string source = box_.write(std::string("src/") + c.name, content(c.size));
      EXPECT_EQ(writer.add_file(std::string("dir\\") + c.name, source), PayloadWriter::AddResult::added);
    }
    EXPECT_EQ(writer.close(), PayloadWriter::CloseResult::closed);
    return path;
  }

  quill::testing::Sandbox box_;
};

TEST_F(PayloadWriterTest, WholeAndStreamedEntriesReadBackThroughBothReaders) {
  std::string path = write_archive("payload.zip", 2, 3);
  unzFile zip = unzOpen64(path.c_str());
  ASSERT_NE(zip, nullptr);
  libdeflate_compressor* one_piece = libdeflate_alloc_compressor(6);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(unzLocateFile(zip, (std::string("dir/") + c.name).c_str(), 1), UNZ_OK);
    unz_file_info64 info;
    unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    const bool stored = std::string(c.name).find(".gz") != std::string::npos;
    EXPECT_EQ(info.compression_method, stored ? 0u : 8u);
    EXPECT_EQ(info.tmu_date.tm_year, 2023u);
    EXPECT_EQ(info.tmu_date.tm_hour, 22u);

    const std::string expected = content(c.size);
    std::string data(expected.size(), '\0'), raw(info.compressed_size, '\0');
    ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
    EXPECT_EQ(unzReadCurrentFile(zip, &data[0], static_cast<unsigned>(data.size())), static_cast<int>(c.size));
    EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK);  // checks the CRC
    EXPECT_EQ(data, expected);

    // A whole entry is exactly what the whole-buffer compressor makes of it.
    ASSERT_EQ(unzOpenCurrentFile2(zip, nullptr, nullptr, 1), UNZ_OK);
    unzReadCurrentFile(zip, &raw[0], static_cast<unsigned>(raw.size()));
    unzCloseCurrentFile(zip);
    std::string whole(libdeflate_deflate_compress_bound(one_piece, c.size), '\0');
    whole.resize(libdeflate_deflate_compress(one_piece, expected.data(), c.size, &whole[0], whole.size()));
    if (!stored) {
      EXPECT_EQ(raw == whole, c.whole);
    }
  }
  libdeflate_free_compressor(one_piece);
  unzClose(zip);
  std::string command = "unzip -tqq '" + path + "' > /dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// A large entry's blocks are deflated one by one by the whole-buffer
// compressor and joined: whatever deflate blocks each one ends with (stored
// for random bytes, fixed for zeros, several in one block for mixed
// content), the entry must read back as one stream, and it must begin with
// what that compressor makes of the first block, with the final-block bit
// of the first deflate block clear.
TEST_F(PayloadWriterTest, BlocksOfAnyContentJoinIntoOneStream) {
  std::mt19937 random(7);
  auto bytes = [&](std::size_t size) {
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(random());
    return data;
  };
  const std::string mixed = content(100000) + bytes(100000) + std::string(100000, '\0') + content(60000);
  struct Join {
    const char* name;
    std::size_t block;
    std::string data;
  };
  const Join joins[] = {{"text.bin", kBlock, content(40 * kBlock + 7)},
                        {"random.bin", kBlock, bytes(40 * kBlock + 1)},
                        {"zeros.bin", kBlock, std::string(9 * kBlock, '\0')},
                        {"mixed.bin", 128 << 10, mixed + mixed}};
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
  for (const Join& j : joins) {
    SCOPED_TRACE(j.name);
    PayloadLimits limits;
    limits.block_size = j.block;
    PayloadWriter writer(box_.os(), limits);
    std::string path = box_.root() + "/" + j.name + ".zip";
    ASSERT_TRUE(writer.open(path));
    EXPECT_EQ(writer.add_file(j.name, box_.write(j.name, j.data)), PayloadWriter::AddResult::added);
    ASSERT_EQ(writer.close(), PayloadWriter::CloseResult::closed);

    unzFile zip = unzOpen64(path.c_str());
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(unzLocateFile(zip, j.name, 1), UNZ_OK);
    unz_file_info64 info;
    unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    std::string data(j.data.size() + 1, '\0'), raw(info.compressed_size, '\0');
    ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
    EXPECT_EQ(unzReadCurrentFile(zip, &data[0], static_cast<unsigned>(data.size())), static_cast<int>(j.data.size()));
    EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK);  // checks the CRC
    data.resize(j.data.size());
    EXPECT_TRUE(data == j.data);
    ASSERT_EQ(unzOpenCurrentFile2(zip, nullptr, nullptr, 1), UNZ_OK);
    unzReadCurrentFile(zip, &raw[0], static_cast<unsigned>(raw.size()));
    unzCloseCurrentFile(zip);
    unzClose(zip);

    std::string first(libdeflate_deflate_compress_bound(compressor, j.block), '\0');
    first.resize(libdeflate_deflate_compress(compressor, j.data.data(), j.block, &first[0], first.size()));
    first[0] = static_cast<char>(first[0] & ~1);
    const std::size_t same = std::min<std::size_t>(first.size() - 1, 16);
    EXPECT_EQ(raw.substr(0, same), first.substr(0, same));
  }
  libdeflate_free_compressor(compressor);
}

TEST_F(PayloadWriterTest, SameInputsGiveSameBytesWhateverTheThreads) {
  std::string one = box_.read(write_archive("one.zip", 1, 1));
  EXPECT_FALSE(one.empty());
  EXPECT_TRUE(one == box_.read(write_archive("three.zip", 3, 32)));
}

}  // namespace
}  // namespace quill::project
