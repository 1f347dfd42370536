// "manifest" and "describe" over the sandbox, their output read back with
// yaml-cpp and nlohmann-json: each field of the manifest against the rules
// the package manager's published schemas (manifest version 1.6.0) state
// for it, for the example project and for a per-user x64 project with a
// Unicode name; the values against what the installer registers.
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "cli/command.h"
#include "installer/command_line.h"
#include "package/uninstall_key.h"
#include "tests/cli/sandbox_platform.h"
#include "tests/project/sandbox.h"
#include "text/unicode.h"

namespace quill::cli {
namespace {

// SHA-256 of "abc".
const char kAbcSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const char kIdentifier[] = R"(^[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}(\.[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}){1,7}$)";
const char kVersion[] = R"(^[^\\/:\*\?"<>\|\x01-\x1f]+$)";
const char kLocale[] = R"(^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$)";
const std::size_t kAny = 1u << 20;

// A rule of the schemas for one field; "*" stands for any list index.
struct Rule {
  const char* pattern;  // nullptr: none
  std::size_t min, max;  // characters
  std::set<std::string> choices;  // empty: any
};
const std::map<std::string, Rule>& rules() {
  static const std::map<std::string, Rule> r = {
      {"PackageIdentifier", {kIdentifier, 1, 128, {}}},
      {"PackageVersion", {kVersion, 1, 128, {}}},
      {"DefaultLocale", {kLocale, 1, 20, {}}},
      {"PackageLocale", {kLocale, 1, 20, {}}},
      {"Publisher", {nullptr, 2, 256, {}}},
      {"PackageName", {nullptr, 2, 256, {}}},
      {"License", {nullptr, 3, 512, {}}},
      {"ShortDescription", {nullptr, 3, 256, {}}},
      {"ManifestType", {nullptr, 1, kAny, {"version", "defaultLocale", "installer"}}},
      {"ManifestVersion", {nullptr, 1, kAny, {"1.6.0"}}},
      {"InstallerType", {nullptr, 1, kAny, {"msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix",
                                            "burn", "pwa", "portable"}}},
      {"Scope", {nullptr, 1, kAny, {"user", "machine"}}},
      {"InstallModes/*", {nullptr, 1, kAny, {"interactive", "silent", "silentWithProgress"}}},
      {"InstallerSwitches/Silent", {nullptr, 1, 512, {}}},
      {"InstallerSwitches/SilentWithProgress", {nullptr, 1, 512, {}}},
      {"InstallerSwitches/InstallLocation", {nullptr, 1, 512, {}}},
      {"InstallerSwitches/Log", {nullptr, 1, 512, {}}},
      {"ExpectedReturnCodes/*/InstallerReturnCode", {"^-?[1-9][0-9]{0,9}$", 1, kAny, {}}},
      {"ExpectedReturnCodes/*/ReturnResponse",
       {nullptr, 1, kAny, {"packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse",
                           "missingDependency", "diskFull", "insufficientMemory", "invalidParameter",
                           "noNetwork", "contactSupport", "rebootRequiredToFinish", "rebootRequiredForInstall",
                           "rebootInitiated", "cancelledByUser", "alreadyInstalled", "downgrade",
                           "blockedByPolicy", "systemNotSupported", "custom"}}},
      {"UpgradeBehavior", {nullptr, 1, kAny, {"install", "uninstallPrevious"}}},
      {"AppsAndFeaturesEntries/*/DisplayName", {nullptr, 1, 256, {}}},
      {"AppsAndFeaturesEntries/*/Publisher", {nullptr, 1, 256, {}}},
      {"AppsAndFeaturesEntries/*/DisplayVersion", {nullptr, 1, 128, {}}},
      {"AppsAndFeaturesEntries/*/ProductCode", {nullptr, 1, 255, {}}},
      {"Installers/*/Architecture", {nullptr, 1, kAny, {"x86", "x64", "arm", "arm64", "neutral"}}},
      {"Installers/*/InstallerUrl", {"^([Hh][Tt][Tt][Pp][Ss]?)://.+$", 1, 2048, {}}},
      {"Installers/*/InstallerSha256", {"^[A-Fa-f0-9]{64}$", 1, kAny, {}}},
  };
  return r;
}

