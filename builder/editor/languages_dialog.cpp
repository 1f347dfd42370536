// The languages dialog's working copy.
#include "builder/editor/languages_dialog.h"

#include "builder/editor/editor.h"
#include "builder/editor/messages.h"
#include "common/languages.h"
#include "common/limits.h"
#include "text/unicode.h"

namespace quill::editor {

std::string cut_to_box_length(const std::string& text) {
  // The boxes count UTF-16 units; a character outside the basic plane
  // takes two.
  std::size_t units = 0, pos = 0, kept = 0;
  while (pos < text.size()) {
    const char32_t code_point = quill::text::next_code_point(text, &pos);
    units += code_point > 0xFFFF ? 2 : 1;
    if (units > kMaxPathLength) break;
    kept = pos;
  }
  return text.substr(0, kept);
}

namespace {

std::size_t index_of(const std::string& code) {
  for (std::size_t i = 0; i < language::kLanguageCount; ++i) {
    if (language::kLanguages[i].code == code) return i;
  }
  return LanguagesDialog::kNone;
}

bool all_empty(const project::LanguageTexts& t) {
  return t.title.empty() && t.welcome_file.empty() && t.licence_file.empty() && t.eoi_message.empty() &&
         t.background_text.empty();
}

bool same(const project::LanguageTexts& a, const project::LanguageTexts& b) {
  return a.title == b.title && a.welcome_file == b.welcome_file && a.licence_file == b.licence_file &&
         a.eoi_message == b.eoi_message && a.background_text == b.background_text;
}

}  // namespace

LanguagesDialog::LanguagesDialog(const project::Settings& settings, Prompter& prompter)
    : prompter_(prompter), carried_(language::kLanguageCount, false), texts_(language::kLanguageCount) {
  carried_[language::kEnglish] = true;
  for (const std::string& code : settings.languages) {
    const std::size_t i = index_of(code);
    if (i != kNone) carried_[i] = true;
  }
  for (const auto& [code, texts] : settings.language_texts) {
    const std::size_t i = index_of(code);
    if (i != kNone) texts_[i] = texts;
  }
  const std::vector<std::size_t> choices = shown_choices();
  if (!choices.empty()) shown_ = choices.front();
}

std::string LanguagesDialog::title() const { return text::kLanguagesTitle; }

std::size_t LanguagesDialog::count() const { return language::kLanguageCount; }

int LanguagesDialog::check_control(std::size_t language) {
  return language_control::kFirstCheck + static_cast<int>(language);
}

std::string LanguagesDialog::caption(std::size_t language) const {
  const language::Language& l = language::kLanguages[language];
  std::string caption(l.english_name);
  if (l.native_name != l.english_name) caption += " (" + std::string(l.native_name) + ")";
  return caption;
}

bool LanguagesDialog::can_toggle(std::size_t language) const { return language != language::kEnglish; }

void LanguagesDialog::set_carried(std::size_t language, bool on) {
  if (language >= carried_.size() || !can_toggle(language) || carried_[language] == on) return;
  carried_[language] = on;
  if (on) {
    shown_ = language;
  } else if (shown_ == language) {
    const std::vector<std::size_t> choices = shown_choices();
    shown_ = choices.empty() ? kNone : choices.front();
  }
}

std::vector<std::size_t> LanguagesDialog::shown_choices() const {
  std::vector<std::size_t> choices;
  for (std::size_t i = 0; i < carried_.size(); ++i) {
    if (carried_[i] && i != language::kEnglish) choices.push_back(i);
  }
  return choices;
}

void LanguagesDialog::show(std::size_t language) {
  if (language < carried_.size() && carried_[language] && language != language::kEnglish) shown_ = language;
}

std::string* LanguagesDialog::field(std::size_t language, int id) {
  if (language >= texts_.size()) return nullptr;
  project::LanguageTexts& t = texts_[language];
  switch (id) {
    case language_control::kTitle: return &t.title;
    case language_control::kWelcome: return &t.welcome_file;
    case language_control::kLicence: return &t.licence_file;
    case language_control::kEoiMessage: return &t.eoi_message;
    case language_control::kBackgroundText: return &t.background_text;
    default: return nullptr;
  }
}

std::string LanguagesDialog::text(int id) const {
  const std::string* value = const_cast<LanguagesDialog*>(this)->field(shown_, id);
  return value ? *value : std::string();
}

void LanguagesDialog::set_text(int id, const std::string& value) {
  if (std::string* target = field(shown_, id)) *target = cut_to_box_length(value);
}

void LanguagesDialog::browse(int button) {
  const int target = button == language_control::kWelcomeBrowse   ? language_control::kWelcome
                     : button == language_control::kLicenceBrowse ? language_control::kLicence
                                                                  : 0;
  if (!target || shown_ == kNone) return;
  std::string path;
  if (prompter_.choose_file_to_open({text::kTextFilter, text::kTextPattern, "", false, false}, &path)) {
    set_text(target, path);
  }
}

std::vector<std::string> LanguagesDialog::languages() const {
  std::vector<std::string> codes;
  for (std::size_t i = 0; i < carried_.size(); ++i) {
    if (carried_[i]) codes.emplace_back(language::kLanguages[i].code);
  }
  return codes;
}

std::map<std::string, project::LanguageTexts> LanguagesDialog::language_texts() const {
  std::map<std::string, project::LanguageTexts> texts;
  for (std::size_t i : shown_choices()) {
    if (!all_empty(texts_[i])) texts[std::string(language::kLanguages[i].code)] = texts_[i];
  }
  return texts;
}

bool LanguagesDialog::apply(project::Settings& settings) const {
  std::vector<std::string> codes = languages();
  std::map<std::string, project::LanguageTexts> texts = language_texts();
  bool changed = codes != settings.languages || texts.size() != settings.language_texts.size();
  for (const auto& [code, t] : texts) {
    auto it = settings.language_texts.find(code);
    if (it == settings.language_texts.end() || !same(it->second, t)) changed = true;
  }
  settings.languages = std::move(codes);
  settings.language_texts = std::move(texts);
  return changed;
}

std::unique_ptr<LanguagesDialog> Editor::languages_dialog() {
  return std::make_unique<LanguagesDialog>(project_.settings(), prompter_);
}

bool Editor::store_languages(const LanguagesDialog& dialog) {
  Lock lock(mutex_);
  return dialog.apply(project_.settings());
}

}  // namespace quill::editor
