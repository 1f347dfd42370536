// The package's end in a signed file: the trailer before the certificate
// table, with or without the zero bytes a signing tool pads with.
#include "package/trailer.h"

#include "package_fixture.h"

namespace quill::package {
namespace {

class TrailerTest : public test::SandboxTest {};

TEST_F(TrailerTest, PaddingBeforeTheTableIsPassedOnlyWhereTheArchiveConfirmsIt) {
  test::write_zip(root_ + "/payload.zip", {{"%Quillpack%/wt.txt", "Welcome"}});
  const std::string archive = test::read_host_file(root_ + "/payload.zip");
  std::string broken = archive;
  broken[broken.size() - 22] = 'X';  // the end record's signature
  const std::string table(24, 'C');
  const std::string zero(1, '\0');
  struct Case {
    const char* what;
    std::string archive;
    std::uint64_t trailer;
    std::string padding;
    bool found;  // the package ends after the trailer, not at the table
  };
  const Case cases[] = {
      {"no padding", archive, archive.size(), "", true},
      {"one zero", archive, archive.size(), zero, true},
      {"three zeros", archive, archive.size(), std::string(3, '\0'), true},
      {"seven zeros", archive, archive.size(), std::string(7, '\0'), true},
      {"eight zeros", archive, archive.size(), std::string(8, '\0'), false},
      {"a byte that is not zero", archive, archive.size(), zero + "x" + zero, false},
      {"no end record", broken, broken.size(), std::string(3, '\0'), false},
      {"a trailer one short", archive, archive.size() - 1, std::string(3, '\0'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::uint64_t data_end = 512 + c.archive.size() + kTrailerSize;
    const std::uint64_t table_at = data_end + c.padding.size();
    install_package(test::pe_stub(false, static_cast<std::uint32_t>(table_at), 24) + c.archive +
                    test::trailer(c.trailer) + c.padding + table);
    std::unique_ptr<os::File> file = os().open_file("C:\\setup.exe", os::OpenMode::read);
    ASSERT_TRUE(file);
    EXPECT_EQ(package_data_end(*file, file->size()), c.found ? data_end : table_at);
  }
}

}  // namespace
}  // namespace quill::package
