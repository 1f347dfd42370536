// Starting a file with the ordinary rights of the user at the desktop. An
// elevated installer's own token is an administrator's, the one who typed
// the password when a standard user asked for the install; what the install
// offers to start afterwards (the installed program, a web page) must not
// inherit it. The logged-on user's shell, the desktop's explorer, is asked
// to start the file instead: it runs with that user's token.
#pragma once

#include <string>

#include "os/os.h"

namespace quill::os {

// Has the desktop's shell apply its default operation to `file`, with this
// process's current folder as the working folder. Error::none once the
// shell took the request (whether the file then starts is the shell's to
// report); Error::not_found when there is no desktop shell to ask (none
// running, another user's desktop, or a system without these interfaces),
// and the caller starts the file itself.
Error open_through_desktop_shell(const std::string& file);

}  // namespace quill::os
