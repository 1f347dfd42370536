// What a package tells deployment tools, made from the project.
#include "builder/project/package_listing.h"

#include "builder/project/package_contents.h"
#include "package/install_scope.h"
#include "package/uninstall_key.h"
#include "package/version.h"
#include "text/unicode.h"

namespace quill::project {

const char kSilentSwitch[] = "/S";
const char kPassiveSwitch[] = "/PASSIVE";
const char kInstallLocationSwitch[] = "/D=<INSTALLPATH>";
const char kLogSwitch[] = "/LOG=\"<LOGPATH>\"";
const char kInstallPathToken[] = "<INSTALLPATH>";

namespace {

// The limits of the manifest's fields, in characters.
constexpr std::size_t kMaxIdentifierPart = 32;
constexpr std::size_t kMaxIdentifier = 128;
constexpr std::size_t kMaxVersion = 128;
constexpr std::size_t kMaxName = 256;  // PackageName, Publisher, DisplayName
constexpr std::size_t kMinName = 2;
constexpr std::size_t kMinText = 3;  // License, ShortDescription
constexpr std::size_t kMaxLicence = 512;
constexpr std::size_t kMaxDescription = 256;

std::size_t characters(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++count) text::next_code_point(text, &pos);
  return count;
}

// White space as the manifest's patterns take it (\s of their regular
// expressions).
bool is_space(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// The characters no version or file name of the manifest may hold.
bool is_path_forbidden(char32_t c) {
  return (c >= 0x01 && c <= 0x1F) || (c < 0x80 && std::string("\\/:*?\"<>|").find(static_cast<char>(c)) !=
                                                       std::string::npos);
}

bool is_identifier_char(char32_t c) { return c != '.' && c != 0 && !is_space(c) && !is_path_forbidden(c); }

// One part of an identifier made from a text: its allowed characters, cut.
std::string identifier_part(const std::string& text) {
  std::string out;
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size() && count < kMaxIdentifierPart;) {
    const char32_t c = text::next_code_point(text, &pos);
    if (!is_identifier_char(c)) continue;
    text::append_utf8(&out, c);
    ++count;
  }
  return out;
}

// The first text macro of that name, as the installer takes it.
bool text_macro(const Project& project, const char* name, std::string* value) {
  for (int slot = 0; slot < project.macro_count(); ++slot) {
    const Macro& macro = project.macro(slot);
    if (macro.name == name && macro.key.empty() && macro.value_name.empty()) {
      *value = macro.value;
      return true;
    }
  }
  return false;
}

void check_length(std::vector<std::string>* problems, const char* what, const std::string& value,
                  std::size_t minimum, std::size_t maximum) {
  const std::size_t n = characters(value);
  if (n < minimum || n > maximum) {
    problems->push_back(std::string(what) + " has " + std::to_string(n) + " characters; a manifest takes " +
                        std::to_string(minimum) + " to " + std::to_string(maximum));
  }
}

}  // namespace

const std::vector<ReturnCode>& installer_return_codes() {
  static const std::vector<ReturnCode> codes = {
      {0, "installed", nullptr},
      {1, "bad command line, or /?", "invalidParameter"},
      {2, "cancelled by the user, or the wizard was closed", "cancelledByUser"},
      {3, "the package is damaged", nullptr},
      // The tools have no name for an unusable folder; too little free
      // space is the commoner cause of this code.
      {4, "the install folder is unusable, or its disk has too little free space", "diskFull"},
      // A silent install replaces a file in use at the next restart (3010);
      // this code means a write failed for another reason.
      {5, "a file could not be written; the install was rolled back", nullptr},
      {6, "a newer version is installed; nothing changed", "downgrade"},
      {1618, "another setup of the same program is in progress; nothing was done", "installInProgress"},
      {3010, "installed; files in use are replaced when the computer restarts", "rebootRequiredToFinish"},
  };
  return codes;
}

std::string default_package_identifier(const std::string& publisher, const std::string& name) {
  const std::string first = identifier_part(publisher), second = identifier_part(name);
  return first.empty() || second.empty() ? std::string() : first + "." + second;
}

bool is_package_identifier(const std::string& identifier) {
  if (characters(identifier) > kMaxIdentifier) return false;
  int parts = 1;
  std::size_t part = 0;
  for (std::size_t pos = 0; pos < identifier.size();) {
    const char32_t c = text::next_code_point(identifier, &pos);
    if (c == '.') {
      if (part == 0) return false;
      ++parts;
      part = 0;
    } else if (!is_identifier_char(c) || ++part > kMaxIdentifierPart) {
      return false;
    }
  }
  return part > 0 && parts >= 2 && parts <= 8;
}

PackageListing package_listing(const Project& project) {
  const Settings& s = project.settings();
  PackageListing l;
  l.name = box_text(s.program_name);
  l.display_name = package::display_name(l.name);
  l.has_version = text_macro(project, package::kVersionMacro, &l.version);
  l.has_publisher = text_macro(project, "%publisher%", &l.publisher);
  l.identifier = s.package_identifier.empty() && l.has_publisher
                     ? default_package_identifier(l.publisher, l.name)
                     : s.package_identifier;
  l.licence = s.licence_name;
  l.short_description = s.short_description;
  l.architecture = s.architecture;
  l.scope = s.install_scope;
  l.root = package::uninstall_root(package::InstallScope{s.install_scope, s.shortcuts_for});
  l.entry_key = std::string(package::kUninstallKey) + "\\" + l.name;
  l.has_uninstaller = s.include_uninstaller;
  return l;
}

std::vector<std::string> listing_problems(const PackageListing& l) {
  std::vector<std::string> problems;
  if (!package::is_safe_registered_name(l.name)) {
    problems.push_back("the program name \"" + l.name + "\" cannot name an uninstall entry");
  }
  check_length(&problems, "the program name", l.name, kMinName, kMaxName);
  check_length(&problems, "the uninstall entry's display name", l.display_name, 1, kMaxName);
  if (!l.has_version) {
    problems.push_back("the project has no %version% text macro, the package's version");
  } else {
    check_length(&problems, "the version", l.version, 1, kMaxVersion);
    for (std::size_t pos = 0; pos < l.version.size();) {
      if (is_path_forbidden(text::next_code_point(l.version, &pos))) {
        problems.push_back("the version \"" + l.version + "\" holds a character a manifest's version may not");
        break;
      }
    }
  }
  if (!l.has_publisher) {
    problems.push_back("the project has no %publisher% text macro, the publisher's name");
  } else {
    check_length(&problems, "the publisher", l.publisher, kMinName, kMaxName);
  }
  if (l.identifier.empty()) {
    problems.push_back("no package identifier: set package-identifier=Publisher.Name");
  } else if (!is_package_identifier(l.identifier)) {
    problems.push_back("the package identifier \"" + l.identifier +
                       "\" is not two to eight dot-separated parts of 1 to 32 characters without spaces "
                       "or \\/:*?\"<>|");
  }
  if (l.licence.empty()) {
    problems.push_back("no licence name: set licence-name=NAME (MIT, Proprietary, ...)");
  } else {
    check_length(&problems, "the licence name", l.licence, kMinText, kMaxLicence);
  }
  if (l.short_description.empty()) {
    problems.push_back("no short description: set short-description=TEXT");
  } else {
    check_length(&problems, "the short description", l.short_description, kMinText, kMaxDescription);
  }
  return problems;
}

const char* registry_root_name(os::RegistryRoot root) {
  return root == os::RegistryRoot::current_user ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

}  // namespace quill::project
