// The fixed texts the editor puts to the author (questions, messages, dialog
// titles and filters). Win32 side: nothing to do; they reach the Prompter.
#pragma once

namespace quill::editor::text {

extern const char kCaption[];  // "Quillset", the caption of every box

// Start-up.
extern const char kAssociateQuestion[];
extern const char kCrashQuestion[];

// File menu.
extern const char kSaveBeforeNew[];
extern const char kSaveBeforeQuit[];
extern const char kSaveFailed[];   // followed by the path
extern const char kLoadFailed[];   // followed by the path
extern const char kLoadIncomplete[];  // followed by the path
extern const char kRecoveredTitle[];  // after the recovered project's path in the title
extern const char kSaveRecovered[];   // followed by the path; Yes, No (Save as), Cancel

// Build page.
extern const char kReplaceOutput[];  // put after the output path
extern const char kAbortQuestion[];
extern const char kAborting[];
extern const char kReady[];
extern const char kBuildWarnings[];  // followed by one warning a line

// Tree page.
extern const char kInvalidFolder[];
extern const char kCantDelete[];
extern const char kFolderTitle[];
extern const char kEmptyName[];
extern const char kNameWithBackslash[];  // also the other characters a file name can't hold
extern const char kDotName[];
extern const char kPathTooLong[];
extern const char kNameNotCreatable[];  // a control character, a last dot or space, a device name
extern const char kCustomPathNotFull[];
extern const char kEmptyCustomPath[];
extern const char kFileTableFull[];
extern const char kFolderTableFull[];
extern const char kFolderTooBig[];  // a folder tree that does not fit; "%d" files, "%d" folders

// Moving and copying tree items; the macros dialog.
extern const char kCantModify[];
extern const char kNoRoomToMove[];
extern const char kMacroWithoutName[];
extern const char kMacroWithoutPercent[];
extern const char kMacroTableFull[];

// Dialog filters: display name and pattern.
extern const char kProjectOpenFilter[];
extern const char kProjectOpenPattern[];
extern const char kProjectSaveFilter[];
extern const char kProjectSavePattern[];
extern const char kAllFilesFilter[];
extern const char kAllFilesPattern[];
extern const char kProgramFilter[];
extern const char kProgramPattern[];
extern const char kLanguagesTitle[];
extern const char kTextFilter[];
extern const char kTextPattern[];

}  // namespace quill::editor::text
