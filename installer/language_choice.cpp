// The installer's choice of language.
#include "installer/language_choice.h"

#include "common/languages.h"
#include "common/texts.h"

namespace quill::installer {
namespace {

bool is_carried(std::size_t index, const std::vector<std::string>& carried) {
  for (const std::string& code : carried) {
    if (texts::language_index(code) == index) return true;
  }
  return false;
}

}  // namespace

std::size_t choose_language(const std::string& forced, unsigned user_langid,
                            const std::vector<std::string>& carried) {
  using language::kLanguages;
  using language::kLanguageCount;
  if (!forced.empty()) {
    const std::size_t index = texts::language_index(forced);
    return index < kLanguageCount && is_carried(index, carried) ? index : language::kEnglish;
  }
  for (std::size_t i = 0; i < kLanguageCount; ++i) {
    if (kLanguages[i].langid == user_langid && is_carried(i, carried)) return i;
  }
  constexpr unsigned kPrimary = 0x3FF;
  for (std::size_t i = 0; i < kLanguageCount; ++i) {
    if ((kLanguages[i].langid & kPrimary) == (user_langid & kPrimary) && is_carried(i, carried)) {
      return i;
    }
  }
  return language::kEnglish;
}

}  // namespace quill::installer
