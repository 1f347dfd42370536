// The editor's fixed texts.
#include "builder/editor/messages.h"

namespace quill::editor::text {

const char kCaption[] = "Quillset";

const char kAssociateQuestion[] =
    "Do you wish to associate all Quillset project files ( .qsp and .qspbak ) with Quillset?";
const char kCrashQuestion[] =
    "Quillset didn't shut down properly the last time it was run.\nDo you wish to open the last "
    "project backup?";

const char kSaveBeforeNew[] = "Do you wish to save your current project before creating a new one?";
const char kSaveBeforeQuit[] = "Do you wish to save your project before quitting?";
const char kSaveFailed[] = "The project could not be saved to the file:\n";
const char kLoadFailed[] = "The project could not be opened from the file:\n";
const char kLoadIncomplete[] =
    "The project file ends before all of its parts were read; what was read is shown as a new, "
    "unsaved project:\n";

const char kRecoveredTitle[] = " (recovered)";
const char kSaveRecovered[] =
    "This project was recovered from the last backup.\nDo you wish to save it over its own file "
    "(No: choose another file)?\n";

const char kReplaceOutput[] = " already exists.\nDo you wish to replace it?";
const char kAbortQuestion[] = "Are you sure you wish to abort the build?";
const char kAborting[] = "Aborting build...";
const char kReady[] = "Ready";
const char kBuildWarnings[] = "The build met these problems:";

const char kInvalidFolder[] = "You can't insert files or folders here. Please select a valid folder.";
const char kCantDelete[] = "You can't delete this folder!";
const char kFolderTitle[] = "Select the directory you wish to add.";
const char kEmptyName[] = "A name can't be empty.";
const char kNameWithBackslash[] = "A name can't contain any of the characters \\ / : * ? \" < > |";
const char kDotName[] = "A name can't be \".\" or \"..\".";
const char kPathTooLong[] = "This name would make a path longer than 259 characters.";
const char kNameNotCreatable[] =
    "Windows can't create a file or folder of this name: it holds a control character, ends in a dot or a "
    "space, or is a device name such as CON, NUL or COM1.";
const char kCustomPathNotFull[] =
    "The folder must be a full path (a drive such as C:, a macro such as %windows% or \\\\server\\share) "
    "whose folder names Windows can create.";
const char kEmptyCustomPath[] = "Please type the folder to install this file to.";
const char kFileTableFull[] = "The project can't hold more than 32768 files. Nothing was added.";
const char kCantModify[] = "You can't modify this folder!";
const char kNoRoomToMove[] = "The project can't hold the copies of these files and folders. Nothing was moved.";
const char kMacroWithoutName[] = "You have to enter a name for the macro!";
const char kMacroWithoutPercent[] = "All macros have to begin with a % character!";
const char kMacroTableFull[] = "The project can't hold more than 1024 macros. Nothing was added.";
const char kFolderTableFull[] = "The project can't hold more than 32768 folders. Nothing was added.";
const char kFolderTooBig[] =
    "This folder holds %d files and %d folders, more than the project has room for. Nothing was added.";

const char kProjectOpenFilter[] = "Quillset files (*.qsp *.qspbak)";
const char kProjectOpenPattern[] = "*.qsp;*.qspbak";
const char kProjectSaveFilter[] = "Quillset files (*.qsp)";
const char kProjectSavePattern[] = "*.qsp";
const char kAllFilesFilter[] = "All files (*.*)";
const char kAllFilesPattern[] = "*.*";
const char kProgramFilter[] = "Program files (*.exe)";
const char kProgramPattern[] = "*.exe";
const char kLanguagesTitle[] = "Quillset - Languages";
const char kTextFilter[] = "Plain text documents (*.txt)";
const char kTextPattern[] = "*.txt;";

}  // namespace quill::editor::text
