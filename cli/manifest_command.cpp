// quillset-build manifest: the three files of a package manager's
// multi-file manifest (version, installer, default locale; manifest
// version 1.6.0), written with yaml-cpp.
#include <yaml-cpp/yaml.h>

#include <ostream>

#include "cli/edit_session.h"
#include "cli/listed_package.h"

namespace quill::cli {

namespace {

const char kManifestVersion[] = "1.6.0";
const char kLocale[] = "en-US";

bool is_download_url(const std::string& url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string::npos || scheme + 3 >= url.size() || url.size() > 2048) return false;
  std::string name = url.substr(0, scheme);
  for (char& ch : name) ch = static_cast<char>(ch | 0x20);
  return name == "http" || name == "https";
}

// A text of the author's, quoted so that no reader takes "1.0" or "yes"
// for a number or a truth value.
YAML::Emitter& text(YAML::Emitter& out, const std::string& value) {
  return out << YAML::DoubleQuoted << value;
}

using Texts = std::initializer_list<std::pair<const char*, const std::string*>>;

// Fields of the author's texts, in order.
void texts(YAML::Emitter& out, Texts fields) {
  for (const auto& [key, value] : fields) {
    out << YAML::Key << key << YAML::Value;
    text(out, *value);
  }
}

// The header line that tells editors which schema the file follows.
std::string document(const char* type, YAML::Emitter& body) {
  return std::string("# yaml-language-server: $schema=https://aka.ms/winget-manifest.") + type + "." +
         kManifestVersion + ".schema.json\n\n" + body.c_str() + "\n";
}

void head(YAML::Emitter& out, const project::PackageListing& l) {
  texts(out, {{"PackageIdentifier", &l.identifier}, {"PackageVersion", &l.version}});
}

void tail(YAML::Emitter& out, const char* type) {
  out << YAML::Key << "ManifestType" << YAML::Value << type;
  out << YAML::Key << "ManifestVersion" << YAML::Value << kManifestVersion;
  out << YAML::EndMap;
}

std::string version_file(const project::PackageListing& l) {
  YAML::Emitter out;
  out << YAML::BeginMap;
  head(out, l);
  out << YAML::Key << "DefaultLocale" << YAML::Value << kLocale;
  tail(out, "version");
  return document("version", out);
}

std::string locale_file(const project::PackageListing& l) {
  YAML::Emitter out;
  out << YAML::BeginMap;
  head(out, l);
  out << YAML::Key << "PackageLocale" << YAML::Value << kLocale;
  texts(out, {{"Publisher", &l.publisher},
              {"PackageName", &l.name},
              {"License", &l.licence},
              {"ShortDescription", &l.short_description}});
  tail(out, "defaultLocale");
  return document("defaultLocale", out);
}

std::string installer_file(const ListedPackage& p, const std::string& url) {
  const project::PackageListing& l = p.listing;
  YAML::Emitter out;
  out << YAML::BeginMap;
  head(out, l);
  out << YAML::Key << "InstallerType" << YAML::Value << "exe";
  out << YAML::Key << "Scope" << YAML::Value << (l.scope == package::Scope::user ? "user" : "machine");
  out << YAML::Key << "InstallModes" << YAML::Value << YAML::BeginSeq << "interactive" << "silent"
      << "silentWithProgress" << YAML::EndSeq;
  out << YAML::Key << "InstallerSwitches" << YAML::Value << YAML::BeginMap;
  out << YAML::Key << "Silent" << YAML::Value << project::kSilentSwitch;
  out << YAML::Key << "SilentWithProgress" << YAML::Value << project::kPassiveSwitch;
  out << YAML::Key << "InstallLocation" << YAML::Value << project::kInstallLocationSwitch;
  out << YAML::Key << "Log" << YAML::Value << project::kLogSwitch;
  out << YAML::EndMap;
  out << YAML::Key << "ExpectedReturnCodes" << YAML::Value << YAML::BeginSeq;
  for (const project::ReturnCode& code : project::installer_return_codes()) {
    if (!code.response) continue;
    out << YAML::BeginMap << YAML::Key << "InstallerReturnCode" << YAML::Value << code.code;
    out << YAML::Key << "ReturnResponse" << YAML::Value << code.response << YAML::EndMap;
  }
  out << YAML::EndSeq;
  // A new version installs over the old one, which it upgrades in place.
  out << YAML::Key << "UpgradeBehavior" << YAML::Value << "install";
  // Exactly the uninstall entry the installer writes.
  out << YAML::Key << "AppsAndFeaturesEntries" << YAML::Value << YAML::BeginSeq << YAML::BeginMap;
  texts(out, {{"DisplayName", &l.display_name},
              {"Publisher", &l.publisher},
              {"DisplayVersion", &l.version},
              {"ProductCode", &l.name}});
  out << YAML::EndMap << YAML::EndSeq;
  out << YAML::Key << "Installers" << YAML::Value << YAML::BeginSeq << YAML::BeginMap;
  out << YAML::Key << "Architecture" << YAML::Value
      << (l.architecture == project::Architecture::x64 ? "x64" : "x86");
  texts(out, {{"InstallerUrl", &url}});
  out << YAML::Key << "InstallerSha256" << YAML::Value << p.hash.sha256;
  out << YAML::EndMap << YAML::EndSeq;
  tail(out, "installer");
  return document("installer", out);
}

void write_file(Context& c, const std::string& path, const std::string& bytes) {
  auto file = c.platform.os().open_file(path, os::OpenMode::write);
  if (!file || !file->write(bytes.data(), bytes.size())) throw Failed("cannot write " + path);
}

}  // namespace

int command_manifest(const Args& args, Context& c) {
  const std::string folder_typed = args.value("--winget");
  const std::string url = args.value("--url");
  if (folder_typed.empty()) throw Refused("manifest needs --winget DIR, the folder the files go to");
  if (!is_download_url(url)) throw Refused("manifest needs --url with the package's http:// or https:// address");
  const ListedPackage listed = listed_package(args, c);
  const std::vector<std::string> problems = project::listing_problems(listed.listing);
  if (!problems.empty()) {
    std::string text = "the project cannot make a manifest:";
    for (const std::string& problem : problems) text += "\n  " + problem;
    throw Refused(text);
  }

  std::string folder = c.platform.os_path(folder_typed);
  os::Os& os = c.platform.os();
  if (!os.file_status(folder).exists && os.create_folder(folder) != os::Error::none) {
    throw Failed("cannot create the folder " + folder_typed);
  }
  if (folder.back() != '/' && folder.back() != '\\') folder += folder.find('\\') != std::string::npos ? '\\' : '/';
  const std::string base = folder + listed.listing.identifier;
  const std::pair<std::string, std::string> files[] = {
      {base + ".yaml", version_file(listed.listing)},
      {base + ".installer.yaml", installer_file(listed, url)},
      {base + ".locale." + kLocale + ".yaml", locale_file(listed.listing)},
  };
  for (const auto& [path, bytes] : files) {
    write_file(c, path, bytes);
    c.out << "Wrote " << path << "\n";
  }
  return 0;
}

}  // namespace quill::cli
