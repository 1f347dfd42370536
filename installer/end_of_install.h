// End-of-install events: the closing message and the command that run when
// the user clicks "Done" on the last wizard step. The three files are read
// by package::read_end_of_install when the last step opens.
#pragma once

#include <string>

#include "os/os.h"
#include "package/data_files.h"

namespace quill::installer {

enum class MessageKind {
  none,    // no message: the command (if any) runs without a box
  ok,      // OK button, warning icon
  yes_no,  // Yes and No buttons, warning icon; No keeps the command from running
};

MessageKind message_kind(const package::EndOfInstall& events);
// Whether the command runs, given the user's answer to a Yes/No box.
bool runs_command(const package::EndOfInstall& events, bool answered_yes);

// Shows the message. Implemented by the stub with a message box captioned
// with the installer title, and by tests.
class MessageUi {
 public:
  virtual ~MessageUi() = default;
  // Shows `text` in a box of `kind` (ok or yes_no); true when the user
  // answered Yes (the answer of an OK box is not used).
  virtual bool show_message(MessageKind kind, const std::string& text) = 0;
};

// "Done": shows the message when there is one, then runs the command with
// the shell's default operation (the whole text is the file operand) when it
// should. A command that cannot be started is not reported. Removing the
// payload folder and ending the process are the caller's.
void run_end_of_install(os::Os& os, const package::EndOfInstall& events, MessageUi& ui);

}  // namespace quill::installer