const std::map<std::string, std::vector<std::string>> kRequired = {
    {"version", {"PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"}},
    {"defaultLocale", {"PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                       "License", "ShortDescription", "ManifestType", "ManifestVersion"}},
    {"installer", {"PackageIdentifier", "PackageVersion", "InstallerType", "ManifestType", "ManifestVersion",
                   "Installers/*/Architecture", "Installers/*/InstallerUrl", "Installers/*/InstallerSha256"}},
};

std::size_t characters(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < text.size(); ++n) text::next_code_point(text, &pos);
  return n;
}

// Every scalar of a document by its path.
void leaves(const YAML::Node& node, const std::string& path, std::multimap<std::string, std::string>* out) {
  if (node.IsMap()) {
    for (const auto& kv : node) leaves(kv.second, (path.empty() ? "" : path + "/") + kv.first.as<std::string>(), out);
  } else if (node.IsSequence()) {
    for (const auto& item : node) leaves(item, path + "/*", out);
  } else {
    out->emplace(path, node.as<std::string>());
  }
}

class ListingCommandsTest : public ::testing::Test, protected CommandBox {
 protected:
  ListingCommandsTest() { box.write("out/setup.exe", "abc"); }

  // The three files of a manifest by their ManifestType, each checked
  // against the rules: every field we write has one and keeps it, and no
  // required field is missing.
  std::map<std::string, YAML::Node> manifest(const std::string& project) {
    EXPECT_EQ(run({"manifest", project, "--winget", "m", "--url", "https://example.com/setup.exe", "--package",
                   "out/setup.exe"}),
              0)
        << last_err;
    std::map<std::string, YAML::Node> files;
    for (const auto& entry : std::filesystem::directory_iterator(box.root() + "/m")) {
      const std::string text = testing::Sandbox::read(entry.path().string());
      EXPECT_EQ(text.rfind("# yaml-language-server: $schema=https://aka.ms/winget-manifest.", 0), 0u);
      YAML::Node doc = YAML::Load(text);
      const std::string type = doc["ManifestType"].as<std::string>();
      EXPECT_NE(entry.path().filename().string().find(doc["PackageIdentifier"].as<std::string>()), std::string::npos);
      std::multimap<std::string, std::string> fields;
      leaves(doc, "", &fields);
      for (const std::string& required : kRequired.at(type)) EXPECT_EQ(fields.count(required) > 0, true) << required;
      for (const auto& [path, value] : fields) {
        auto rule = rules().find(path);
        if (rule == rules().end()) {
          ADD_FAILURE() << "no rule for " << path;
          continue;
        }
        const Rule& r = rule->second;
        EXPECT_GE(characters(value), r.min) << path;
        EXPECT_LE(characters(value), r.max) << path;
        if (r.pattern) {
          EXPECT_TRUE(std::regex_search(value, std::regex(r.pattern))) << path << ": " << value;
        }
        if (!r.choices.empty()) {
          EXPECT_EQ(r.choices.count(value), 1u) << path << ": " << value;
        }
      }
      files[type] = doc;
    }
    EXPECT_EQ(files.size(), 3u);
    std::filesystem::remove_all(box.root() + "/m");
    return files;
  }
};

TEST_F(ListingCommandsTest, ManifestsKeepTheSchemasRulesAndMatchTheUninstallEntry) {
  // The example project as the examples folder keeps it.
  std::string example = testing::Sandbox::read(QUILL_SOURCE_DIR "/examples/example/example.qsp.in");
  for (std::size_t at; (at = example.find("@EXAMPLE@")) != std::string::npos;) {
    example.replace(at, 9, QUILL_SOURCE_DIR "/examples/example");
  }
  box.write("example.qsp", example);
  // Every setting the manifest follows, and a name and publisher outside ASCII.
  ASSERT_EQ(run({"new", "all.qsp", "--name", "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC"}), 0);
  ASSERT_EQ(run({"set", "all.qsp", "architecture=x64", "install-scope=user", "licence-name=Proprietary",
                 "short-description=Tests every setting.", "uninstaller=on"}),
            0);
  ASSERT_EQ(run({"macro", "all.qsp", "add", "%version%", "2.0.1-beta"}), 0);
  ASSERT_EQ(run({"macro", "all.qsp", "add", "%publisher%", "\xC3\x9Cn\xC3\xAF Soft Ltd."}), 0);

  struct Case {
    const char* project;
    const char* identifier, *name, *version, *publisher, *architecture, *scope;
  };
  for (const Case& c : {Case{"example.qsp", "QuillExampleWorks.ExampleApp", "Example App", "1.0.0",
                             "Quill Example Works", "x86", "machine"},
                        Case{"all.qsp", "\xC3\x9Cn\xC3\xAFSoftLtd.Caf\xC3\xA9\xE6\x97\xA5\xE6\x9C\xAC",
                             "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", "2.0.1-beta", "\xC3\x9Cn\xC3\xAF Soft Ltd.",
                             "x64", "user"}}) {
    SCOPED_TRACE(c.project);
    auto files = manifest(c.project);
    YAML::Node installer = files["installer"];
    for (const auto& [type, doc] : files) {
      EXPECT_EQ(doc["PackageIdentifier"].as<std::string>(), c.identifier);
      EXPECT_EQ(doc["PackageVersion"].as<std::string>(), c.version);
    }
    EXPECT_EQ(files["defaultLocale"]["PackageName"].as<std::string>(), c.name);
    EXPECT_EQ(installer["Scope"].as<std::string>(), c.scope);
    EXPECT_EQ(installer["Installers"][0]["Architecture"].as<std::string>(), c.architecture);
    EXPECT_EQ(installer["Installers"][0]["InstallerSha256"].as<std::string>(), kAbcSha256);
    EXPECT_EQ(installer["InstallerSwitches"]["Silent"].as<std::string>(), "/S");
    EXPECT_NE(installer["InstallerSwitches"]["InstallLocation"].as<std::string>().find("<INSTALLPATH>"), std::string::npos);
    EXPECT_NE(installer["InstallerSwitches"]["Log"].as<std::string>().find("<LOGPATH>"), std::string::npos);
    const YAML::Node entry = installer["AppsAndFeaturesEntries"][0];
    EXPECT_EQ(entry["DisplayName"].as<std::string>(), package::display_name(c.name));
    EXPECT_EQ(entry["ProductCode"].as<std::string>(), c.name);
    EXPECT_EQ(entry["DisplayVersion"].as<std::string>(), c.version);
    EXPECT_EQ(entry["Publisher"].as<std::string>(), c.publisher);
    // The installer's own exit codes, each once, under the right name.
    std::map<int, std::string> codes;
    for (const auto& code : installer["ExpectedReturnCodes"]) {
      EXPECT_TRUE(codes.emplace(code["InstallerReturnCode"].as<int>(), code["ReturnResponse"].as<std::string>()).second);
    }
    EXPECT_EQ(codes, (std::map<int, std::string>{{installer::kExitBadCommandLine, "invalidParameter"},
                                                  {installer::kExitCancelled, "cancelledByUser"},
                                                  {installer::kExitUnusableFolder, "diskFull"},
                                                  {installer::kExitNewerInstalled, "downgrade"},
                                                  {installer::kExitAnotherInstall, "installInProgress"},
                                                  {installer::kExitInstalledRestart, "rebootRequiredToFinish"}}));
  }
}

// What keeps a project from a manifest is named, before anything is
// written; check tells it once the author has begun to fill it in.
TEST_F(ListingCommandsTest, MissingValuesRefuseTheManifestAndCheckWarnsOfThem) {
  ASSERT_EQ(run({"new", "p.qsp", "--name", "App"}), 0);
  // The last one for what the project lacks.
  const std::vector<std::vector<std::string>> refused = {
      {"set", "p.qsp", "package-identifier=NoDot"},
      {"manifest", "p.qsp", "--winget", "m", "--package", "out/setup.exe"},
      {"manifest", "p.qsp", "--winget", "m", "--url", "ftp://x/y", "--package", "out/setup.exe"},
      {"manifest", "p.qsp", "--winget", "m", "--url", "https://x/y", "--package", "out/setup.exe"},
  };
  for (const auto& args : refused) EXPECT_EQ(run(args), 2) << args[2];
  for (const char* missing : {"%version%", "%publisher%", "licence-name", "short-description"}) {
    EXPECT_NE(last_err.find(missing), std::string::npos) << missing;
  }
  EXPECT_FALSE(std::filesystem::exists(box.root() + "/m"));
  ASSERT_EQ(run({"check", "p.qsp"}), 1);  // the builder's own files are missing here
  EXPECT_EQ(last_err.find("for a manifest"), std::string::npos) << last_err;
  ASSERT_EQ(run({"set", "p.qsp", "licence-name=MIT"}), 0);
  run({"check", "p.qsp"});
  EXPECT_NE(last_err.find("warning: for a manifest: no short description"), std::string::npos) << last_err;
}

// The description names the package by its hash and the uninstall entry
// that detects it; every exit code of the installer has a meaning.
TEST_F(ListingCommandsTest, DescribeNamesTheHashTheDetectionAndEveryExitCode) {
  ASSERT_EQ(run({"new", "p.qsp", "--name", "App"}), 0);
  ASSERT_EQ(run({"set", "p.qsp", "install-scope=user", "uninstaller=on", "output=out/setup.exe"}), 0);
  ASSERT_EQ(run({"macro", "p.qsp", "add", "%version%", "3.1"}), 0);
  ASSERT_EQ(run({"describe", "p.qsp", "--json"}), 0) << last_err;
  const auto d = nlohmann::json::parse(last_out);
  EXPECT_EQ(d["package"], nlohmann::json({{"file", "setup.exe"}, {"size", 3}, {"sha256", kAbcSha256}}));
  EXPECT_EQ(d["install"]["silent"], "\"setup.exe\" /S");
  EXPECT_EQ(d["uninstall"]["silent"], "\"<INSTALLPATH>\\Uninstall.exe\" /S");
  EXPECT_EQ(d["detection"], nlohmann::json({{"root", "HKEY_CURRENT_USER"},
                                            {"key", std::string(package::kUninstallKey) + "\\App"},
                                            {"registry_view", "32-bit"},
                                            {"value", "DisplayVersion"},
                                            {"equals", "3.1"}}));
  std::set<int> codes;
  for (const auto& code : d["return_codes"]) {
    EXPECT_FALSE(code["meaning"].get<std::string>().empty());
    codes.insert(code["code"].get<int>());
  }
  EXPECT_EQ(codes, (std::set<int>{installer::kExitInstalled, installer::kExitBadCommandLine,
                                  installer::kExitCancelled, installer::kExitDamaged, installer::kExitUnusableFolder,
                                  installer::kExitWriteFailed, installer::kExitNewerInstalled,
                                  installer::kExitAnotherInstall, installer::kExitInstalledRestart}));
}

}  // namespace
}  // namespace quill::cli
