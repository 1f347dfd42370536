// The messages the installer and the uninstaller share, in the language the
// program speaks (texts::current_language()).
#pragma once

#include <string>
#include <vector>

namespace quill::uninstaller {

// The question about a file in use: who holds it (when known) and what each
// button does; `installing` tells an installation from a removal.
std::string in_use_text(const std::string& path, const std::vector<std::string>& programs,
                        bool restart_allowed, bool installing);
// What the user is told at the end of a run that left work for a restart.
std::string restart_needed_text();
// "Another installation of %1 is in progress."
std::string another_setup_text(const std::string& registered_name);

}  // namespace quill::uninstaller
