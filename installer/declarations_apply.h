// The install's part of a package's declarations ("declarations.txt"):
// read and checked before anything is written, applied after the files and
// shortcuts and before the uninstall entry, inside the install transaction,
// each change recorded in the uninstall log with what it replaced.
#pragma once

#include <string>

#include "installer/install_engine.h"
#include "package/declarations_check.h"

namespace quill::installer {

class Transaction;

// Reads the request's "declarations.txt" and plans it for the request's
// scope and install folder (macros expanded). A package without the file
// has an empty plan. False when the file is damaged or declares what the
// package may not do: the install must stop as for a damaged package.
bool plan_package_declarations(os::Os& os, const InstallRequest& request,
                               package::DeclarationPlan* plan);

// Writes the plan's values and PATH entries, each recorded in `transaction`
// (undone exactly: a value that existed comes back with its type, one that
// did not goes with the keys made for it) and first in the uninstall log at
// `log_path`. A PATH entry already there is left as it is. The shell hears
// of changed associations once and the running programs of a changed
// environment once, here and again when the changes are undone. A change
// that cannot be made asks the write-failed question; `write_failed` when
// the user chose Abort.
InstallResult apply_declarations(os::Os& os, const InstallRequest& request,
                                 const package::DeclarationPlan& plan, const std::string& log_path,
                                 InstallCallback& callback, Transaction& transaction);

}  // namespace quill::installer
