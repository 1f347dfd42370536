// Recursive, depth-first removal of a folder tree.
#pragma once

#include <string>

#include "os/os.h"

namespace quill {

// Removes the folder and everything below it. Read-only files are made
// writable first. A link or junction, met inside or standing in place of
// the folder itself, is deleted as an entry and never walked into, so
// nothing outside the tree goes. Stops at the first entry that cannot be
// deleted and returns false; an unlistable folder returns false at once.
bool remove_folder_tree(os::Os& os, const std::string& folder);

}  // namespace quill
