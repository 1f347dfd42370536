// The LZMA payload: large files as entries of their own (x86 programs as
// converted blocks of their own), small ones in solid blocks. Every file reads back through the installer's archive
// reader in any order and through Python's ZIP reader; the bytes depend on
// nothing but the inputs; a damaged block or index reads as damaged.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "../project/sandbox.h"
#include "builder/project/payload_writer.h"
#include "package/archive.h"

namespace quill::project {
namespace {

struct Case {
  const char* name;
  std::size_t size;
  bool program = false;
};
// With the limits below: "big.bin" (LZMA) and "packed.gz" (stored) are
// entries of their own, "tool.so" (x86 code) is block 2, converted, the
// rest fill blocks 1 and 3 (the latter with the empty file). Block 1,
// big.bin and tool.so are larger than the reader's slots, so that they are
// decoded ahead on a second thread.
const Case kCases[] = {{"a.txt", 180000}, {"b.txt", 1},         {"c.txt", 270000}, {"big.bin", 540000},
                       {"d.txt", 240000}, {"packed.gz", 420000}, {"e.txt", 120000}, {"empty.txt", 0},
                       {"tool.so", 450000, true}};

std::string content(std::size_t size, std::size_t seed, bool program = false) {
  std::mt19937 random(static_cast<unsigned>(seed * 7919 + size));
  std::string data;
  if (program) {
    // x86-64 code to the converter: an ELF header, then near calls among
    // other bytes.
    data.assign("\x7f" "ELF\x02\x01\x01", 7);
    data.resize(18, '\0');
    data += "\x3e";
    data.resize(64, '\0');
    while (data.size() < size) {
      const std::uint32_t r = random();
      if (r % 6 == 0) {
        const std::uint32_t target = (r >> 8) % 4096 - 2048;
        data += '\xE8';
        for (int i = 0; i < 32; i += 8) data += static_cast<char>(target >> i);
      } else {
        data += "mov rax, [rbx + 8]; "[r % 20];
      }
    }
    // A call in the last 5 bytes, which the converter changes too.
    return data.substr(0, size - 5) + std::string("\xE8\x10\x00\x00\x00", 5);
  }
  while (data.size() < size) {
    data += "line " + std::to_string(random() % 50) + " of the payload\r\n";
    for (int i = random() % 3 ? 0 : 200; i > 0; --i) data += static_cast<char>(random());
  }
  return data.substr(0, size);
}

class LzmaPayloadTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }
  void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

  // Writes C:\<name>; returns its host path.
  std::string write_archive(const std::string& name, int workers) {
    PayloadLimits limits;
    limits.workers = workers;
    limits.compression = package::Compression::lzma;
    limits.large_entry = 384 * 1024;
    limits.solid_block = 600 * 1024;
    PayloadWriter writer(box_.os(), limits);
    const std::string path = box_.root() + "/C/" + name;
    box_.write("C/" + name, "");
    EXPECT_TRUE(writer.open(path));
    std::size_t seed = 0;
    for (const Case& c : kCases) {
      const std::string source = box_.write(std::string("src/") + c.name, content(c.size, seed++, c.program));
      EXPECT_EQ(writer.add_file(std::string("dir\\") + c.name, source), PayloadWriter::AddResult::added);
    }
    writer.add_data("%Quillpack%\\data.txt", "installer data");
    EXPECT_EQ(writer.close(), PayloadWriter::CloseResult::closed);
    return path;
  }

  // Extracts every case in the given order; true when each came back whole.
  void expect_extracted(package::Archive& archive, std::vector<std::size_t> order) {
    for (std::size_t i : order) {
      const Case& c = kCases[i];
      SCOPED_TRACE(c.name);
      const std::size_t index = archive.find_install_entry(std::string("dir\\") + c.name);
      ASSERT_NE(index, package::Archive::npos);
      EXPECT_EQ(archive.entry(index).uncompressed_size, c.size);
      ASSERT_EQ(archive.extract_entry(index, std::string("C:\\out\\") + c.name), package::ExtractResult::ok);
      EXPECT_EQ(box_.read(box_.root() + "/C/out/" + c.name), content(c.size, i, c.program));
    }
  }

