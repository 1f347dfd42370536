// The record of one run that the user asks for with "/LOG=FILE", kept by the
// installer and the uninstaller alike: one line per step, appended and
// written through at once so that it survives a process that ends abruptly.
// A file whose name ends in ".jsonl" (any case) gets one JSON object a line,
// {"event":…,"action":…,…}; any other file gets the plain text lines.
#pragma once

#include <memory>
#include <string>

#include "os/os.h"

namespace quill {

// A kind of step is one text, "EVENT ACTION FIELD SECOND|PLAIN": the JSON
// object holds the event, the action and the step's values named FIELD and
// SECOND (each name may be missing from the end; an action "-" is none);
// the plain line is PLAIN with %1 and %2 replaced by the values. Kept as
// one text each, so that the stub carries little for them.
inline constexpr const char* kLogIgnoredArgument = "argument ignored argument|Ignored argument: %1";
inline constexpr const char* kLogAnotherSetup = "setup busy|Another installation is in progress";
// The last line of every run: "Exit code N", {"event":"exit","code":N}.
inline constexpr const char* kLogExit = "exit - code|Exit code %1";

class RunLog {
 public:
  // Opens `path` for appending; a log that cannot be opened records nothing.
  RunLog(os::Os& os, const std::string& path);
  bool is_open() const { return file_ != nullptr; }
  // Records one step (see above) with its values. `event` (when not null)
  // stands for the step's own event.
  void note(const char* step, const std::string& value = std::string(),
            const std::string& second = std::string(), const char* event = nullptr);
  // The same for a step whose value is a count or a code: a JSON number.
  void note_number(const char* step, long long value);

 private:
  void write(const char* step, const std::string& value, const std::string& second, bool number,
             const char* event);

  std::unique_ptr<os::File> file_;
  bool json_ = false;
};

// True when the log file's name asks for JSON lines (ends in ".jsonl").
bool is_json_lines_name(const std::string& path);
// Appends `text` (UTF-8) to `out` as a quoted JSON string: '"', '\' and the
// control characters escaped, everything else as it stands.
void append_json_string(std::string* out, const std::string& text);

}  // namespace quill
