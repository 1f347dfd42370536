// The rewrite of a program's requested execution level, for per-user
// packages. In a file of its own: only the builder links it, and the
// installer stub, which links the rest of the install scope's code, carries
// none of its texts.
#include <string>

#include "package/install_scope.h"

namespace quill::package {

bool request_no_elevation(std::string* program) {
  // The manifest's tag and its attribute, joined at run time: a program
  // that links this code holds the two texts apart, so only a manifest
  // matches, never these constants.
  const std::string tag = "<requestedExecutionLevel ";
  const std::string elevated = tag + "level=\"requireAdministrator\"";
  const std::string invoker = tag + "level=\"asInvoker\"";
  const std::size_t at = program->find(elevated);
  if (at == std::string::npos) return program->find(invoker) != std::string::npos;
  if (program->find(elevated, at + 1) != std::string::npos) return false;
  program->replace(at, elevated.size(), invoker + std::string(elevated.size() - invoker.size(), ' '));
  return true;
}

}  // namespace quill::package
