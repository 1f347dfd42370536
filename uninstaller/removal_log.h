// The steps a removal records in its "/LOG=" file: each one's JSON names and
// plain line (common/run_log.h). The steps about a log entry are recorded
// under the entry's own event: "file", "folder" or "shortcut".
#pragma once

#include "common/run_log.h"

namespace quill::uninstaller::log_step {

inline constexpr const char* kStarted = "start interactive|Uninstall started";
inline constexpr const char* kSilentStarted = "start silent|Silent uninstall started";
inline constexpr const char* kUnusableLog = "uninstall_log unusable path|Unusable uninstall log: %1";
inline constexpr const char* kDeclined = "removal declined|The removal was declined";
inline constexpr const char* kInUse = "file in_use path|In use: %1";

inline constexpr const char* kRemoved = "file removed path|Removed: %1";
inline constexpr const char* kRemovedLater = "file removed_at_restart path|Removed at the next restart: %1";
inline constexpr const char* kStays = "file stays path|Stays: %1";
inline constexpr const char* kMissing = "file missing path|Already gone: %1";
// Named by the log, yet nowhere the installation put things.
inline constexpr const char* kNotOurs = "file outside path|Not the installation's, left alone: %1";

inline constexpr const char* kValueRestored = "registry restored value|Registry restored: %1";
inline constexpr const char* kValueDeleted = "registry deleted value|Registry deleted: %1";
inline constexpr const char* kKeyDeleted = "registry_key deleted key|Registry key deleted: %1";
inline constexpr const char* kPathRemoved = "path_entry removed folder value|PATH: removed %1 from %2";
inline constexpr const char* kEntryDeleted = "uninstall_entry deleted name|Uninstall entry deleted: %1";
inline constexpr const char* kEntryStays = "uninstall_entry stays name|Uninstall entry not deleted: %1";

}  // namespace quill::uninstaller::log_step
