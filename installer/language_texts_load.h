// The installer stub's words in the language it speaks: English is built in,
// every other language comes from the table its package carries for it
// ("texts_<code>.txt", see common/texts_file.h).
#pragma once

#include <cstddef>

#include "os/os.h"
#include "package/data_files.h"

namespace quill::installer {

// Makes `language` (an index into language::kLanguages) the one the texts
// speak and installs the package's table for it: from the data files held
// in memory, else from the payload folder. A language whose file is missing
// or damaged speaks English wherever its table lacks a text. Returns the
// number of texts read (0 for English).
std::size_t speak_language(os::Os& os, const package::InstallerData& data, std::size_t language);

}  // namespace quill::installer
