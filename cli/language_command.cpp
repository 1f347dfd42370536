// The command "language": the author's texts in the languages a project
// carries, and what "check" finds wrong with them.
#include <algorithm>
#include <functional>
#include <ostream>

#include "builder/project/language_section.h"
#include "builder/project/package_contents.h"
#include "cli/check.h"
#include "cli/commands.h"
#include "cli/edit_session.h"
#include "common/languages.h"

namespace quill::cli {

namespace {

// The variant's texts by the command's key; the two files are paths.
struct TextKey {
  const char* key;
  std::string project::LanguageTexts::*text;
  bool path;
};
const TextKey kTextKeys[] = {
    {"title", &project::LanguageTexts::title, false},
    {"welcome", &project::LanguageTexts::welcome_file, true},
    {"licence", &project::LanguageTexts::licence_file, true},
    {"eoi-message", &project::LanguageTexts::eoi_message, false},
    {"background-text", &project::LanguageTexts::background_text, false},
};

std::string known_codes() {
  std::string codes;
  for (const language::Language& l : language::kLanguages) {
    codes += (codes.empty() ? "" : " ") + std::string(l.code);
  }
  return codes;
}

void need_variant_code(const std::string& code) {
  if (!project::is_language_code(code)) {
    throw Refused("unknown language \"" + code + "\"; the codes are " + known_codes());
  }
  if (code == language::kLanguages[language::kEnglish].code) {
    throw Refused("English texts are the project's main ones: use quillset-build set");
  }
}

void edit(Context& c, const std::string& typed, const std::function<void(project::Project&)>& change) {
  EditSession session(c.platform);
  const std::string path = c.platform.os_path(typed);
  session.open(path, typed);
  project::Project result = session.project();
  change(result);
  session.save(result, path, typed);
}

}  // namespace

int command_language(const Args& args, Context& c) {
  if (args.words.size() < 2) throw Refused("missing arguments; see quillset-build language --help");
  const std::string& action = args.words[1];
  if (action == "list") {
    if (args.words.size() != 2) throw Refused("language list takes no more arguments");
    EditSession session(c.platform);
    session.open(c.platform.os_path(args.words[0]), args.words[0]);
    const project::Settings& s = session.project().settings();
    for (const std::string& code : project::carried_languages(s)) {
      c.out << code << "\n";
      auto found = s.language_texts.find(code);
      if (found == s.language_texts.end()) continue;
      for (const TextKey& k : kTextKeys) {
        const std::string& text = found->second.*k.text;
        if (!text.empty()) c.out << "  " << k.key << " = " << text << "\n";
      }
    }
    for (const auto& [code, texts] : s.language_texts) {
      (void)texts;
      if (!project::is_language_code(code)) continue;
      const auto carried = project::carried_languages(s);
      if (std::find(carried.begin(), carried.end(), code) == carried.end()) {
        c.out << code << " (not carried)\n";
      }
    }
    return 0;
  }
  if (args.words.size() < 3) throw Refused("language " + action + " takes a language code");
  const std::string code = args.words[2];
  need_variant_code(code);
  if (action == "remove") {
    if (args.words.size() != 3) throw Refused("language remove takes one language code");
    edit(c, args.words[0], [&](project::Project& model) {
      project::Settings& s = model.settings();
      auto carried = project::carried_languages(s);
      const auto at = std::find(carried.begin(), carried.end(), code);
      if (at == carried.end() && s.language_texts.count(code) == 0) {
        throw Refused("the project has no language " + code);
      }
      if (at != carried.end()) carried.erase(at);
      s.languages = carried;
      project::remove_language_texts(s, code);
    });
    return 0;
  }
  if (action != "set") throw Refused("language takes set, remove or list, not \"" + action + "\"");
  EditSession probe(c.platform);
  std::vector<std::pair<const TextKey*, std::string>> changes;
  for (std::size_t i = 3; i < args.words.size(); ++i) {
    const std::string& word = args.words[i];
    const std::size_t eq = word.find('=');
    const TextKey* key = nullptr;
    for (const TextKey& k : kTextKeys) {
      if (eq != std::string::npos && word.compare(0, eq, k.key) == 0 && std::string(k.key).size() == eq) key = &k;
    }
    if (!key) {
      throw Refused("\"" + word + "\" is not title=, welcome=, licence=, eoi-message= or background-text=");
    }
    std::string value = word.substr(eq + 1);
    const bool windows = (value.size() >= 2 && value[1] == ':') || value.compare(0, 2, "\\\\") == 0;
    if (key->path && !value.empty() && !windows) value = c.platform.os_path(value);
    check_line(std::string("the ") + key->key, value);
    if (key->path && !value.empty()) {
      const os::FileStatus status = probe.os().file_status(value);
      if (!status.exists || status.is_folder) throw Refused("no text file " + word.substr(eq + 1));
    }
    changes.emplace_back(key, value);
  }
  edit(c, args.words[0], [&](project::Project& model) {
    project::Settings& s = model.settings();
    // A variant's language is carried from now on.
    auto carried = project::carried_languages(s);
    if (std::find(carried.begin(), carried.end(), code) == carried.end()) carried.push_back(code);
    s.languages = carried;
    project::LanguageTexts& texts = project::language_texts_for(s, code);
    for (const auto& [key, value] : changes) texts.*(key->text) = value;
  });
  return 0;
}

void check_languages(const project::Project& p, os::Os& os, std::vector<Finding>* found) {
  const project::Settings& s = p.settings();
  const std::vector<std::string> carried = project::carried_languages(s);
  for (const auto& [code, texts] : s.language_texts) {
    if (project::is_empty(texts)) continue;
    if (std::find(carried.begin(), carried.end(), code) == carried.end()) {
      found->push_back({false, "the texts in language " + code +
                                   " are left out: the project does not carry that language"});
      continue;
    }
    for (const std::string* file : {&texts.welcome_file, &texts.licence_file}) {
      if (file->empty()) continue;
      const os::FileStatus status = os.file_status(project::box_text(*file));
      if (!status.exists || status.is_folder) {
        found->push_back({true, "Text file missing: \"" + *file + "\" (" + code + ")."});
      }
    }
  }
}

}  // namespace quill::cli
