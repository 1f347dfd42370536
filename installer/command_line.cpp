// Command-line parsing and exit codes of the installer.
#include "installer/command_line.h"

#include "common/languages.h"
#include "common/paths.h"
#include "common/texts.h"

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

std::string command_line_tail(const std::string& command_line) {
  std::size_t i = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    const std::size_t close = command_line.find('"', 1);
    i = close == std::string::npos ? command_line.size() : close + 1;
  }
  while (i < command_line.size() && !is_blank(command_line[i])) ++i;
  while (i < command_line.size() && is_blank(command_line[i])) ++i;
  return command_line.substr(i);
}

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
    } else if (argument.size() == 8 && starts_with(argument, 0, "/PASSIVE")) {
      line.passive = true;
    } else if (argument.size() == 10 && starts_with(argument, 0, "/DOWNGRADE")) {
      line.allow_downgrade = true;
    } else if (argument.size() == 10 && starts_with(argument, 0, "/NORESTART")) {
      line.no_restart = true;
    } else if (starts_with(argument, 0, "/LOG=")) {
      if (argument.size() == 5) refuse(&line, argument);
      line.log_file = argument.substr(5);
    } else if (starts_with(argument, 0, "/LANG=")) {
      if (argument.size() == 6) refuse(&line, argument);
      line.language = argument.substr(6);
    } else if (!argument.empty()) {
      line.ignored.push_back(argument);
    }
  }
  return line;
}

std::string usage_text() {
  std::string codes;
  for (const language::Language& l : language::kLanguages) {
    if (!codes.empty()) codes += ", ";
    codes += l.code;
  }
  return texts::format(texts::TextId::usage, {codes});
}

std::string usage_message(const CommandLine& command) {
  if (command.valid) return usage_text();
  if (command.unattended()) return std::string();
  return texts::format(texts::TextId::missing_value, {command.bad}) + "\n\n" + usage_text();
}

std::string log_unwritable_message(const CommandLine& command) {
  if (command.unattended()) return std::string();
  return texts::format(texts::TextId::log_unwritable, {command.log_file}) + "\n\n" + usage_text();
}

int start_exit_code(package::ExtractOutcome outcome) {
  return outcome == package::ExtractOutcome::write_failed ? kExitWriteFailed : kExitDamaged;
}

std::string start_error_text(package::ExtractOutcome outcome) {
  return std::string(texts::text(outcome == package::ExtractOutcome::write_failed
                                     ? texts::TextId::start_write_failed
                                     : texts::TextId::start_damaged));
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
