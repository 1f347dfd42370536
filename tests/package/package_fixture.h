// Test helpers for the package module: a fresh sandbox machine per test and
// a writer for test packages (stub bytes, ZIP archive, 8-byte trailer).
#pragma once

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <stdlib.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "builder/project/lzma_encode.h"
#include "builder/project/zip_method_patch.h"
#include "os/posix_os.h"
#include "package/compression.h"
#include "package/entry_names.h"
#include "package/solid_index.h"

namespace quill::package::test {

struct ZipEntry {
  std::string name;
  std::string data;
  bool stored = false;
  std::uint32_t external_attributes = 0;
  std::uint32_t dos_date_time = 0x5A8C6000;  // 2025-04-12 12:00:00
};

// With QUILL_TEST_COMPRESSION=lzma the archives these helpers write are LZMA
// payloads as the builder writes them: the files to install (entries that
// are no data entries, are not stored and carry no attributes of their own)
// go into a solid block, and any larger than 64 KiB become LZMA entries of
// their own. Test binaries registered for both compressions run every test
// once each way.
inline bool lzma_payloads() {
  const char* compression = std::getenv("QUILL_TEST_COMPRESSION");
  return compression != nullptr && std::string(compression) == "lzma";
}

// Writes one raw entry of `method` (0, 8 or LZMA's 14) through minizip.
inline void write_raw_entry(zipFile zip, project::ZipMethodPatch& patch, const std::string& name,
                            std::uint32_t dos_date_time, std::uint32_t attributes, unsigned method,
                            const std::vector<unsigned char>& data, std::uint64_t size, std::uint32_t crc) {
  zip_fileinfo info = {};
  info.dosDate = dos_date_time;
  info.external_fa = attributes;
  patch.next_entry_method(static_cast<std::uint16_t>(method));
  ASSERT_EQ(zipOpenNewFileInZip2_64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 1, 0), ZIP_OK);
  if (!data.empty()) {
    ASSERT_EQ(zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())), ZIP_OK);
  }
  ASSERT_EQ(zipCloseFileInZipRaw64(zip, size, crc), ZIP_OK);
}

// Writes a ZIP archive at a host path with minizip's own file access.
inline void write_zip(const std::string& host_path, const std::vector<ZipEntry>& entries) {
  std::filesystem::create_directories(std::filesystem::path(host_path).parent_path());
  zlib_filefunc64_def files;
  fill_fopen64_filefunc(&files);
  zlib_filefunc64_def io;
  project::ZipMethodPatch patch;
  patch.wrap(files, &io);
  zipFile zip = zipOpen2_64(host_path.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
  ASSERT_NE(zip, nullptr);
  std::vector<unsigned char> block;
  std::vector<SolidMember> members;
  std::atomic<bool> never{false};
  for (const ZipEntry& entry : entries) {
    const bool lzma = lzma_payloads() && !entry.stored && entry.external_attributes == 0 &&
                      !is_data_entry_name(entry.name) && !entry.name.empty() && entry.name.back() != '/';
    const std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
    if (lzma && entry.data.size() > 64 * 1024) {
      std::vector<unsigned char> out;
      project::lzma_encode(reinterpret_cast<const unsigned char*>(entry.data.data()), nullptr,
                           entry.data.size(), false, never, &out);
      write_raw_entry(zip, patch, entry.name, entry.dos_date_time, 0, kLzmaMethod, out, entry.data.size(), crc);
      continue;
    }
    if (lzma) {
      members.push_back({1, static_cast<std::uint32_t>(entry.data.size()), crc, entry.dos_date_time, entry.name});
      block.insert(block.end(), entry.data.begin(), entry.data.end());
      continue;
    }
    zip_fileinfo info = {};
    info.dosDate = entry.dos_date_time;
    info.external_fa = entry.external_attributes;
    int method = entry.stored ? 0 : Z_DEFLATED;
    int level = entry.stored ? 0 : Z_DEFAULT_COMPRESSION;
    ASSERT_EQ(zipOpenNewFileInZip64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                    nullptr, method, level, 0),
              ZIP_OK);
    if (!entry.data.empty()) {
      ASSERT_EQ(zipWriteInFileInZip(zip, entry.data.data(),
                                    static_cast<unsigned>(entry.data.size())),
                ZIP_OK);
    }
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  if (!members.empty()) {
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, block.data(), static_cast<uInt>(block.size())));
    std::vector<unsigned char> out;
    project::lzma_encode(block.data(), nullptr, block.size(), false, never, &out);
    write_raw_entry(zip, patch, solid_block_name(1), 0x5A8C6000, 0, kLzmaMethod, out, block.size(), crc);
    const std::string index = render_solid_index(members);
    const std::vector<unsigned char> text(index.begin(), index.end());
    write_raw_entry(zip, patch, kSolidIndexName, 0x5A8C6000, 0, 0, text, text.size(),
                    static_cast<std::uint32_t>(crc32(0, text.data(), static_cast<uInt>(text.size()))));
  }
  patch.directory_follows();
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

inline std::string read_host_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_host_file(const std::string& path, const std::string& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

// A stub with a PE header whose certificate table entry names `table` and
// `size` (a file offset, as signing tools write it).
inline std::string pe_stub(bool plus, std::uint32_t table, std::uint32_t size) {
  std::string stub(512, '\0');
  auto put32 = [&stub](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) stub[at + i] = static_cast<char>(v >> (8 * i));
  };
  stub[0] = 'M', stub[1] = 'Z';
  put32(0x3C, 0x80);
  stub.replace(0x80, 4, std::string("PE\0\0", 4));
  const std::size_t optional = 0x80 + 24;
  stub[optional] = 0x0B, stub[optional + 1] = plus ? 0x02 : 0x01;
  put32(optional + (plus ? 108 : 92), 16);
  const std::size_t security = optional + (plus ? 112 : 96) + 4 * 8;
  put32(security, table);
  put32(security + 4, size);
  return stub;
}

inline std::string trailer(std::uint64_t length) {
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
  return bytes;
}

class SandboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quill-package-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    os_ = std::make_unique<os::PosixOs>(root_);
  }
  void TearDown() override {
    os_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  os::PosixOs& os() { return *os_; }
  std::string host(const std::string& windows_path) { return os_->host_path(windows_path); }

  // Writes a package "C:\setup.exe" of stub bytes, the archive and its
  // trailer, and makes it the module path. Returns the archive's bytes.
  std::string make_package(const std::vector<ZipEntry>& entries) {
    std::string zip_path = root_ + "/payload.zip";
    write_zip(zip_path, entries);
    std::string archive = read_host_file(zip_path);
    install_package(std::string("MZ stub bytes") + archive + trailer(archive.size()));
    return archive;
  }
  void install_package(const std::string& bytes) {
    write_host_file(host("C:\\setup.exe"), bytes);
    os_->set_module_path("C:\\setup.exe");
  }

  // Every regular file below the sandbox, as host paths.
  std::vector<std::string> sandbox_files() {
    std::vector<std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root_)) {
      if (item.is_regular_file()) files.push_back(item.path().string());
    }
    return files;
  }

  std::string root_;
  std::unique_ptr<os::PosixOs> os_;
};

}  // namespace quill::package::test
