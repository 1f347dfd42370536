// Command line, launcher mode and the texts of the uninstaller program.
#include "uninstaller/front_end.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "common/limits.h"
#include "common/paths.h"
#include "common/texts.h"
#include "package/uninstall_key.h"
#include "package/uninstall_log.h"
#include "uninstaller/removal_scope.h"

namespace quill::uninstaller {

std::string question_caption() {
  return std::string(texts::text(texts::TextId::uninstaller_caption));
}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool same_letters(const std::string& text, const char* word) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (ascii_upper(text[i]) != word[i]) return false;
  }
  return true;
}

std::string shortened(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t cut = limit - 3;
  // Never in the middle of a character.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut) + "...";
}

// The tail of a command line after the program's name and the blanks
// after it, as it stands.
std::string raw_tail(const std::string& command_line) {
  std::size_t i = 0;
  if (i < command_line.size() && command_line[i] == '"') {
    std::size_t close = command_line.find('"', 1);
    i = close == std::string::npos ? command_line.size() : close + 1;
  } else {
    while (i < command_line.size() && !is_blank(command_line[i])) ++i;
  }
  while (i < command_line.size() && is_blank(command_line[i])) ++i;
  return command_line.substr(i);
}

}  // namespace

std::string command_line_argument(const std::string& command_line) {
  std::string argument = raw_tail(command_line);
  // A path never holds '"', so one enclosing pair can only be quoting (as a
  // user or a shell adds around a path with spaces).
  if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"') {
    argument = argument.substr(1, argument.size() - 2);
  }
  return argument;
}

Arguments parse_arguments(const std::string& command_line) {
  Arguments arguments;
  // The tail as command_line_argument() reads it, except that a quoted
  // "/LOG=" switch keeps its quotes: they hold the file name's blanks.
  const auto switches_tail = [](const std::string& line) {
    const std::string raw = raw_tail(line);
    const bool quoted_log = raw.size() > 6 && raw[0] == '"' && same_letters(raw.substr(1, 5), "/LOG=");
    return quoted_log ? raw : command_line_argument(line);
  };
  std::string tail = switches_tail(command_line);
  for (;;) {
    std::size_t length = 0;
    for (const char* word : {"/S", "/NORESTART"}) {
      const std::size_t size = std::strlen(word);
      if (tail.size() >= size && (tail.size() == size || is_blank(tail[size])) &&
          same_letters(tail.substr(0, size), word)) {
        length = size;
        (size == 2 ? arguments.silent : arguments.no_restart) = true;
      }
    }
    // "/LANG=xx", up to the next blank.
    if (length == 0 && tail.size() > 6 && same_letters(tail.substr(0, 6), "/LANG=")) {
      length = std::min(tail.find_first_of(" \t"), tail.size());
      arguments.language = tail.substr(6, length - 6);
    }
    // "/LOG=FILE" up to the next blank; "/LOG=\"FILE\"" or "\"/LOG=FILE\""
    // up to its closing quote.
    const std::size_t log_at = !tail.empty() && tail[0] == '"' ? 1 : 0;
    if (length == 0 && tail.size() > log_at + 5 && same_letters(tail.substr(log_at, 5), "/LOG=")) {
      const bool quoted = log_at == 1 || tail[5] == '"';
      const std::size_t start = quoted ? 6 : 5;
      const std::size_t end = std::min(quoted ? tail.find('"', start) : tail.find_first_of(" \t"), tail.size());
      length = std::min(quoted ? end + 1 : end, tail.size());
      arguments.record = tail.substr(start, end - start);
    }
    if (length == 0) break;
    // The rest is read like a whole tail: blanks before it and one pair of
    // enclosing quotes go.
    tail = switches_tail("x" + tail.substr(length));
  }
  arguments.log_path = tail;
  return arguments;
}

std::string log_path_beside(const std::string& program_path) {
  std::size_t slash = program_path.find_last_of('\\');
  std::string folder = slash == std::string::npos ? "" : program_path.substr(0, slash + 1);
  return folder + package::kUninstallLogName;
}

namespace {
const char kWorkingFolderPrefix[] = "Quillclean-";
}  // namespace

std::string working_folder_path(const std::string& temp_folder, const std::string& unpredictable) {
  return temp_folder + kWorkingFolderPrefix + unpredictable;
}

bool is_working_folder(const std::string& temp_folder, const std::string& folder) {
  const std::string name = file_name_part(folder);
  const std::size_t prefix = sizeof kWorkingFolderPrefix - 1;
  return paths_equal(folder_part(folder), temp_folder) && name.size() > prefix &&
         paths_equal(name.substr(0, prefix), kWorkingFolderPrefix);
}

