// The installer stub's words in the language it speaks.
#include "installer/language_texts_load.h"

#include <string>

#include "common/languages.h"
#include "common/text_file.h"
#include "common/texts.h"
#include "common/texts_file.h"

namespace quill::installer {

std::size_t speak_language(os::Os& os, const package::InstallerData& data, std::size_t language) {
  // One table for the run; the texts point into it.
  static texts::LoadedTable loaded;
  texts::set_current_language(language);
  const std::string name = texts::texts_file_name(language);
  if (name.empty()) return 0;
  std::string bytes;
  if (const std::string* held = data.files.find(name)) {
    bytes = *held;
  } else if (data.payload_folder.empty() ||
             !read_binary_file(os, data.payload_folder + name,
                               texts::kTextCount * (texts::kMaxLoadedTextBytes + 8), &bytes)) {
    bytes.clear();
  }
  const std::size_t count = loaded.parse(bytes);
  texts::set_loaded_table(language, count > 0 ? &loaded.table() : nullptr);
  return count;
}

}  // namespace quill::installer
