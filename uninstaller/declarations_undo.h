// The removal's part of a package's declarations: undoes what the uninstall
// log's declaration records (package/declaration_records.h) say the install
// did, and nothing else.
#pragma once

#include "common/run_log.h"
#include "os/os.h"
#include "uninstaller/uninstall_log.h"

namespace quill::uninstaller {

// Newest record first: a value the install replaced gets its old value and
// type back, one it created goes (when the declaration said to remove it),
// and its key with it when the declaration asked for that and it is left
// empty; a key the install created for an association (or above a value whose
// key goes) goes when it is left empty; a folder it added to a `Path` leaves that `Path`, which otherwise
// stays as it is now. Then the shell hears once of changed associations and
// the running programs once of a changed environment. Damaged records are
// passed over. `record` (null: none) hears each change.
void undo_declarations(os::Os& os, const UninstallLog& log, RunLog* record = nullptr);

}  // namespace quill::uninstaller
