// The uninstaller program's decisions that do not need a window: which mode
// a command line selects, the launcher's working copy, and the texts the
// user sees.
#pragma once

#include <string>

#include "os/os.h"
#include "uninstaller/uninstall_log.h"

namespace quill::uninstaller {

// Caption of the question and messages, in the current language.
std::string question_caption();

// Everything after the program name of a raw command line, without the
// blanks that separate it; spaces inside are kept, since the whole tail is
// one log path, and only a pair of quotes around all of it is dropped.
// Empty selects launcher mode.
std::string command_line_argument(const std::string& command_line);

// The program's arguments: leading switches, each in any case and followed
// by a blank or the end: "/S" selects a silent removal, "/NORESTART" keeps
// files in use from waiting for the next restart, "/LANG=xx" chooses the
// language (over the one the install used), "/LOG=FILE" (FILE up to the next
// blank, or quoted: "/LOG=\"C:\My logs\a.log\"" or "\"/LOG=C:\My logs\a.log\"")
// names the record of the
// run; the rest, read as command_line_argument() reads a tail, is the log
// path (empty: launcher).
struct Arguments {
  bool silent = false;
  bool no_restart = false;
  std::string language;  // "/LANG=xx" (empty: the install's language)
  std::string record;    // "/LOG=FILE": the run's record (empty: none)
  std::string log_path;
};
Arguments parse_arguments(const std::string& command_line);

// Exit codes of both modes; the launcher passes on its copy's.
enum ExitCode {
  kExitRemoved = 0,
  kExitNotStarted = 1,  // the launcher could not make or start its working copy
  kExitDeclined = 2,    // the user answered No
  kExitUnusableLog = 3,
  kExitInUse = 5,               // silent with /NORESTART: a file is in use; nothing removed
  kExitAnotherRemoval = 1618,   // another setup of the program runs; nothing removed
  kExitRemovedRestart = 3010,   // removed; files in use go at the next restart
};

// The log that lies beside a program file.
std::string log_path_beside(const std::string& program_path);

// The working copy's folder below a temporary folder (which ends with '\'):
// a name of its own for each run, from os::Os::unpredictable_name().
std::string working_folder_path(const std::string& temp_folder, const std::string& unpredictable);
// True when `folder` (without a trailing backslash) is a working folder
// directly below the temporary folder (which ends with '\').
bool is_working_folder(const std::string& temp_folder, const std::string& folder);

// Launcher mode: copies the running program into a fresh working folder
// that only this user (or, elevated, only administrators) can write, and
// starts that copy with the log beside the running program. Whatever was
// made or planted before is never started: a folder that cannot be made
// fresh, a copy that fails or a copy whose bytes differ from the program's
// ends the launcher with kExitNotStarted. The copy stays open for reading
// until it has started, which on Windows keeps anyone from writing it in
// the meantime. Interactive, the launcher does not wait and answers
// kExitRemoved; silent, it passes "/S" first, waits and answers the copy's
// exit code, so that the caller returns only when the removal is done.
// "/NORESTART" is passed on with `no_restart`, "/LANG=" with a `language`,
// "/LOG=" with a `record`.
int run_launcher(os::Os& os, bool silent = false, bool no_restart = false,
                 const std::string& language = std::string(),
                 const std::string& record = std::string());

// "Are you sure you wish to uninstall %s?", the name shortened so that the
// question keeps within 259 characters.
std::string confirmation_question(const std::string& registered_name);

// The language to speak (an index into language::kLanguages): the one
// `forced` names ("/LANG=" code; unknown: English), else the one the
// install spoke, which its uninstall entry records as the DWORD value
// "Language" (a Windows language identifier); English for an entry without
// it, as an older install's has none.
std::size_t removal_language(os::Os& os, const UninstallLog& log, const std::string& forced);

// What the user is told when the log cannot drive a removal (nothing is
// removed then); empty for LogStatus::ok.
std::string log_problem_message(LogStatus status, const std::string& log_path);

}  // namespace quill::uninstaller
