// Settings from the command line. The settings themselves, with their keys,
// kinds, limits and help, are the rows of project::settings_table().
#pragma once

#include <string>

#include "builder/project/settings_table.h"

namespace quill::cli {

class EditSession;

// The value as "set" stores it: checked and turned into the row's own form
// ("on", "#FF0000", an absolute path). Throws Refused.
std::string parse_setting(EditSession& session, const project::Setting& key, const std::string& value);
// Stores a parsed value of a main window setting through the editor, as the
// window would; the appearance dialogs' settings go straight into the
// project about to be saved (project::store_setting).
void apply_window_setting(EditSession& session, const project::Setting& key, const std::string& value);

}  // namespace quill::cli
