// The author's texts per language.
#include "package/language_texts.h"

#include <algorithm>

#include "common/languages.h"
#include "common/lines.h"
#include "common/text_file.h"
#include "package/entry_names.h"

namespace quill::package {
namespace {

bool known_code(const std::string& code) {
  for (const language::Language& l : language::kLanguages) {
    if (l.code == code) return true;
  }
  return false;
}

const std::string kEnglish(language::kLanguages[language::kEnglish].code);

// The main data files that have variants.
const char* const kVariantFiles[] = {data_file::kTitle, data_file::kWelcome, data_file::kLicence,
                                     data_file::kEoiMessage, data_file::kFullscreenText};

std::string lower_ascii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::string variant_file_name(const std::string& main_name, const std::string& code) {
  const std::size_t dot = main_name.rfind('.');
  if (dot == std::string::npos) return main_name + "." + code;
  return main_name.substr(0, dot) + "." + code + main_name.substr(dot);
}

bool is_language_data_file(const std::string& name) {
  const std::string key = lower_ascii(name);
  if (key == data_file::kLanguages) return true;
  for (const language::Language& l : language::kLanguages) {
    if (l.code == kEnglish) continue;
    for (const char* main_name : kVariantFiles) {
      if (key == lower_ascii(variant_file_name(main_name, std::string(l.code)))) return true;
    }
  }
  return false;
}

std::string languages_text(const std::vector<std::string>& codes) {
  std::string out;
  for (const std::string& code : codes) {
    if (!out.empty()) out += '\n';
    out += code;
  }
  return out;
}

std::vector<std::string> languages_from_text(const std::string& text) {
  std::vector<std::string> codes{kEnglish};
  LineReader reader(text);
  std::string line;
  while (reader.next(&line)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (known_code(line) && std::find(codes.begin(), codes.end(), line) == codes.end()) {
      codes.push_back(line);
    }
  }
  return codes;
}

void use_language(os::Os& os, const std::string& code, InstallerData* data) {
  const bool carried = code != kEnglish &&
                       std::find(data->languages.begin(), data->languages.end(), code) !=
                           data->languages.end();
  data->language = carried ? code : std::string();
  const DataFiles& files = data->files;
  const std::string no_install_folder;
  // The variant's name when the package has it, else the main file's.
  auto chosen = [&](const char* main_name) {
    if (!carried) return std::string(main_name);
    const std::string variant = variant_file_name(main_name, code);
    return files.find(variant) ? variant : std::string(main_name);
  };
  auto expanded = [&](const char* main_name, std::string* text) {
    expanded_data_text(os, data->macros, files, chosen(main_name), no_install_folder,
                       kMaxMainText, text);
  };
  expanded(data_file::kWelcome, &data->welcome_text);
  expanded(data_file::kTitle, &data->title);
  expanded(data_file::kLicence, &data->licence_text);

  if (const std::string* fullscreen = files.find(data_file::kFullscreen)) {
    FullscreenSettings main;
    fullscreen_settings_from_text(expand_data_file(os, data->macros, *fullscreen, no_install_folder),
                                  &main);
    data->fullscreen.text = main.text;
    const std::string variant = chosen(data_file::kFullscreenText);
    if (variant != data_file::kFullscreenText) {
      std::string text;
      expanded_data_text(os, data->macros, files, variant, no_install_folder, kMaxMainText, &text);
      LineReader reader(text);
      reader.next(&data->fullscreen.text);
    }
  }
}

}  // namespace quill::package
