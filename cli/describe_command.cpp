// quillset-build describe: the package as management tools need it, in
// JSON: how it installs and uninstalls silently, how to detect it, what
// its exit codes mean, whom it installs for, its size and hash.
#include <ostream>

#include "cli/edit_session.h"
#include "cli/listed_package.h"

namespace quill::cli {

namespace {

// The kind of outcome, in the words management consoles use for it.
const char* outcome(int code) {
  switch (code) {
    case 0: return "success";
    case 3010: return "softReboot";
    case 1618: return "retry";
    default: return "failed";
  }
}

Json description(const ListedPackage& p) {
  const project::PackageListing& l = p.listing;
  const std::string program = "\"" + p.file_name + "\" ";
  Json d = Json::object();
  d["identifier"] = l.identifier.empty() ? Json() : Json(l.identifier);
  d["name"] = l.name;
  d["version"] = l.has_version ? Json(l.version) : Json();
  d["publisher"] = l.has_publisher ? Json(l.publisher) : Json();
  d["package"] = Json{{"file", p.file_name}, {"size", p.hash.size}, {"sha256", p.hash.sha256}};
  d["architecture"] = l.architecture == project::Architecture::x64 ? "x64" : "x86";
  d["scope"] = l.scope == package::Scope::user ? "user" : "machine";
  d["install"] = Json{{"silent", program + project::kSilentSwitch},
                  {"passive", program + project::kPassiveSwitch},
                  {"location_switch", std::string(project::kInstallLocationSwitch)},
                  {"log_switch", std::string(project::kLogSwitch)}};
  // The uninstaller lies in the install folder; the entry names it.
  d["uninstall"] = l.has_uninstaller ? Json{{"silent", std::string("\"") + project::kInstallPathToken +
                                                           "\\Uninstall.exe\" /S"},
                                            {"registry_value", "QuietUninstallString"}}
                                     : Json();
  Json detection = {{"root", project::registry_root_name(l.root)},
                    {"key", l.entry_key},
                    // A 32-bit package's machine-wide entry lies in the 32-bit view.
                    {"registry_view", l.architecture == project::Architecture::x64 ? "64-bit" : "32-bit"}};
  if (l.has_version) {
    detection["value"] = "DisplayVersion";
    detection["equals"] = l.version;
  } else {
    detection["value"] = "DisplayName";
    detection["equals"] = l.display_name;
  }
  d["detection"] = detection;
  d["return_codes"] = Json::array();
  for (const project::ReturnCode& code : project::installer_return_codes()) {
    d["return_codes"].push_back({{"code", code.code}, {"type", outcome(code.code)}, {"meaning", code.meaning}});
  }
  return d;
}

}  // namespace

int command_describe(const Args& args, Context& c) {
  if (!args.has("--json")) throw Refused("describe writes JSON: give --json");
  c.out << json_text(description(listed_package(args, c)));
  return 0;
}

}  // namespace quill::cli