  quill::testing::Sandbox box_;
};

TEST_F(LzmaPayloadTest, EveryFileReadsBackInAnyOrderThroughBothReaders) {
  const std::string path = write_archive("p.zip", 2);
  package::Archive archive;
  ASSERT_TRUE(archive.open(box_.os(), "C:\\p.zip"));
  EXPECT_FALSE(archive.damaged());
  // The blocks themselves are never listed; their files are.
  std::vector<std::string> names;
  for (std::size_t i = 0; i < archive.entry_count(); ++i) names.push_back(archive.entry(i).name);
  EXPECT_EQ(std::count_if(names.begin(), names.end(),
                          [](const std::string& n) { return n.rfind("%Quillpack%/solid/", 0) == 0; }),
            0);
  EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("dir/", 0) == 0; }),
            9);
  std::vector<std::size_t> forward = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  expect_extracted(archive, forward);
  // Backwards every file of a block starts the block over; across blocks
  // and single entries too.
  expect_extracted(archive, {8, 7, 6, 5, 4, 3, 2, 1, 0});
  expect_extracted(archive, {4, 0, 6, 2});
  std::string data;
  ASSERT_EQ(archive.read_entry(archive.find_install_entry("dir\\c.txt"), 1 << 20, &data), package::ExtractResult::ok);
  EXPECT_EQ(data, content(270000, 2));

  // An independent reader takes the archive as it is (its LZMA entries
  // included) and finds every checksum right; liblzma's x86 filter turns
  // the program's block, whose bytes were converted, back into the file.
  const std::string command =
      "python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import package_payload as p; "
      "names, read, z = p.open_payload(open(sys.argv[2], \"rb\").read()); "
      "tool = open(sys.argv[3], \"rb\").read(); "
      "sys.exit(z.getinfo(\"dir/big.bin\").compress_type != 14 or read(\"dir/tool.so\") != tool or "
      "z.read(\"%Quillpack%/solid/2-x86\") == tool)' " QUILL_SOURCE_DIR "/tests/support '" +
      path + "' '" + box_.root() + "/src/tool.so'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(LzmaPayloadTest, SameInputsGiveSameBytesWhateverTheThreads) {
  const std::string one = box_.read(write_archive("one.zip", 1));
  EXPECT_FALSE(one.empty());
  EXPECT_TRUE(one == box_.read(write_archive("three.zip", 3)));
}

// One byte changed inside a block's data: the block's files from there on
// read as damaged and leave nothing behind; files before it (though the
// damage was decoded ahead while they were read) and elsewhere still read.
TEST_F(LzmaPayloadTest, ADamagedBlockOrIndexReadsAsDamaged) {
  const std::string path = write_archive("p.zip", 2);
  // The first block's data begins right after its local header's name.
  const std::string block = "%Quillpack%/solid/1";
  const std::string bytes = box_.read(path);
  const std::size_t header = bytes.find(block);
  ASSERT_NE(header, std::string::npos);
  const std::size_t block_end = bytes.find("PK\x03\x04", header);
  ASSERT_NE(block_end, std::string::npos);
  // Near the block's start c.txt is damaged; near its end only d.txt, its
  // last file, is.
  const struct {
    std::size_t at;
    std::vector<std::size_t> whole;
    const char* damaged;
  } damages[] = {{header + block.size() + 200, {}, "c.txt"}, {block_end - 100, {0, 2}, "d.txt"}};
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.damaged);
    std::string bad = bytes;
    bad[damage.at] ^= 0x55;
    box_.write("C/bad.zip", bad);
    package::Archive archive;
    ASSERT_TRUE(archive.open(box_.os(), "C:\\bad.zip"));
    expect_extracted(archive, damage.whole);
    const std::string out = std::string("C:\\out\\") + damage.damaged;
    EXPECT_EQ(archive.extract_entry(archive.find_install_entry(std::string("dir\\") + damage.damaged), out),
              package::ExtractResult::damaged);
    EXPECT_FALSE(box_.os().file_status(out).exists);
    expect_extracted(archive, {3, 6});  // big.bin on its own, e.txt in the second block
  }
}

