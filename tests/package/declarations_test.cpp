// The declarations' text form: what it carries back unchanged, and what it
// refuses as damaged.
#include "package/declarations.h"

#include <gtest/gtest.h>

namespace quill::package {
namespace {

TEST(Declarations, TextFormRoundTripsEveryKind) {
  Declarations d;
  d.registry_values.push_back({RegistryRoot::scope, "Software\\Vendor\\App", "", RegistryType::string,
                               "%install path%", true, false});
  d.registry_values.push_back({RegistryRoot::local_machine, "Software\\Vendor", "Count", RegistryType::number,
                               "4294967295", false, true});
  d.registry_values.push_back({RegistryRoot::current_user, "Software\\\xC3\xA9t\xC3\xA9", "Home",
                               RegistryType::expandable_string, "%USERPROFILE%\\x", true, true});
  d.associations.push_back({".xyz", "Vendor.App.xyz", "XYZ document", "bin\\App.exe", "", "\"%1\""});
  d.associations.push_back({".tar.gz", "Vendor.Arc", "", "App.exe", "icons\\a.ico", ""});
  d.paths.push_back({"%install path%", EnvironmentScope::current_user});
  d.paths.push_back({"%install path%\\bin", EnvironmentScope::machine});
  d.variables.push_back({"APP_HOME", "%install path%", EnvironmentScope::machine});
  d.variables.push_back({"EMPTY", "", EnvironmentScope::current_user});

  const std::string text = declarations_text(d);
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "registry\tscope\tSoftware\\Vendor\\App\t\tstring\t%install path%\tremove\tkeep key");
  Declarations back;
  std::string error;
  ASSERT_TRUE(parse_declarations(text, &back, &error)) << error;
  EXPECT_EQ(declarations_text(back), text);
  ASSERT_EQ(back.registry_values.size(), 3u);
  EXPECT_EQ(back.registry_values[1].type, RegistryType::number);
  EXPECT_FALSE(back.registry_values[1].remove_on_uninstall);
  EXPECT_TRUE(back.registry_values[1].remove_key_when_empty);
  EXPECT_EQ(back.associations[1].icon, "icons\\a.ico");
  EXPECT_EQ(back.paths[1].scope, EnvironmentScope::machine);

  // Stored with CR LF, read the same; nothing reads as no declarations.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_TRUE(parse_declarations(crlf, &back, &error)) << error;
  EXPECT_EQ(declarations_text(back), text);
  ASSERT_TRUE(parse_declarations("", &back, &error));
  EXPECT_TRUE(back.empty());
}

TEST(Declarations, RefusesDamagedOrHostileRecords) {
  const std::string ok_registry = "registry\tscope\tSoftware\\A\tN\tstring\tD\tremove\tkeep key";
  const std::string long_key(256, 'k');
  const struct {
    std::string text;
    const char* why;  // part of the error
  } cases[] = {
      {"hive\tx", "unknown kind"},
      {"\n", "empty line"},
      {ok_registry + "\n\n", "line 2: empty line"},
      {"registry\tclasses\tSoftware\\A\tN\tstring\tD\tremove\tkeep key", "root"},
      {"registry\tscope\tSoftware\\A\tN\tbinary\tD\tremove\tkeep key", "type"},
      {"registry\tscope\tSoftware\\A\tN\tstring\tD\tremove", "fields"},
      {ok_registry + "\textra", "fields"},
      {"registry\tscope\tSoftware\\A\tN\tstring\tD\tmaybe\tkeep key", "uninstall"},
      {"registry\tscope\t\tN\tstring\tD\tremove\tkeep key", "key is empty"},
      {"registry\tscope\t\\Software\tN\tstring\tD\tremove\tkeep key", "empty part"},
      {"registry\tscope\tA\\\\B\tN\tstring\tD\tremove\tkeep key", "empty part"},
      {"registry\tscope\t" + long_key + "\tN\tstring\tD\tremove\tkeep key", "too long"},
      {"registry\tscope\tA\t" + std::string(16384, 'n') + "\tstring\tD\tremove\tkeep key", "too long"},
      {"registry\tscope\tA\tN\tstring\t" + std::string(32768, 'd') + "\tremove\tkeep key", "too long"},
      {"registry\tscope\tA\tN\tnumber\t4294967296\tremove\tkeep key", "decimal"},
      {"registry\tscope\tA\tN\tnumber\t-1\tremove\tkeep key", "decimal"},
      {"registry\tscope\tA\tN\tnumber\t\tremove\tkeep key", "decimal"},
      {"registry\tscope\tA\tN\tstring\ta\rb\tremove\tkeep key", "control"},
      {"registry\tscope\tA\tN\tstring\t\xC0\xAF\tremove\tkeep key", "UTF-8"},
      {"association\txyz\tP\tD\tA.exe\t\t\"%1\"", "extension"},
      {"association\t.\tP\tD\tA.exe\t\t\"%1\"", "extension"},
      {"association\t.x y\tP\tD\tA.exe\t\t\"%1\"", "extension"},
      {"association\t.x|y\tP\tD\tA.exe\t\t\"%1\"", "extension"},
      {"association\t." + std::string(65, 'x') + "\tP\tD\tA.exe\t\t\"%1\"", "too long"},
      {"association\t.xyz\tA B\tD\tA.exe\t\t\"%1\"", "program identifier"},
      {"association\t.xyz\t.exe\tD\tA.exe\t\t\"%1\"", "program identifier"},
      {"association\t.xyz\t" + std::string(256, 'p') + "\tD\tA.exe\t\t\"%1\"", "too long"},
      {"association\t.xyz\tP\tD\t\t\t\"%1\"", "file is empty"},
      {"path\tuser\tC:\\Windows", "install path"},
      {"path\tuser\t%install path%\\..\\..\\Windows", "install path"},
      {"path\tuser\t%install path%bin", "install path"},
      {"path\tuser\t%install path%\\%windows%", "install path"},
      {"path\tuser\t%install path%\\", "install path"},
      {"path\tsystem\t%install path%", "environment"},
      {"variable\tuser\tA=B\tv", "'='"},
      {"variable\tuser\tPath\tC:\\", "PATH"},
      {"variable\tuser\t\tv", "name is empty"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    Declarations d;
    d.paths.push_back({"%install path%"});
    std::string error;
    EXPECT_FALSE(parse_declarations(c.text, &d, &error));
    EXPECT_NE(error.find(c.why), std::string::npos) << error;
    EXPECT_EQ(d.paths.size(), 1u);  // left as it was
  }

  // A bad record after good ones names its line; too many records are refused.
  std::string error;
  Declarations d;
  EXPECT_FALSE(parse_declarations(ok_registry + "\r\n" + ok_registry + "\r\nkey\r\n", &d, &error));
  EXPECT_EQ(error.substr(0, 7), "line 3:");
  std::string many;
  for (std::size_t i = 0; i < kMaxDeclarations; ++i) many += "path\tuser\t%install path%\n";
  EXPECT_TRUE(parse_declarations(many, &d, &error)) << error;
  EXPECT_FALSE(parse_declarations(many + "path\tuser\t%install path%\n", &d, &error));
  EXPECT_NE(error.find("more than"), std::string::npos);
}

}  // namespace
}  // namespace quill::package
