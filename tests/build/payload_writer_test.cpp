// The payload writer's two compression paths: entries below the whole-entry
// bound deflated in one piece, larger ones streamed in blocks; both read
// back through minizip and Info-ZIP's unzip, and the archive's bytes depend
// on nothing but the inputs.
#include "builder/project/payload_writer.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <minizip/unzip.h>

#include <cstdlib>
#include <random>

#include "os/fault_os.h"
#include "../project/sandbox.h"

namespace quill::project {
namespace {

using quill::testing::Sandbox;

// Files whose size, as reported when opened, is smaller than their content:
// a file that grew between being sized and being read.
class StaleSizeOs : public os::FaultOs {
 public:
  using FaultOs::FaultOs;
  std::unique_ptr<os::File> open_file(const std::string& path, os::OpenMode mode,
                                      os::Error* error = nullptr) override {
    struct Stale : os::File {
      std::unique_ptr<os::File> inner;
      std::size_t read(void* b, std::size_t n) override { return inner->read(b, n); }
      bool write(const void* d, std::size_t n) override { return inner->write(d, n); }
      bool seek(std::uint64_t at) override { return inner->seek(at); }
      std::uint64_t tell() override { return inner->tell(); }
      std::uint64_t size() override { return 10; }
    };
    auto file = FaultOs::open_file(path, mode, error);
    if (!file || path.find("grown") == std::string::npos) return file;
    auto stale = std::make_unique<Stale>();
    stale->inner = std::move(file);
    return stale;
  }
};

constexpr std::size_t kBlock = 4096;
constexpr std::size_t kWhole = 4 * kBlock;  // entries shorter than this go whole

std::string content(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string data;
  while (data.size() < size) {
    if (random() % 3 == 0) {
      for (int i = 0; i < 700; ++i) data += static_cast<char>(random());
    } else {
      data += "line " + std::to_string(random() % 50) + " of the payload\r\n";
    }
  }
  return data.substr(0, size);
}

struct Case {
  const char* name;
  std::size_t size;
  bool whole;  // expected to be deflated in one piece
};

const Case kCases[] = {
    {"empty.txt", 0, true},
    {"one.txt", 1, true},
    {"below.bin", kWhole - 1, true},
    {"bound.bin", kWhole, false},
    {"large.bin", 3 * kWhole + 17, false},
    {"grown.bin", 2 * kWhole, false},  // opened with a size hint of 10
    {"packed.gz", kWhole + 5, false},  // stored
};

class PayloadWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }
  void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

  // Writes every case and one data entry; returns the archive's host path.
  std::string write_archive(const std::string& name, PayloadLimits limits) {
    StaleSizeOs os(box_.os());
    PayloadWriter writer(os, limits);
    std::string path = box_.root() + "/" + name;
    EXPECT_TRUE(writer.open(path));
    for (const Case& c : kCases) {
      std::string source = box_.write(std::string("src/") + c.name, content(c.size, c.size));
      EXPECT_EQ(writer.add_file(std::string("dir\\") + c.name, source), PayloadWriter::AddResult::added);
    }
    writer.add_data("%Quillpack%\\tt.txt", "Setup");
    EXPECT_TRUE(writer.close());
    return path;
  }

  Sandbox box_;
};

PayloadLimits small_limits(int workers, std::size_t pending_blocks) {
  PayloadLimits limits;
  limits.workers = workers;
  limits.block_size = kBlock;
  limits.whole_blocks = kWhole / kBlock;
  limits.max_pending_blocks = pending_blocks;
  return limits;
}

TEST_F(PayloadWriterTest, WholeAndStreamedEntriesReadBackThroughBothReaders) {
  std::string path = write_archive("payload.zip", small_limits(2, 3));
  unzFile zip = unzOpen64(path.c_str());
  ASSERT_NE(zip, nullptr);
  libdeflate_compressor* reference = libdeflate_alloc_compressor(6);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(unzLocateFile(zip, (std::string("dir/") + c.name).c_str(), 1), UNZ_OK);
    unz_file_info64 info;
    unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    const std::string expected = content(c.size, c.size);
    const bool stored = std::string(c.name).find(".gz") != std::string::npos;
    EXPECT_EQ(info.compression_method, stored ? 0u : 8u);
    EXPECT_EQ(info.tmu_date.tm_year, 2023u);  // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(info.tmu_date.tm_hour, 22u);

    std::string data(expected.size(), '\0');
    ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
    EXPECT_EQ(unzReadCurrentFile(zip, &data[0], static_cast<unsigned>(data.size())),
              static_cast<int>(data.size()));
    EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK);  // checks the CRC
    EXPECT_EQ(data, expected);

    // A whole entry is exactly what the whole-buffer compressor makes of it.
    int method = 0, level = 0;
    ASSERT_EQ(unzOpenCurrentFile2(zip, &method, &level, 1), UNZ_OK);
    std::string raw(info.compressed_size, '\0');
    unzReadCurrentFile(zip, &raw[0], static_cast<unsigned>(raw.size()));
    unzCloseCurrentFile(zip);
    std::string one_piece(libdeflate_deflate_compress_bound(reference, expected.size()), '\0');
    one_piece.resize(libdeflate_deflate_compress(reference, expected.data(), expected.size(),
                                                 &one_piece[0], one_piece.size()));
    if (!stored) {
      EXPECT_EQ(raw == one_piece, c.whole);
    }
  }
  libdeflate_free_compressor(reference);
  unzClose(zip);

  std::string command = "unzip -tqq '" + path + "' > /dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(PayloadWriterTest, SameInputsGiveSameBytesWhateverTheThreads) {
  std::string one = Sandbox::read(write_archive("one.zip", small_limits(1, 1)));
  std::string three = Sandbox::read(write_archive("three.zip", small_limits(3, 32)));
  std::string defaults = Sandbox::read(write_archive("defaults.zip", PayloadLimits()));
  EXPECT_FALSE(one.empty());
  EXPECT_TRUE(one == three);
  // Default limits put every case in one piece: other bytes, same entries.
  EXPECT_FALSE(one == defaults);
  EXPECT_TRUE(defaults == Sandbox::read(write_archive("again.zip", PayloadLimits())));
}

}  // namespace
}  // namespace quill::project
