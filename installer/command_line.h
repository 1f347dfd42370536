// The installer's command line and its exit codes. The stub reads its
// arguments here and runs the wizard or a silent install accordingly; the
// process's exit code tells a deployment script how the run ended.
#pragma once

#include <string>
#include <vector>

#include "installer/install_engine.h"
#include "package/payload.h"

namespace quill::installer {

struct CommandLine {
  bool valid = true;      // false: a known switch without its value
  std::string bad;        // the first such argument
  bool help = false;      // "/?"
  bool silent = false;    // "/S"
  // "/PASSIVE": the silent install's answers, with its progress shown.
  bool passive = false;
  bool allow_downgrade = false;  // "/DOWNGRADE": an unattended run may install an older version
  bool no_restart = false;  // "/NORESTART": a file in use ends the run instead
  std::string install_folder;  // "/D=PATH" (empty: the package's own folder)
  std::string log_file;   // "/LOG=FILE" (empty: no log)
  std::string language;   // "/LANG=xx" (empty: the user's language)
  // Arguments that are no switch of the installer, in their order: they are
  // passed over (launchers add their own), and the log names them.
  std::vector<std::string> ignored;

  // "/S" or "/PASSIVE": no question, no wizard, the same answers.
  bool unattended() const { return silent || passive; }
};

// The tail of a whole command line (GetCommandLine): what follows the
// program's name (quoted, or up to the first blank) and the blanks after it.
std::string command_line_tail(const std::string& command_line);

// Parses the tail of a command line (without the program's name).
// Switches are case-insensitive and separated by blanks; "/LOG=" takes a
// file name that may be quoted ("/LOG=\"C:\My logs\a.log\"" or
// "\"/LOG=C:\My logs\a.log\""). "/D=" must come last: everything after it,
// spaces included, is the folder (a pair of enclosing quotes is dropped).
// "/LANG=xx" names the language to speak. Any other argument is ignored;
// only "/D=", "/LOG=" or "/LANG=" without a value makes the line invalid.
CommandLine parse_command_line(const std::string& tail);

// The text of the usage box, in the current language; it lists the
// language codes.
std::string usage_text();
// The box a bad command line or "/?" shows: the usage, after the switch
// that lacks its value. Empty for an unattended run with a bad argument,
// which must not wait for a click.
std::string usage_message(const CommandLine& command);
// The box shown when the file that "/LOG=" names cannot be opened for
// writing (a missing folder, a folder, a read-only place): the program then
// ends with kExitBadCommandLine before anything is installed, since the
// record asked for would not exist. Empty for an unattended run.
std::string log_unwritable_message(const CommandLine& command);

// Process exit codes, the same in silent and interactive mode.
enum ExitCode {
  kExitInstalled = 0,
  kExitBadCommandLine = 1,
  kExitCancelled = 2,
  kExitDamaged = 3,
  kExitUnusableFolder = 4,  // also: not enough free space
  kExitWriteFailed = 5,     // a file could not be written (or, with /NORESTART, was in
                            // use); the run was undone
  kExitNewerInstalled = 6,  // unattended: a newer version is installed and /DOWNGRADE was not given
  kExitAnotherInstall = 1618,  // another setup of the same program runs; nothing done
  kExitInstalledRestart = 3010,  // installed; files in use are replaced at the next restart
};

int exit_code(InstallResult result);
// The same for a run that left files in use to the next restart.
int exit_code(InstallResult result, bool restart_needed);
// A loading that did not end in `done` (nor in a cancel).
int start_exit_code(package::ExtractOutcome outcome);
// The box of a loading that failed that way.
std::string start_error_text(package::ExtractOutcome outcome);
// The interactive run: a wizard closed before its install step installed
// nothing, so the user cancelled.
int wizard_exit_code(bool install_started, InstallResult result, bool restart_needed = false);

}  // namespace quill::installer
