// Files that another program holds open, and one setup at a time: the
// decisions the installer and the uninstaller share. A file in use is
// replaced or deleted when the system next starts, unless the command line
// forbids leaving anything for a restart; then the run ends as a failed
// write did before.
#pragma once

#include <string>
#include <vector>

namespace quill {

// Exit codes that deployment tools know from other setups.
constexpr int kExitRestartNeeded = 3010;  // done; a restart finishes it
constexpr int kExitAnotherSetup = 1618;   // another setup of the program runs

// The buttons of the in-use question (Abort, Retry, Ignore).
enum class InUseAnswer { abort, retry, ignore };

// What to do with a file in use.
enum class InUseAction {
  close_and_retry,  // ask the programs holding it to close, then look again
  retry,            // look again (the user closed them)
  later,            // replace or delete it at the next restart
  skip,             // go on without it
  abort,            // end the run (undone), as a failed write does
};

// Silent: no question (`answer` is not used); a restart may finish the job
// unless `restart_allowed` is false. Interactive: Retry closes the programs
// when the system named them; Ignore leaves the file for the restart where
// allowed, else goes on without it.
InUseAction in_use_action(bool silent, bool restart_allowed, bool programs_known,
                          InUseAnswer answer);

// The question about `path`: the programs holding it (when known) and what
// each button does. `run` is "installation" or "removal".
std::string in_use_question(const std::string& path, const std::vector<std::string>& programs,
                            bool restart_allowed, const char* run);

// What the user is told at the end of a run that left work for a restart.
extern const char kRestartNeededText[];

// The system-wide lock of the setups of one registered name: letters,
// digits and '-' only, the same for every case of the name.
std::string setup_lock_name(const std::string& registered_name);
// "Another installation of %s is in progress."
std::string another_setup_message(const std::string& registered_name);

}  // namespace quill
