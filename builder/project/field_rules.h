// What a name, a folder and a text of the project may hold. Every way into
// a project (the window, each command of the command-line builder, the
// project reader) asks these, so a project can hold only what the project
// file writes back unchanged and what an installer creates as given. Each
// returns an empty text when the value is allowed, else why it is not
// ("holds a line break"), to follow the value's own description.
#pragma once

#include <string>

namespace quill::project {

// One line of the project file: no line break (CR or LF), at most
// kMaxPathLength characters.
std::string text_problem(const std::string& text);

// The name of a file or folder an installer creates: a text that is not
// empty, "." or "..", holds no control character and none of
// \ / : * ? " < > |, does not end in a dot
// or space and is not a device name (CON, NUL, COM1, LPT1, ... with or
// without an extension).
std::string file_name_problem(const std::string& name);

// A folder below the install folder: "%install path%\" followed by names,
// each ending in "\".
std::string install_folder_problem(const std::string& folder);

// A custom target folder ("C:\Tools\", "%system%\", "\\server\share\"): a
// text ending in "\" whose names after its first part (a drive, a macro or
// a server) are names of files.
std::string custom_folder_problem(const std::string& folder);

// A start-menu folder of a shortcut: empty (the menu itself) or names joined
// by "\" below the menu, never a drive, a root or a "..".
std::string shortcut_folder_problem(const std::string& folder);

// A macro's name: a word between two % signs ("%company%"), one line.
std::string macro_name_problem(const std::string& name);

// A number of a field with limits, as the text the project file holds.
std::string number_problem(const std::string& text, long minimum, long maximum);

}  // namespace quill::project
