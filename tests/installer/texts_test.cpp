// The language table, the choice of language and the language an install
// hands on to its uninstaller.
#include <set>
#include <string>

#include "common/in_use.h"
#include "common/languages.h"
#include "common/texts.h"
#include "installer/command_line.h"
#include "installer/language_choice.h"
#include "installer/registration.h"
#include "uninstaller/front_end.h"
#include "uninstaller/shared_texts.h"
#include "uninstaller/uninstall_log.h"

#include "installer_fixture.h"

namespace quill::installer {
namespace {

using texts::TextId;

// The placeholders ("%1".."%9") a text uses.
std::set<char> placeholders(std::string_view text) {
  std::set<char> found;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found.insert(text[i + 1]);
  }
  return found;
}

// Every table defines every text once, with the placeholders of the English
// one; a language without a table speaks English.
TEST(LanguageTable, EveryLanguageDefinesEveryTextWithTheSamePlaceholders) {
  for (std::size_t language = 0; language < language::kLanguageCount; ++language) {
    const std::string code(language::kLanguages[language].code);
    const texts::Table* table = texts::table(language);
    if (!table) {
      for (std::size_t id = 0; id < texts::kTextCount; ++id) {
        EXPECT_EQ(texts::text(language, TextId(id)), texts::text(language::kEnglish, TextId(id)));
      }
      continue;
    }
    std::set<int> seen;
    for (std::size_t i = 0; i < table->count; ++i) {
      const int id = static_cast<int>(table->entries[i].id);
      EXPECT_TRUE(seen.insert(id).second) << code << ": text " << id << " twice";
    }
    for (std::size_t id = 0; id < texts::kTextCount; ++id) {
      const std::string_view text = texts::text(language, TextId(id));
      EXPECT_TRUE(seen.count(static_cast<int>(id))) << code << ": text " << id << " missing";
      EXPECT_FALSE(text.empty()) << code << ": text " << id;
      EXPECT_EQ(placeholders(text), placeholders(texts::text(language::kEnglish, TextId(id))))
          << code << ": text " << id;
    }
  }
  EXPECT_EQ(texts::format("%2 and %1, 100%%, %3", {"a", "b"}), "b and a, 100%, ");
  EXPECT_EQ(texts::language_index("PT_br"), texts::language_index("pt-BR"));
  EXPECT_EQ(texts::language_index("xx"), language::kLanguageCount);
  EXPECT_EQ(texts::text(language::kLanguageCount, TextId::button_next), "Next");
}

// The English texts composed from the table read as the shared code's.
TEST(LanguageTable, EnglishMessagesReadAsBefore) {
  texts::set_current_language(language::kEnglish);
  for (bool restart : {true, false}) {
    for (const std::vector<std::string>& programs :
         {std::vector<std::string>{}, std::vector<std::string>{"Tool", "Editor"}}) {
      EXPECT_EQ(uninstaller::in_use_text("C:\\T\\a.exe", programs, restart, true),
                in_use_question("C:\\T\\a.exe", programs, restart, "installation"));
      EXPECT_EQ(uninstaller::in_use_text("C:\\T\\a.exe", programs, restart, false),
                in_use_question("C:\\T\\a.exe", programs, restart, "removal"));
    }
  }
  EXPECT_EQ(uninstaller::another_setup_text("Tool"), another_setup_message("Tool"));
  EXPECT_EQ(uninstaller::restart_needed_text(), kRestartNeededText);
  EXPECT_NE(usage_text().find("/LANG=xx\tSpeak this language: en, de, fr, es, it, pt-BR, nl, pl, "
                              "ru, ja, zh-CN, ko."),
            std::string::npos);
}

TEST(LanguageChoice, ForcedThenTheUsersLanguageAmongTheCarriedOnes) {
  const std::vector<std::string> all = {"en", "de", "fr", "es", "it", "pt-BR",
                                        "nl", "pl", "ru", "ja", "zh-CN", "ko"};
  const std::vector<std::string> english = {"en"};
  const std::vector<std::string> some = {"en", "de", "pt-BR"};
  struct Case {
    const char* forced;
    unsigned langid;
    const std::vector<std::string>* carried;
    const char* expected;
  };
  const Case cases[] = {
      {"de", 0x0409, &all, "de"},
      {"JA", 0x0409, &all, "ja"},
      {"zh_cn", 0x0409, &all, "zh-CN"},
      {"xx", 0x0407, &all, "en"},      // unknown: English, not the user's language
      {"ru", 0x0407, &some, "en"},     // not carried: as unknown
      {"", 0x0407, &all, "de"},        // German (Germany)
      {"", 0x0807, &all, "de"},        // German (Switzerland): same primary language
      {"", 0x0416, &some, "pt-BR"},    // exact
      {"", 0x0816, &some, "pt-BR"},    // Portuguese (Portugal): same primary language
      {"", 0x040A, &all, "es"},        // Spanish (traditional sort) to Spanish (modern)
      {"", 0x0804, &all, "zh-CN"},
      {"", 0x0404, &all, "zh-CN"},     // Chinese (Taiwan): the Chinese there is
      {"", 0x0419, &some, "en"},       // Russian user, package without Russian
      {"", 0x0407, &english, "en"},    // an old package: English only
      {"", 0x041F, &all, "en"},        // Turkish: no table
  };
  for (const Case& c : cases) {
    const std::size_t chosen = choose_language(c.forced, c.langid, *c.carried);
    EXPECT_EQ(language::kLanguages[chosen].code, c.expected) << c.forced << " " << c.langid;
  }

  // The switches: the installer's, read from a whole UTF-8 command line, and
  // the uninstaller's.
  const CommandLine line = parse_command_line(
      command_line_tail("\"C:\\Temp\\set up.exe\" /LANG=de /S /D=C:\\\xC3\x9Cn\xC3\xAF \xE6\x97\xA5\xE6\x9C\xAC"));
  EXPECT_EQ(line.language, "de");
  EXPECT_TRUE(line.silent);
  EXPECT_EQ(line.install_folder, "C:\\\xC3\x9Cn\xC3\xAF \xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_FALSE(parse_command_line("/LANG=").valid);
  const uninstaller::Arguments arguments =
      uninstaller::parse_arguments("u.exe /LANG=ru /S C:\\T\\uninstall.ini");
  EXPECT_EQ(arguments.language, "ru");
  EXPECT_TRUE(arguments.silent);
  EXPECT_EQ(arguments.log_path, "C:\\T\\uninstall.ini");
}

// The install records the language it spoke; its uninstaller speaks it,
// unless told otherwise; an entry without the record means English.
class LanguageRecordTest : public test::InstallerTest {};

TEST_F(LanguageRecordTest, TheUninstallerSpeaksTheInstallsLanguage) {
  archive({{"tool.exe", "T"}, {"Uninstall.exe", "U"}});
  data_file("fileinfo.txt", "tool.exe|%install path%\r\nUninstall.exe|%install path%\r\n////\r\n");
  data_file("uninstall.txt", "%install path%\\Uninstall.exe");
  const std::size_t russian = texts::language_index("ru");
  texts::set_current_language(russian);
  const InstallResult result = run();
  texts::set_current_language(language::kEnglish);
  ASSERT_EQ(result, InstallResult::finished);
  uninstaller::UninstallLog log;
  ASSERT_EQ(uninstaller::read_uninstall_log(os(), "C:\\Program Files\\Tool\\uninstall.ini", &log),
            uninstaller::LogStatus::ok);
  EXPECT_EQ(uninstaller::removal_language(os(), log, ""), russian);
  EXPECT_EQ(uninstaller::removal_language(os(), log, "ja"), texts::language_index("ja"));
  EXPECT_EQ(uninstaller::removal_language(os(), log, "xx"), language::kEnglish);
  // An older install's entry has no Language value (here: no entry at all).
  ASSERT_EQ(os().registry_delete_key(os::RegistryRoot::local_machine,
                                     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "Tool"),
            os::Error::none);
  EXPECT_EQ(uninstaller::removal_language(os(), log, ""), language::kEnglish);
}

}  // namespace
}  // namespace quill::installer
