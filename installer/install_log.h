// The steps an install records in its "/LOG=" file: each one's JSON names
// and plain line (common/run_log.h).
#pragma once

#include "common/run_log.h"

namespace quill::installer::log_step {

inline constexpr const char* kStarted = "start interactive|Install started";
inline constexpr const char* kSilentStarted = "start silent|Silent install started";
inline constexpr const char* kPassiveStarted = "start passive|Passive install started";
inline constexpr const char* kInstalledUnreadable =
    "installed unreadable|The installed program's entry or uninstall log could not be read";
inline constexpr const char* kUpgrading = "upgrade started path|Upgrading the install in %1";
// The downgrade question's text, as an unattended run meets it.
inline constexpr const char* kDowngrade = "downgrade found message|%1";

inline constexpr const char* kInstallFolder = "folder install path|Install folder: %1";
inline constexpr const char* kFolderUnusable = "folder unusable path|Unusable install folder: %1";
inline constexpr const char* kFolderNoSpace = "folder not_enough_space path|Not enough free space for %1";
inline constexpr const char* kFolderNotWritable =
    "folder not_writable path|Install folder not writable by this user: %1";

inline constexpr const char* kFileWritten = "file written path|Written: %1";
inline constexpr const char* kFileReplaced = "file replaced path|Replaced: %1";
inline constexpr const char* kFileLater = "file replaced_at_restart path|Replaced at the next restart: %1";
inline constexpr const char* kFileNotWritten = "file not_written path|Not written: %1";
inline constexpr const char* kFileKept = "file kept path|Kept: %1";
inline constexpr const char* kFileInUse = "file in_use path|In use: %1";
inline constexpr const char* kFileFailed = "file failed path|Could not write: %1";

inline constexpr const char* kShortcut = "shortcut created path|Shortcut: %1";
inline constexpr const char* kShortcutFailed = "shortcut not_created path|Shortcut not created: %1";

inline constexpr const char* kRegistry = "registry written value data|Registry: %1 = %2";
inline constexpr const char* kAssociation = "association written value data|Association: %1 = %2";
inline constexpr const char* kEnvironment = "environment written value data|Environment: %1 = %2";
inline constexpr const char* kDeclarationNotWritten = "declaration not_written value|Not written: %1";
inline constexpr const char* kDeclarationNotLogged = "declaration not_logged value|Not logged, not written: %1";
inline constexpr const char* kPathAdded = "path_entry added folder value|PATH: added %1 in %2";
inline constexpr const char* kPathKept = "path_entry kept folder value|PATH: kept %1 in %2";
inline constexpr const char* kPathNotAdded = "path_entry not_added folder|PATH: not added: %1";
inline constexpr const char* kDeclarationsDamaged =
    "declarations damaged error|The package's declarations are damaged: %1";
inline constexpr const char* kEntryRestored =
    "uninstall_entry restored|Registry: the entry could not be written; the old one is put back";

inline constexpr const char* kRollingBack = "rollback started changes|Rolling back %1 changes";
inline constexpr const char* kRolledBack = "rollback done|Rolled back";

}  // namespace quill::installer::log_step
