// Moving and copying items of the file tree: one file, or a folder with its
// whole subtree, into a destination folder. The work is bounded by the size
// of the moved subtree: folders and files are found through the tree and
// the project's indexes, never by scanning the tables.
#pragma once

#include "builder/project/project.h"

namespace quill::editor {

enum class MoveMode { move, copy };

enum class MoveOutcome {
  done,      // copied (and, in move mode, the source removed)
  nothing,   // no destination folder, a root, or a move that would lose the source
  no_room,   // the tables cannot hold the copies; nothing was changed
};

// The destination folder of a drop or paste onto `destination`: the item
// itself when it is a folder, else its parent when that is a folder;
// kNoItem when neither.
project::TreeItem destination_folder(const project::Project& project, project::TreeItem destination);

// Copies `source` (a file, or a folder with everything below it) into the
// destination folder of `destination`. The copies take the sources' slots'
// shortcuts and the uninstaller role; the "copy of " rule names a file whose
// name is taken. In move mode the source is removed afterwards.
//
// Refused (nothing happens): a root as source; a folder moved onto itself,
// one of its own sub-folders or its own parent (the copies would land in
// the folder that is then removed); a folder into the custom-path root,
// which holds no sub-folders.
MoveOutcome move_item(project::Project& project, project::TreeItem source,
                      project::TreeItem destination, MoveMode mode);

// Moves every folder and file below `folder` (not a root) one level up,
// into the folder's parent, in slot order; the folder stays, empty.
// Stops at the first move the tables have no room for.
MoveOutcome move_all_out(project::Project& project, project::TreeItem folder);

// Removes a file or a folder's records and subtree, and its tree item.
void remove_subtree(project::Project& project, project::TreeItem item);

}  // namespace quill::editor
