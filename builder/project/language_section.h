// The languages a project carries and the author's texts per language: the
// comma-separated list of the settings line "languages", and the project
// file's section of language variants, which follows the settings (builders
// that predate it stop reading after the settings and never see it).
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "common/lines.h"

namespace quill::project {

// True for a code of common/languages.h.
bool is_language_code(const std::string& code);

// The codes of a comma-separated list, each once, known codes only, English
// first whether listed or not. `unknown` (optional) receives the codes that
// common/languages.h does not know.
std::vector<std::string> parse_language_list(const std::string& text,
                                             std::vector<std::string>* unknown = nullptr);
// "en,de,fr".
std::string language_list_text(const std::vector<std::string>& codes);
// Every built-in language, English first: what a new project carries.
std::vector<std::string> all_languages();

// The languages a package of these settings carries: Settings::languages
// cleaned as parse_language_list cleans a list.
std::vector<std::string> carried_languages(const Settings& settings);

// The variant texts of `code` (an entry is made when there is none), and
// its removal; what the builder's dialog and the command line edit.
LanguageTexts& language_texts_for(Settings& settings, const std::string& code);
void remove_language_texts(Settings& settings, const std::string& code);
// True when every text of the variant is empty (it then is not saved).
bool is_empty(const LanguageTexts& texts);

// One line of a section after the settings: what a reader keeps of the
// value (no line end, at most the line limit), with its CR LF.
void put_section_line(std::string& out, const std::string& value);

// The line that opens the section of language variants.
extern const char kLanguageSectionMarker[];  // "[language texts]"
// The section: the marker, then per variant its code, title, welcome file,
// licence file, end-of-install message and background text, each one line,
// closed by a line "|". Empty when the project has no variant.
std::string render_language_section(const Project& project);
// Reads the section's records after its marker line into the project's
// settings, up to the closing line or the end of the file. A record of an
// unknown code is read and dropped.
void read_language_section(Project& project, LineReader& reader);

}  // namespace quill::project
