// Where each install scope puts things, and how a package carries it.
#include "package/install_scope.h"

#include <gtest/gtest.h>

#include "package/macros.h"
#include "tests/support/memory_os.h"

namespace quill::package {
namespace {

TEST(InstallScope, EachScopeHasItsFoldersRootAndFile) {
  using F = os::SpecialFolder;
  const struct {
    InstallScope scope;
    os::RegistryRoot root;
    F desktop, programs;
    bool secured, file;
    const char* text;
  } cases[] = {
      // What a package without the file means: as every older package.
      {{Scope::machine, ShortcutFolders::current_user}, os::RegistryRoot::local_machine, F::desktop,
       F::programs, true, false, "machine\ncurrent user\n"},
      {{Scope::machine, ShortcutFolders::all_users}, os::RegistryRoot::local_machine, F::common_desktop,
       F::common_programs, true, true, "machine\nall users\n"},
      // A per-user install keeps to the user's own folders whatever it asks.
      {{Scope::user, ShortcutFolders::all_users}, os::RegistryRoot::current_user, F::desktop, F::programs,
       false, true, "user\nall users\n"},
      {{Scope::user, ShortcutFolders::current_user}, os::RegistryRoot::current_user, F::desktop,
       F::programs, false, true, "user\ncurrent user\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(uninstall_root(c.scope), c.root);
    EXPECT_EQ(desktop_folder(c.scope), c.desktop);
    EXPECT_EQ(programs_folder(c.scope), c.programs);
    EXPECT_EQ(secures_install_folder(c.scope), c.secured);
    EXPECT_EQ(needs_install_scope_file(c.scope), c.file);
    EXPECT_EQ(install_scope_text(c.scope), c.text);
    EXPECT_EQ(install_scope_from_text(c.text), c.scope);
  }
  // Unknown words and missing lines read as the default.
  EXPECT_EQ(install_scope_from_text("User\r\n"), InstallScope());
  EXPECT_EQ(install_scope_from_text("user\r\nall users\r\n").scope, Scope::user);
  EXPECT_EQ(install_scope_from_text(""), InstallScope());

  os::MemoryOs machine;
  EXPECT_EQ(expand_macros(machine, {}, std::string(default_folder_text(Scope::user)) + "|%program files%", ""),
            "C:\\Users\\User\\AppData\\Local\\Programs\\%name%|C:\\Program Files");
}

TEST(InstallScope, OnlyASingleAdministratorLevelIsRewrittenInPlace) {
  const std::string element = "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>";
  std::string program = std::string("MZ\0\1", 4) + element + "\xff";
  const std::size_t size = program.size();
  ASSERT_TRUE(request_no_elevation(&program));
  EXPECT_EQ(program.size(), size);
  EXPECT_NE(program.find("level=\"asInvoker\"" + std::string(12, ' ') + "uiAccess"), std::string::npos);
  EXPECT_TRUE(request_no_elevation(&program));  // already without elevation: unchanged
  EXPECT_EQ(program.size(), size);
  // The attribute's text elsewhere in the program (a constant of its code)
  // is not the manifest: the element alone is rewritten.
  std::string with_constant = std::string("level=\"requireAdministrator\"") + '\0' + element;
  ASSERT_TRUE(request_no_elevation(&with_constant));
  EXPECT_EQ(with_constant.find("level=\"requireAdministrator\""), 0u);
  EXPECT_NE(with_constant.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
  for (std::string odd : {std::string("no manifest"), element + element}) {
    const std::string kept = odd;
    EXPECT_FALSE(request_no_elevation(&odd));
    EXPECT_EQ(odd, kept);
  }
}

}  // namespace
}  // namespace quill::package
