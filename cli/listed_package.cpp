// The project and its built package, read for "manifest" and "describe".
#include "cli/listed_package.h"

#include "cli/edit_session.h"

namespace quill::cli {

ListedPackage listed_package(const Args& args, Context& c) {
  if (args.words.size() != 1) throw Refused("takes one project file");
  EditSession session(c.platform);
  session.open(c.platform.os_path(args.words[0]), args.words[0]);
  ListedPackage listed;
  listed.listing = project::package_listing(session.project());

  std::string typed = args.has("--package") ? args.value("--package") : args.value("-o");
  std::string path;
  if (!typed.empty()) {
    path = c.platform.os_path(typed);
  } else {
    typed = session.project().settings().output_path;
    if (typed.empty() || !c.platform.is_local_path(typed)) {
      throw Refused("the project has no \"Save installer as\" path on this machine; name the built package "
                    "with --package FILE");
    }
    path = typed;
  }
  const os::FileStatus status = c.platform.os().file_status(path);
  if (!status.exists || status.is_folder) {
    throw Failed("no package at " + typed + ": build it first (quillset-build build " + args.words[0] + ")");
  }
  listed.hash = hash_file(c.platform.os(), path);
  if (listed.hash.sha256.empty()) throw Failed("cannot read the package " + typed);
  const std::size_t cut = path.find_last_of("\\/");
  listed.file_name = cut == std::string::npos ? path : path.substr(cut + 1);
  return listed;
}

}  // namespace quill::cli
