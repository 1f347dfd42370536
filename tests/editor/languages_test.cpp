// The languages dialog's rules: English stays, the carried list's order,
// which language the fields hold, texts kept while unchecked and dropped
// from the result, empty texts, and the store into the project.
#include "builder/editor/languages_dialog.h"

#include "tests/editor/editor_fixture.h"

namespace quill::editor {
namespace {

namespace lc = language_control;
constexpr std::size_t kEn = 0, kDe = 1, kFr = 2, kJa = 9;

TEST_F(EditorTest, LanguagesDialogCarriesTheAuthorsTexts) {
  // A project file's list out of order, with a code the table does not know
  // and texts of a language it does not carry.
  project::Settings saved;
  saved.languages = {"fr", "xx", "en"};
  saved.language_texts["fr"].title = "Installation de %name%";
  saved.language_texts["ja"].title = "\xE6\x97\xA5\xE6\x9C\xAC";
  LanguagesDialog d(saved, prompter);
  ASSERT_EQ(d.count(), 12u);
  EXPECT_EQ(d.caption(kEn), "English");
  EXPECT_EQ(d.caption(kDe), "German (Deutsch)");
  EXPECT_EQ(LanguagesDialog::check_control(11), IDC_LANG_KO);
  EXPECT_EQ(d.languages(), (std::vector<std::string>{"en", "fr"}));
  EXPECT_EQ(d.shown(), kFr);
  EXPECT_EQ(d.text(lc::kTitle), "Installation de %name%");

  d.set_carried(kEn, false);
  EXPECT_TRUE(d.carried(kEn));
  EXPECT_FALSE(d.can_toggle(kEn));

  // A newly checked language is the one the fields hold.
  d.set_carried(kDe, true);
  EXPECT_EQ(d.shown(), kDe);
  EXPECT_EQ(d.text(lc::kTitle), "");
  d.set_text(lc::kTitle, "Caf\xC3\xA9 Setup");
  prompter.files = {"C:\\Docs\\willkommen.txt"};
  d.browse(lc::kWelcomeBrowse);
  EXPECT_EQ(d.text(lc::kWelcome), "C:\\Docs\\willkommen.txt");
  EXPECT_EQ(prompter.log.back(), "open:Plain text documents (*.txt)");

  // Unchecked, its texts wait for it; the next carried one is shown.
  d.set_carried(kDe, false);
  EXPECT_EQ(d.shown(), kFr);
  d.set_carried(kDe, true);
  EXPECT_EQ(d.text(lc::kTitle), "Caf\xC3\xA9 Setup");
  EXPECT_FALSE(d.language_texts().count("ja"));
  d.set_carried(kJa, true);
  EXPECT_EQ(d.text(lc::kTitle), "\xE6\x97\xA5\xE6\x9C\xAC");
  // A language whose texts are all empty carries none: the main ones apply.
  d.set_text(lc::kTitle, "");
  EXPECT_EQ(d.languages(), (std::vector<std::string>{"en", "de", "fr", "ja"}));
  const auto texts = d.language_texts();
  EXPECT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts.at("de").welcome_file, "C:\\Docs\\willkommen.txt");
  EXPECT_EQ(texts.at("fr").title, "Installation de %name%");

  // Stored into the project; storing the same again changes nothing.
  EXPECT_TRUE(editor->store_languages(d));
  EXPECT_EQ(project().settings().languages, d.languages());
  EXPECT_EQ(project().settings().language_texts.at("de").title, "Caf\xC3\xA9 Setup");
  EXPECT_FALSE(editor->store_languages(*editor->languages_dialog()));

  // English alone: no field applies.
  for (std::size_t i : {kDe, kFr, kJa}) d.set_carried(i, false);
  EXPECT_FALSE(d.fields_enabled());
  d.set_text(lc::kTitle, "lost");
  const std::size_t dialogs = prompter.log.size();
  d.browse(lc::kLicenceBrowse);
  EXPECT_EQ(prompter.log.size(), dialogs);
  EXPECT_TRUE(d.language_texts().empty());

  // Texts are cut to the boxes' 259 UTF-16 units, never inside a character.
  struct Cut {
    std::string unit;
    std::size_t repeat, kept_bytes;
  };
  for (const Cut& c : {Cut{"x", 300, 259}, Cut{"\xE6\x97\xA5", 300, 259 * 3}, Cut{"\xF0\x9F\x98\x80", 200, 129 * 4}}) {
    std::string text;
    for (std::size_t i = 0; i < c.repeat; ++i) text += c.unit;
    EXPECT_EQ(cut_to_box_length(text).size(), c.kept_bytes) << c.unit;
  }
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  editor->set_setting(SettingId::name, accents);
  EXPECT_EQ(project().settings().program_name, accents.substr(0, 259 * 2));
}

}  // namespace
}  // namespace quill::editor
