// The table of every language's table and the lookup with its English
// fallback. The build defines QUILL_TEXTS_<code> for each language file
// that exists (see CMakeLists.txt); a language without one has no table.
#include "common/texts.h"

#include <atomic>

namespace quill::texts {

extern const Table kTable_en;

#define QUILL_DECLARE_TABLE(code) extern const Table kTable_##code;
#ifdef QUILL_TEXTS_de
QUILL_DECLARE_TABLE(de)
#endif
#ifdef QUILL_TEXTS_fr
QUILL_DECLARE_TABLE(fr)
#endif
#ifdef QUILL_TEXTS_es
QUILL_DECLARE_TABLE(es)
#endif
#ifdef QUILL_TEXTS_it
QUILL_DECLARE_TABLE(it)
#endif
#ifdef QUILL_TEXTS_pt_BR
QUILL_DECLARE_TABLE(pt_BR)
#endif
#ifdef QUILL_TEXTS_nl
QUILL_DECLARE_TABLE(nl)
#endif
#ifdef QUILL_TEXTS_pl
QUILL_DECLARE_TABLE(pl)
#endif
#ifdef QUILL_TEXTS_ru
QUILL_DECLARE_TABLE(ru)
#endif
#ifdef QUILL_TEXTS_ja
QUILL_DECLARE_TABLE(ja)
#endif
#ifdef QUILL_TEXTS_zh_CN
QUILL_DECLARE_TABLE(zh_CN)
#endif
#ifdef QUILL_TEXTS_ko
QUILL_DECLARE_TABLE(ko)
#endif

namespace {

// In the order of language::kLanguages.
const Table* const kTables[] = {
    &kTable_en,
#ifdef QUILL_TEXTS_de
    &kTable_de,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_fr
    &kTable_fr,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_es
    &kTable_es,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_it
    &kTable_it,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_pt_BR
    &kTable_pt_BR,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_nl
    &kTable_nl,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_pl
    &kTable_pl,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_ru
    &kTable_ru,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_ja
    &kTable_ja,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_zh_CN
    &kTable_zh_CN,
#else
    nullptr,
#endif
#ifdef QUILL_TEXTS_ko
    &kTable_ko,
#else
    nullptr,
#endif
};
static_assert(sizeof kTables / sizeof kTables[0] == language::kLanguageCount,
              "one table slot per language");

std::atomic<std::size_t> g_current{language::kEnglish};

const char* find(const Table* table, TextId id) {
  if (!table) return nullptr;
  for (std::size_t i = 0; i < table->count; ++i) {
    if (table->entries[i].id == id) return table->entries[i].text;
  }
  return nullptr;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const Table* table(std::size_t language) {
  return language < language::kLanguageCount ? kTables[language] : nullptr;
}

std::string_view text(std::size_t language, TextId id) {
  const char* found = find(table(language), id);
  if (!found || !*found) found = find(&kTable_en, id);
  return found ? std::string_view(found) : std::string_view();
}

std::size_t current_language() { return g_current.load(); }

void set_current_language(std::size_t language) {
  g_current = language < language::kLanguageCount ? language : language::kEnglish;
}

std::string_view text(TextId id) { return text(current_language(), id); }

std::string format(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 >= pattern.size()) {
      out += c;
      continue;
    }
    const char next = pattern[i + 1];
    if (next == '%') {
      out += '%';
      ++i;
    } else if (next >= '1' && next <= '9') {
      const std::size_t n = static_cast<std::size_t>(next - '1');
      if (n < arguments.size()) out += *(arguments.begin() + n);
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string format(TextId id, std::initializer_list<std::string_view> arguments) {
  return format(text(id), arguments);
}

std::size_t language_index(std::string_view code) {
  for (std::size_t i = 0; i < language::kLanguageCount; ++i) {
    const std::string_view known = language::kLanguages[i].code;
    if (known.size() != code.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < code.size() && same; ++k) {
      const char a = code[k] == '_' ? '-' : lower(code[k]);
      same = a == lower(known[k]);
    }
    if (same) return i;
  }
  return language::kLanguageCount;
}

}  // namespace quill::texts
