// Decisions about files in use and the setup lock's name.
#include "common/in_use.h"

#include <cstdint>

#include "text/unicode.h"

namespace quill {

const char kRestartNeededText[] =
    "Some files were in use. They will be replaced or removed when the computer restarts.\n"
    "Please restart the computer to finish.";

InUseAction in_use_action(bool silent, bool restart_allowed, bool programs_known,
                          InUseAnswer answer) {
  if (silent) return restart_allowed ? InUseAction::later : InUseAction::abort;
  switch (answer) {
    case InUseAnswer::abort: return InUseAction::abort;
    case InUseAnswer::retry:
      return programs_known ? InUseAction::close_and_retry : InUseAction::retry;
    case InUseAnswer::ignore: return restart_allowed ? InUseAction::later : InUseAction::skip;
  }
  return InUseAction::abort;
}

std::string in_use_question(const std::string& path, const std::vector<std::string>& programs,
                            bool restart_allowed, const char* run) {
  std::string text = "The file " + path + " is in use";
  if (!programs.empty()) {
    text += " by:";
    for (const std::string& program : programs) text += "\n    " + program;
    text += "\n\nRetry closes these programs and tries again.";
  } else {
    text += ".\n\nClose the programs that use it and choose Retry.";
  }
  text += restart_allowed ? "\nIgnore finishes with it when the computer restarts."
                          : "\nIgnore goes on without it.";
  return text + "\nAbort ends the " + run + ".";
}

std::string setup_lock_name(const std::string& registered_name) {
  // FNV-1a over the upper-case name: a name of fixed length and alphabet
  // whatever the program's name holds.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : text::upper_case(registered_name)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  static const char kDigits[] = "0123456789abcdef";
  std::string name = "Quillset-setup-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
  return name;
}

std::string another_setup_message(const std::string& registered_name) {
  return "Another installation of " + registered_name + " is in progress.";
}

}  // namespace quill
