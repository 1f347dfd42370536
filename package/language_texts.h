// The author's texts per language. A package carries the codes of its
// languages in "languages.txt" (one a line, English first; no such file: the
// package speaks English alone) and, for each language but English, the
// texts that differ from the main ones as variant data files named after the
// main file with the code before the extension: "tt.de.txt", "wt.de.txt",
// "license.de.txt", "eoi_message.de.txt" and "fullscreen_text.de.txt" (the
// background window's text, a line of its own). A text without a variant
// falls back to the main one.
#pragma once

#include <string>
#include <vector>

#include "os/os.h"
#include "package/data_files.h"

namespace quill::package {

// The data file holding the variant of the main data file `main_name` for
// `code`: "wt.txt" and "de" give "wt.de.txt".
std::string variant_file_name(const std::string& main_name, const std::string& code);

// True when `name` (a payload-folder name) is a variant data file of a known
// language, or "languages.txt".
bool is_language_data_file(const std::string& name);

// "languages.txt": the codes, one a line. With "\n" line ends.
std::string languages_text(const std::vector<std::string>& codes);
// The codes of "languages.txt" that common/languages.h knows, each once, with
// English always first; {"en"} for an empty or unreadable text.
std::vector<std::string> languages_from_text(const std::string& text);

// Puts into `data` the variants of the language `code` that the package
// has: the title, the welcome and licence texts and the background window's
// text, expanded as load_installer_data expands the main ones (a text
// without a variant is the main one again), and sets data->language to
// `code`, or to "" for English or a language the package does not carry
// (then every text is the main one).
void use_language(os::Os& os, const std::string& code, InstallerData* data);

}  // namespace quill::package
