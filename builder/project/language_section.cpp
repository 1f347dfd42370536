// The languages a project carries and its section of language variants.
#include "builder/project/language_section.h"

#include <algorithm>

#include "common/languages.h"
#include "common/text_file.h"

namespace quill::project {

const char kLanguageSectionMarker[] = "[language texts]";

namespace {

const std::string kEnglish(language::kLanguages[language::kEnglish].code);

std::string trimmed(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string::npos) return std::string();
  return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

}  // namespace

void put_section_line(std::string& out, const std::string& value) {
  std::string line = value.substr(0, value.find_first_of("\r\n"));
  LineReader reader(line);
  reader.next(&line);
  add_crlf_line(&out, line);
}

bool is_language_code(const std::string& code) {
  for (const language::Language& l : language::kLanguages) {
    if (l.code == code) return true;
  }
  return false;
}

std::vector<std::string> parse_language_list(const std::string& text,
                                             std::vector<std::string>* unknown) {
  std::vector<std::string> codes{kEnglish};
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string code = trimmed(text.substr(start, end - start));
    if (!code.empty()) {
      if (!is_language_code(code)) {
        if (unknown) unknown->push_back(code);
      } else if (std::find(codes.begin(), codes.end(), code) == codes.end()) {
        codes.push_back(code);
      }
    }
    start = end + 1;
  }
  return codes;
}

std::string language_list_text(const std::vector<std::string>& codes) {
  std::string out;
  for (const std::string& code : codes) out += (out.empty() ? "" : ",") + code;
  return out;
}

std::vector<std::string> all_languages() {
  std::vector<std::string> codes;
  for (const language::Language& l : language::kLanguages) codes.emplace_back(l.code);
  return codes;
}

std::vector<std::string> carried_languages(const Settings& settings) {
  return parse_language_list(language_list_text(settings.languages));
}

LanguageTexts& language_texts_for(Settings& settings, const std::string& code) {
  return settings.language_texts[code];
}

void remove_language_texts(Settings& settings, const std::string& code) {
  settings.language_texts.erase(code);
}

bool is_empty(const LanguageTexts& t) {
  return t.title.empty() && t.welcome_file.empty() && t.licence_file.empty() &&
         t.eoi_message.empty() && t.background_text.empty();
}

std::string render_language_section(const Project& project) {
  std::string out;
  for (const auto& [code, texts] : project.settings().language_texts) {
    if (!is_language_code(code) || code == kEnglish || is_empty(texts)) continue;
    if (out.empty()) put_section_line(out, kLanguageSectionMarker);
    put_section_line(out, code);
    for (const std::string* text : {&texts.title, &texts.welcome_file, &texts.licence_file,
                                    &texts.eoi_message, &texts.background_text}) {
      put_section_line(out, *text);
    }
  }
  if (!out.empty()) put_section_line(out, "|");
  return out;
}

void read_language_section(Project& project, LineReader& reader) {
  std::string code;
  while (reader.next(&code) && !(!code.empty() && code[0] == '|')) {
    LanguageTexts texts;
    for (std::string* text : {&texts.title, &texts.welcome_file, &texts.licence_file,
                              &texts.eoi_message, &texts.background_text}) {
      if (!reader.next(text)) return;
    }
    if (is_language_code(code) && code != kEnglish && !is_empty(texts)) {
      project.settings().language_texts[code] = texts;
    }
  }
}

}  // namespace quill::project
