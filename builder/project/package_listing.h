// What a package tells the tools that deploy it (package managers,
// management consoles): who makes it, what it is, how it installs silently,
// what its exit codes mean and how to tell that it is installed. Made from
// the project alone, exactly as the installer will register the program;
// the command line writes it out as a manifest or a description.
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "os/os.h"

namespace quill::project {

// The installer's switches as a deployment tool passes them; the tool puts
// its own folder and log file in place of the tokens.
extern const char kSilentSwitch[];          // "/S"
extern const char kPassiveSwitch[];         // "/PASSIVE"
extern const char kInstallLocationSwitch[];  // "/D=<INSTALLPATH>" (last on the line)
extern const char kLogSwitch[];             // "/LOG=\"<LOGPATH>\""
extern const char kInstallPathToken[];      // "<INSTALLPATH>"

// An exit code of the installer (installer/command_line.h holds the same
// numbers; a test keeps the two in step), with the name deployment tools
// give that outcome where they have one.
struct ReturnCode {
  int code;
  const char* meaning;
  const char* response;  // "cancelledByUser" ...; nullptr: no name fits
};
const std::vector<ReturnCode>& installer_return_codes();

struct PackageListing {
  std::string identifier;  // package-identifier, else made of publisher and name
  std::string name;        // the registered name: the uninstall entry's key
  std::string display_name;  // the entry's DisplayName
  bool has_version = false;
  std::string version;  // %version%: the entry's DisplayVersion
  bool has_publisher = false;
  std::string publisher;  // %publisher%: the entry's Publisher
  std::string licence;
  std::string short_description;
  Architecture architecture = Architecture::x86;
  package::Scope scope = package::Scope::machine;
  os::RegistryRoot root = os::RegistryRoot::local_machine;  // of the entry
  std::string entry_key;  // the entry's key below its root
  bool has_uninstaller = false;
};

PackageListing package_listing(const Project& project);

// "Publisher.Name" from the two texts: each part without the characters an
// identifier may not hold (spaces, dots, \ / : * ? " < > |, control
// characters) and at most 32 characters long. Empty when a part is left
// with nothing.
std::string default_package_identifier(const std::string& publisher, const std::string& name);
// Two to eight parts joined by dots, each of 1 to 32 characters an
// identifier may hold, at most 128 characters in all.
bool is_package_identifier(const std::string& identifier);

// What keeps the listing from making a valid manifest, one sentence each:
// a missing version, publisher, licence or description, a value too long
// or holding characters the manifest's field may not hold. Empty: none.
std::vector<std::string> listing_problems(const PackageListing& listing);

// "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER".
const char* registry_root_name(os::RegistryRoot root);

}  // namespace quill::project
