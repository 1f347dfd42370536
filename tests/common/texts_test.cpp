// Every language's table: complete, the same placeholders as English, and
// carried through the texts file unchanged.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "builder/project/package_contents.h"
#include "common/texts.h"
#include "common/texts_file.h"

namespace quill::texts {
namespace {

const char* own_text(const Table& table, std::size_t id) {
  for (std::size_t i = 0; i < table.count; ++i) {
    if (static_cast<std::size_t>(table.entries[i].id) == id) return table.entries[i].text;
  }
  return nullptr;
}

// The placeholders "%1".."%9" a text uses, each with how often.
std::multiset<char> placeholders(std::string_view text) {
  std::multiset<char> found;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (text[i + 1] >= '1' && text[i + 1] <= '9') found.insert(text[i + 1]);
    ++i;
  }
  return found;
}

TEST(Texts, EveryLanguageDefinesEveryTextWithTheEnglishPlaceholders) {
  const Table* english = built_in_table(language::kEnglish);
  ASSERT_NE(english, nullptr);
  for (std::size_t lang = 0; lang < language::kLanguageCount; ++lang) {
    const std::string code(language::kLanguages[lang].code);
    const Table* table = built_in_table(lang);
    ASSERT_NE(table, nullptr) << code;
    std::set<std::size_t> seen;
    for (std::size_t i = 0; i < table->count; ++i) {
      EXPECT_TRUE(seen.insert(static_cast<std::size_t>(table->entries[i].id)).second)
          << code << ": text " << static_cast<int>(table->entries[i].id) << " twice";
    }
    for (std::size_t id = 0; id < kTextCount; ++id) {
      const char* own = own_text(*table, id);
      ASSERT_TRUE(own && *own) << code << ": text " << id << " missing or empty";
      const char* source = own_text(*english, id);
      EXPECT_EQ(placeholders(own), placeholders(source)) << code << ": text " << id;
      EXPECT_EQ(std::string(own).find('\r'), std::string::npos) << code << ": text " << id;
    }
  }
  // Switches, exit codes and file names of the usage text stay as they are.
  for (std::size_t lang = 0; lang < language::kLanguageCount; ++lang) {
    const std::string usage(own_text(*built_in_table(lang), static_cast<std::size_t>(TextId::usage)));
    for (const char* literal : {"setup.exe", "/S", "/DOWNGRADE", "/NORESTART", "/LOG=", "/LANG=xx",
                                "/D=", "/?", "1618", "3010"}) {
      EXPECT_NE(usage.find(literal), std::string::npos) << language::kLanguages[lang].code << " "
                                                        << literal;
    }
  }
}

TEST(Texts, TheTextsFileCarriesEveryTableAndPassesOverDamagedLines) {
  for (std::size_t lang = 1; lang < language::kLanguageCount; ++lang) {
    const Table* table = built_in_table(lang);
    ASSERT_NE(table, nullptr);
    const std::string bytes = render_texts_file(*table);
    EXPECT_EQ(bytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << "a non-ASCII table carries its mark";
    LoadedTable loaded;
    EXPECT_EQ(loaded.parse(bytes), kTextCount);
    for (std::size_t id = 0; id < kTextCount; ++id) {
      const char* back = own_text(loaded.table(), id);
      ASSERT_NE(back, nullptr);
      EXPECT_STREQ(back, own_text(*table, id)) << texts_file_name(lang) << " text " << id;
    }
  }
  EXPECT_EQ(texts_file_name(language_index("pt-BR")), "texts_pt_BR.txt");
  // A build carries one file per language besides English, each once.
  const auto files = project::language_table_files({"en", "de", "xx", "DE", "ja"});
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].first, "texts_de.txt");
  EXPECT_EQ(files[1].first, "texts_ja.txt");
  LoadedTable from_build;
  EXPECT_EQ(from_build.parse(files[1].second), kTextCount);
  EXPECT_EQ(texts_file_name(language::kEnglish), "");

  // Each damaged line is passed over; the good ones around it count.
  const std::string too_long(kMaxLoadedTextBytes + 1, 'x');
  const std::string count = std::to_string(kTextCount);
  const std::string file = "0=Kept\\nwith a line end\r\n"
                           "garbage\n"
                           "=no number\n" +
                           count + "=beyond the last text\n"
                           "-1=negative\n"
                           "+2=signed\n"
                           "3=bad \\q escape\n"
                           "4=trailing backslash\\\n"
                           "5=\xC3\x28 invalid UTF-8\n"
                           "6=\n" +
                           std::string("9=zero\0byte\n", 12) + "7=" + too_long + "\n"
                           "0=a repeat\n"
                           "99999999999999999999=huge\n"
                           "8=Last \\\\ without a line end";
  LoadedTable loaded;
  EXPECT_EQ(loaded.parse(file), 2u);
  EXPECT_STREQ(own_text(loaded.table(), 0), "Kept\nwith a line end");
  EXPECT_STREQ(own_text(loaded.table(), 8), "Last \\ without a line end");
  EXPECT_EQ(loaded.parse(""), 0u);
  EXPECT_EQ(loaded.table().count, 0u);

  // A loaded table speaks for its language; without it, English does.
  const std::size_t de = language_index("de");
  loaded.parse("8=Weiter\n");
  set_loaded_table(de, &loaded.table());
  EXPECT_EQ(text(de, TextId::button_next), "Weiter");
  EXPECT_EQ(text(de, TextId::button_cancel), "Cancel");
  set_loaded_table(de, nullptr);
  EXPECT_EQ(text(de, TextId::button_next), "Next");
}

}  // namespace
}  // namespace quill::texts
