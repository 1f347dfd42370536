// Command-line parsing and exit codes of the installer.
#include "installer/command_line.h"

#include "common/paths.h"

namespace quill::installer {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// True when `text` at `position` begins with `word`, ignoring case.
bool starts_with(const std::string& text, std::size_t position, const char* word) {
  for (std::size_t i = 0; word[i] != '\0'; ++i) {
    if (position + i >= text.size()) return false;
    if (ascii_upper(text[position + i]) != ascii_upper(word[i])) {
      return false;
    }
  }
  return true;
}

std::string without_enclosing_quotes(std::string text) {
  while (!text.empty() && is_blank(text.back())) text.pop_back();
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

void refuse(CommandLine* line, const std::string& argument) {
  if (line->valid) line->bad = argument;
  line->valid = false;
}

}  // namespace

CommandLine parse_command_line(const std::string& tail) {
  CommandLine line;
  std::size_t i = 0;
  for (;;) {
    while (i < tail.size() && is_blank(tail[i])) ++i;
    if (i >= tail.size()) break;
    // "/D=" (also written "\"/D=...") ends the line: its path may hold blanks.
    const std::size_t switch_at = tail[i] == '"' ? i + 1 : i;
    if (starts_with(tail, switch_at, "/D=")) {
      std::string folder = tail.substr(switch_at + 3);
      if (switch_at != i) {
        // "\"/D=C:\Folder\"": the quote before the switch closes at the end.
        folder = without_enclosing_quotes("\"" + folder);
      } else {
        folder = without_enclosing_quotes(folder);
      }
      if (folder.empty()) refuse(&line, tail.substr(i));
      line.install_folder = folder;
      break;
    }
    // One argument: up to the next blank outside quotes; quotes are dropped.
    std::string argument;
    bool quoted = false;
    for (; i < tail.size() && (quoted || !is_blank(tail[i])); ++i) {
      if (tail[i] == '"') {
        quoted = !quoted;
      } else {
        argument += tail[i];
      }
    }
    if (argument == "/?") {
      line.help = true;
    } else if (argument.size() == 2 && starts_with(argument, 0, "/S")) {
      line.silent = true;
    } else if (argument.size() == 10 && starts_with(argument, 0, "/DOWNGRADE")) {
      line.allow_downgrade = true;
    } else if (argument.size() == 10 && starts_with(argument, 0, "/NORESTART")) {
      line.no_restart = true;
    } else if (starts_with(argument, 0, "/LOG=")) {
      if (argument.size() == 5) refuse(&line, argument);
      line.log_file = argument.substr(5);
    } else if (!argument.empty()) {
      line.ignored.push_back(argument);
    }
  }
  return line;
}

std::string usage_text() {
  return "Usage: setup.exe [/S] [/DOWNGRADE] [/NORESTART] [/LOG=file] [/D=folder]\n"
         "\n"
         "/S\tInstall silently: no window, no question. A file that exists\n"
         "\tis replaced; the message and program that the package shows or\n"
         "\tstarts at the end of an install are skipped.\n"
         "/DOWNGRADE\tWith /S, install over a newer installed version.\n"
         "/NORESTART\tA file in use ends the install (undone) instead of\n"
         "\tbeing replaced when the computer restarts.\n"
         "/LOG=file\tAppend a record of the install to the file.\n"
         "/D=folder\tInstall to this folder. Must come last; may hold spaces.\n"
         "/?\tShow this help.\n"
         "\n"
         "Exit codes: 0 installed, 1 bad command line, 2 cancelled,\n"
         "3 damaged package, 4 folder unusable or disk full,\n"
         "5 a file could not be written (the install was undone),\n"
         "6 a newer version is installed (silent, without /DOWNGRADE),\n"
         "1618 another installation of the program is in progress,\n"
         "3010 installed; a restart finishes replacing files in use.";
}

std::string usage_message(const CommandLine& command) {
  if (command.valid) return usage_text();
  if (command.silent) return std::string();
  return "Missing value: " + command.bad + "\n\n" + usage_text();
}

int start_exit_code(package::ExtractOutcome outcome) {
  return outcome == package::ExtractOutcome::write_failed ? kExitWriteFailed : kExitDamaged;
}

const char* start_error_text(package::ExtractOutcome outcome) {
  return outcome == package::ExtractOutcome::write_failed
             ? "The installer could not write its temporary files.\n"
               "Please check the free space of your temporary folder."
             : "The installer package is damaged and cannot be installed.\n"
               "Please obtain a new copy of the installer.";
}

int wizard_exit_code(bool install_started, InstallResult result, bool restart_needed) {
  return install_started ? exit_code(result, restart_needed) : kExitCancelled;
}

int exit_code(InstallResult result, bool restart_needed) {
  return result == InstallResult::finished && restart_needed ? kExitInstalledRestart
                                                             : exit_code(result);
}

int exit_code(InstallResult result) {
  switch (result) {
    case InstallResult::finished: return kExitInstalled;
    case InstallResult::cancelled: return kExitCancelled;
    case InstallResult::damaged: return kExitDamaged;
    case InstallResult::unusable_folder: return kExitUnusableFolder;
    case InstallResult::write_failed: return kExitWriteFailed;
  }
  return kExitDamaged;
}

}  // namespace quill::installer
