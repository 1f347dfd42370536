// The tables of every language built into the program. The build defines
// QUILL_TEXTS_<code> for each language file that exists (see CMakeLists.txt);
// a language without one has no table.
#include "common/texts.h"

namespace quill::texts {

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
extern const Table kTable_en;

namespace {

#define QUILL_TABLE_SLOT(code) &kTable_##code,
#define QUILL_NO_TABLE nullptr,

// In the order of language::kLanguages.
const Table* const kBuiltIn[] = {
    &kTable_en,
#ifdef QUILL_TEXTS_de
    QUILL_TABLE_SLOT(de)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_fr
    QUILL_TABLE_SLOT(fr)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_es
    QUILL_TABLE_SLOT(es)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_it
    QUILL_TABLE_SLOT(it)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_pt_BR
    QUILL_TABLE_SLOT(pt_BR)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_nl
    QUILL_TABLE_SLOT(nl)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_pl
    QUILL_TABLE_SLOT(pl)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_ru
    QUILL_TABLE_SLOT(ru)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_ja
    QUILL_TABLE_SLOT(ja)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_zh_CN
    QUILL_TABLE_SLOT(zh_CN)
#else
    QUILL_NO_TABLE
#endif
#ifdef QUILL_TEXTS_ko
    QUILL_TABLE_SLOT(ko)
#else
    QUILL_NO_TABLE
#endif
};
static_assert(sizeof kBuiltIn / sizeof kBuiltIn[0] == language::kLanguageCount,
              "one table slot per language");

}  // namespace

const Table* built_in_table(std::size_t language) {
  return language < language::kLanguageCount ? kBuiltIn[language] : nullptr;
}

void use_built_in_tables() {
  for (std::size_t i = 0; i < language::kLanguageCount; ++i) {
    if (i != language::kEnglish) set_loaded_table(i, kBuiltIn[i]);
  }
}

}  // namespace quill::texts