namespace {

// True when `copy` holds exactly the bytes of the file at `original`.
bool same_bytes(os::Os& os, const std::string& original, os::File& copy) {
  std::unique_ptr<os::File> source = os.open_file(original, os::OpenMode::read);
  const std::uint64_t size = source ? source->size() : 0;
  if (!source || !copy.seek(0) || copy.size() != size) return false;
  std::vector<char> expected(1 << 16), found(1 << 16);
  for (std::uint64_t done = 0;;) {
    const std::size_t n = source->read(expected.data(), expected.size());
    if (copy.read(found.data(), found.size()) != n) return false;
    // A read that fails ends early: only the whole file counts.
    if (n == 0) return done == size;
    if (std::memcmp(expected.data(), found.data(), n) != 0) return false;
    done += n;
  }
}

}  // namespace

int run_launcher(os::Os& os, bool silent, bool no_restart, const std::string& language,
                 const std::string& record) {
  const std::string self = os.module_path();
  const std::string temp = os.temp_folder();
  const std::string name = os.unpredictable_name();
  if (self.empty() || temp.empty() || name.empty()) return kExitNotStarted;
  const std::string folder = working_folder_path(temp, name);
  if (os.create_folder_secured(folder, os::FolderAccess::private_work) != os::Error::none) {
    return kExitNotStarted;
  }
  const std::string copy = folder + "\\uninstall.exe";
  if (os.copy_file(self, copy, true) != os::Error::none) return kExitNotStarted;
  // Kept open until the copy has started: on Windows a file open for
  // reading refuses writers, so the bytes compared are the bytes that run.
  const std::unique_ptr<os::File> held = os.open_file(copy, os::OpenMode::read);
  if (!held || !same_bytes(os, self, *held)) return kExitNotStarted;
  // A code holds letters, digits, '-' and '_' only: nothing that could end
  // the switch early or start another one.
  std::string switches = no_restart ? "/NORESTART " : "";
  if (!language.empty() &&
      language.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_") ==
          std::string::npos) {
    switches += "/LANG=" + language + " ";
  }
  // A Windows path holds no '"': the quotes keep its blanks inside the switch.
  if (!record.empty() && record.find('"') == std::string::npos) switches += "/LOG=\"" + record + "\" ";
  if (!silent) {
    // Interactive: the copy asks and shows the removal; the launcher ends
    // at once, so its own file is free to be deleted.
    const std::string arguments = switches + log_path_beside(self);
    return os.start_program(copy, arguments) == os::Error::none ? kExitRemoved : kExitNotStarted;
  }
  const std::string arguments =
      "/S " + switches + log_path_beside(self);
  std::uint32_t code = 0;
  if (os.run_program(copy, arguments, &code) == os::Error::none) return static_cast<int>(code);
  // A backend that cannot wait still starts the removal.
  return os.start_program(copy, arguments) == os::Error::none ? kExitRemoved : kExitNotStarted;
}

std::string confirmation_question(const std::string& registered_name) {
  const std::string_view pattern = texts::text(texts::TextId::uninstall_question);
  // The question's own characters, without its "%1".
  const std::size_t fixed = pattern.size() > 2 ? pattern.size() - 2 : 0;
  const std::size_t room = kMaxPathLength > fixed + 3 ? kMaxPathLength - fixed : 3;
  return texts::format(pattern, {shortened(registered_name, room)});
}

std::size_t removal_language(os::Os& os, const UninstallLog& log, const std::string& forced) {
  if (!forced.empty()) {
    const std::size_t index = texts::language_index(forced);
    return index < language::kLanguageCount ? index : language::kEnglish;
  }
  if (log.registered_name_damaged || !package::is_safe_registered_name(log.registered_name)) {
    return language::kEnglish;
  }
  const std::string key = std::string(package::kUninstallKey) + "\\" + log.registered_name;
  std::uint32_t langid = 0;
  if (os.registry_read_dword(uninstall_entry_root(os, log), key, "Language", &langid) !=
      os::Error::none) {
    return language::kEnglish;
  }
  for (std::size_t i = 0; i < language::kLanguageCount; ++i) {
    if (language::kLanguages[i].langid == langid) return i;
  }
  return language::kEnglish;
}

std::string log_problem_message(LogStatus status, const std::string& log_path) {
  const std::string path = shortened(log_path, kMaxPathLength);
  switch (status) {
    case LogStatus::ok:
      return "";
    case LogStatus::cannot_open:
      return texts::format(texts::TextId::log_cannot_open, {path});
    case LogStatus::no_terminator:
      return texts::format(texts::TextId::log_incomplete, {path});
    case LogStatus::too_many_entries:
      return texts::format(texts::TextId::log_too_many, {path});
  }
  return "";
}

}  // namespace quill::uninstaller
