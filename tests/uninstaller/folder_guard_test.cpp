// Path comparison and the folders a removal may not delete.
#include "uninstaller/folder_guard.h"

#include <gtest/gtest.h>

#include <cstring>

#include "os/posix_os.h"
#include "tests/os/sandbox.h"

namespace quill::uninstaller {
namespace {

TEST(ComparableFolderPath, SpellingsOfOneFolderCompareEqual) {
  const std::string windows = "C:\\WINDOWS";
  for (const char* spelling : {"C:\\Windows", "c:\\windows\\", "C:/Windows", "C:\\\\Windows",
                               "C:\\Windows.", "C:\\Windows .\\", "c:/windows//"}) {
    EXPECT_EQ(comparable_folder_path(spelling), windows) << spelling;
  }
  EXPECT_EQ(comparable_folder_path("C:\\"), "C:");
  EXPECT_EQ(comparable_folder_path("d:"), "");
  EXPECT_EQ(comparable_folder_path("\\\\server\\share\\Tools\\"), "\\\\SERVER\\SHARE\\TOOLS");
}

TEST(ComparableFolderPath, PathsThatCouldHideAnotherFolderAreRefused) {
  for (const char* path :
       {"", "Windows", ".", "\\Windows", "C:Windows", "C:\\Program Files\\Tool\\..",
        "C:\\Program Files\\.\\Tool", "C:\\Tool\\...", "\\\\?\\C:\\Windows",
        "\\\\.\\C:", "C:\\Windows::$INDEX_ALLOCATION", "C:\\Win*", "\\\\server", "\\\\\\share",
        "\\\\server\\\\"}) {
    EXPECT_EQ(comparable_folder_path(path), "") << path;
  }
}

TEST(FolderGuard, ProtectsRootsListedFoldersAndTheirAncestors) {
  FolderGuard guard({"C:\\Windows", "C:\\Users\\Ann\\Desktop", "\\\\srv\\home\\ann"});
  for (const char* refused : {"C:\\", "D:\\", "c:/windows/", "C:\\Users", "C:\\Users\\Ann\\",
                              "C:\\USERS\\ANN\\DESKTOP", "\\\\srv\\home", "\\\\srv\\home\\Ann",
                              "\\\\srv\\other", "Tool", ""}) {
    EXPECT_FALSE(guard.may_remove(refused)) << refused;
  }
  for (const char* allowed : {"C:\\Windows\\Tool", "C:\\Users\\Ann\\Desktop\\Group",
                              "C:\\Users\\Annette", "C:\\Program Files\\Tool\\",
                              "\\\\srv\\home\\ann\\tool", "D:\\Games\\Tool"}) {
    EXPECT_TRUE(guard.may_remove(allowed)) << allowed;
  }
}

// A machine whose "PROGRA~1" and "USER~1" parts are short names.
class ShortNamesOs : public os::PosixOs {
 public:
  using PosixOs::PosixOs;
  std::string long_path_name(const std::string& path) override {
    std::string result = path;
    for (auto [alias, name] : {std::pair<const char*, const char*>{"PROGRA~1", "Program Files"},
                               {"USER~1", "User"}}) {
      std::size_t at = result.find(alias);
      if (at != std::string::npos) result.replace(at, std::strlen(alias), name);
    }
    return result;
  }
};

TEST(FolderGuard, JudgesShortNamesByTheLongNameTheyStandFor) {
  quill::testing::Sandbox sandbox;
  ShortNamesOs os(sandbox.root());
  FolderGuard guard(os);
  for (const char* refused : {"C:\\PROGRA~1", "C:\\PROGRA~1\\", "C:\\Users\\USER~1\\Desktop"}) {
    EXPECT_FALSE(guard.may_remove(refused)) << refused;
  }
  // A name that only looks like an alias is an ordinary folder.
  for (const char* allowed : {"C:\\PROGRA~1\\Tool", "C:\\Program Files\\My~1Tool",
                              "C:\\Users\\USER~1\\Desktop\\Group"}) {
    EXPECT_TRUE(guard.may_remove(allowed)) << allowed;
  }
}

}  // namespace
}  // namespace quill::uninstaller
