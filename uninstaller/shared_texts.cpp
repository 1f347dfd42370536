// Shared messages, composed from the language table.
#include "uninstaller/shared_texts.h"

#include "common/texts.h"

namespace quill::uninstaller {

using texts::TextId;

std::string in_use_text(const std::string& path, const std::vector<std::string>& programs,
                        bool restart_allowed, bool installing) {
  std::string text;
  if (!programs.empty()) {
    std::string list;
    for (const std::string& program : programs) list += "\n    " + program;
    text = texts::format(TextId::in_use_by, {path, list});
  } else {
    text = texts::format(TextId::in_use_unknown, {path});
  }
  text.append("\n").append(
      texts::text(restart_allowed ? TextId::in_use_ignore_later : TextId::in_use_ignore_skip));
  text.append("\n").append(
      texts::text(installing ? TextId::in_use_abort_install : TextId::in_use_abort_removal));
  return text;
}

std::string restart_needed_text() { return std::string(texts::text(TextId::restart_needed)); }

std::string another_setup_text(const std::string& registered_name) {
  return texts::format(TextId::another_setup, {registered_name});
}

}  // namespace quill::uninstaller
