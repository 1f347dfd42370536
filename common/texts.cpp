// The table of every language's table and the lookup with its English
// fallback. Only English is linked here; the other languages' tables are
// installed at run time (see texts_all.cpp and texts_file.h).
#include "common/texts.h"

#include <atomic>

namespace quill::texts {

extern const Table kTable_en;

namespace {

// In the order of language::kLanguages. English is always built in; every
// other slot is filled at run time, by use_built_in_tables (texts_all.cpp)
// or by set_loaded_table.
const Table* g_tables[language::kLanguageCount] = {&kTable_en};

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
  return language < language::kLanguageCount ? g_tables[language] : nullptr;
}

void set_loaded_table(std::size_t language, const Table* loaded) {
  if (language != language::kEnglish && language < language::kLanguageCount) {
    g_tables[language] = loaded;
  }
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
