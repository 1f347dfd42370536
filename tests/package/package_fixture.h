// Test helpers for the package module: a fresh sandbox machine per test and
// a writer for test packages (stub bytes, ZIP archive, 8-byte trailer).
#pragma once

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "os/posix_os.h"

namespace quill::package::test {

struct ZipEntry {
  std::string name;
  std::string data;
  bool stored = false;
  std::uint32_t external_attributes = 0;
  std::uint32_t dos_date_time = 0x5A8C6000;  // 2025-04-12 12:00:00
};

// Writes a ZIP archive at a host path with minizip's own file access.
inline void write_zip(const std::string& host_path, const std::vector<ZipEntry>& entries) {
  std::filesystem::create_directories(std::filesystem::path(host_path).parent_path());
  zipFile zip = zipOpen64(host_path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const ZipEntry& entry : entries) {
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