// Another writer's LZMA entry and block of converted x86 code (Python's,
// with the stream's end marker and a dictionary larger than its data) read
// the same.
TEST_F(LzmaPayloadTest, AnotherWritersLzmaEntryAndBlockRead) {
  const std::string command =
      "python3 -c 'import zipfile,sys,lzma,zlib; z=zipfile.ZipFile(sys.argv[1], \"w\"); "
      "z.writestr(\"x.txt\", b\"other writer \" * 999, zipfile.ZIP_LZMA); "
      "code = b\"\\x55\\xe8\\x10\\x00\\x00\\x00\\x90\" * 999 + b\"\\xe8\\x10\\x00\\x00\\x00\"; "
      "chain = [{\"id\": lzma.FILTER_LZMA2}]; "
      "coded = lzma.decompress(lzma.compress(code, lzma.FORMAT_RAW, filters=[{\"id\": lzma.FILTER_X86}] + chain), "
      "lzma.FORMAT_RAW, filters=chain); "
      "z.writestr(\"%Quillpack%/solid/1-x86\", coded, zipfile.ZIP_LZMA); "
      "z.writestr(\"%Quillpack%/solid.txt\", \"1\\t%d\\t%08x\\t5a8c6000\\tx.dll\\n\" % (len(code), zlib.crc32(code)))' '" +
      box_.root() + "/C/other.zip'";
  box_.write("C/other.zip", "");
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  package::Archive archive;
  ASSERT_TRUE(archive.open(box_.os(), "C:\\other.zip"));
  EXPECT_FALSE(archive.damaged());
  std::string data;
  ASSERT_EQ(archive.read_entry(archive.find_install_entry("x.txt"), 1 << 20, &data), package::ExtractResult::ok);
  std::string expected;
  for (int i = 0; i < 999; ++i) expected += "other writer ";
  EXPECT_EQ(data, expected);
  ASSERT_EQ(archive.read_entry(archive.find_install_entry("x.dll"), 1 << 20, &data), package::ExtractResult::ok);
  expected.clear();
  for (int i = 0; i < 999; ++i) expected += std::string("\x55\xE8\x10\x00\x00\x00\x90", 7);
  EXPECT_EQ(data, expected + std::string("\xE8\x10\x00\x00\x00", 5));
}

// A cancel while close waits for an entry still being encoded ends the
// close as aborted. The entry's source is a pipe that yields no data until
// the cancel question closes its far end, so close must be waiting then.
TEST_F(LzmaPayloadTest, ACancelWhileTheLastEntryIsEncodedAbortsTheClose) {
  const std::string pipe = box_.root() + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int far_end = ::open(pipe.c_str(), O_RDWR);
  ASSERT_GE(far_end, 0);
  PayloadLimits limits;
  limits.compression = package::Compression::lzma;
  limits.large_entry = 0;  // every file an entry of its own, read by a worker
  PayloadWriter writer(box_.os(), limits);
  ASSERT_TRUE(writer.open(box_.root() + "/C/p.zip"));
  ASSERT_EQ(writer.add_file("dir\\endless.bin", pipe), PayloadWriter::AddResult::added);
  int asked = 0;
  const auto cancel = [&] {
    if (asked++ == 0) ::close(far_end);
    return true;
  };
  EXPECT_EQ(writer.close(cancel), PayloadWriter::CloseResult::aborted);
  EXPECT_GE(asked, 1);
}

}  // namespace
}  // namespace quill::project
