// What the builder writes, read back by the installer's own readers: a
// package built from a project is extracted and loaded as an installer
// would at start-up, and every setting arrives with the meaning it had in
// the project.
#include <gtest/gtest.h>

#include <filesystem>

#include "builder/project/build.h"
#include "builder/project/project_file.h"
#include "text/unicode.h"
#include "package/language_texts.h"
#include "common/lines.h"
#include "package/data_files.h"
#include "package/payload.h"
#include "../project/sandbox.h"

namespace quill {
namespace {

using project::kInstallRootPath;
using project::Project;

class Quiet : public project::BuildReport {
 public:
  void set_status(const std::string&) override {}
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
};

class NoProgress : public package::ExtractProgress {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool cancel_requested() override { return false; }
};

class PackageAgreementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box_.write("dist/ext.dat", "MZ-stub");
    box_.write("dist/uninst.dat", "uninstaller");
    box_.write("dist/setup.JPG", "jpeg");
    std::filesystem::create_directories(box_.root() + "/out");
  }
  // Builds the project, then extracts the package and loads its data files
  // as the installer does.
  void build_and_load() {
    project::BuildOptions options;
    options.builder_folder = box_.root() + "/dist/";
    options.output_path = box_.root() + "/out/setup.exe";
    Quiet report;
    ASSERT_EQ(project::build_package(project_, box_.os(), options, report),
              project::BuildOutcome::done);
    std::string module = box_.os().host_path("C:\\setup.exe");
    std::filesystem::create_directories(std::filesystem::path(module).parent_path());
    std::filesystem::copy_file(options.output_path, module);
    box_.os().set_module_path("C:\\setup.exe");
    NoProgress progress;
    ASSERT_EQ(package::extract_payload(box_.os(), progress, &scan_), package::ExtractOutcome::done);
    package::load_installer_data(box_.os(), scan_, &data_);
  }
  std::string payload(const std::string& name) { return scan_.payload_folder + name; }
  // A data file the extraction read into memory, as the engine and the
  // wizard take it.
  std::string data_file(const char* name) {
    const std::string* bytes = data_.files.find(name);
    return bytes ? *bytes : std::string();
  }
  std::vector<package::FileInfoLine> file_list() {
    std::vector<package::FileInfoLine> lines;
    LineReader reader(data_file("fileinfo.txt"));
    for (std::string line; reader.next(&line) && !package::is_file_info_end(line);) {
      lines.push_back(package::parse_file_info_line(line));
    }
    return lines;
  }

  testing::Sandbox box_;
  Project project_;
  package::PayloadScan scan_;
  package::InstallerData data_;
};

TEST_F(PackageAgreementTest, ResetProjectLoadsItsDefaults) {
  build_and_load();
  EXPECT_EQ(data_.title, "Software Name Setup");
  EXPECT_EQ(data_.welcome_text, "");
  EXPECT_EQ(data_.licence_text, "");
  EXPECT_EQ(data_.install_folders.preferred_folder, "");
  EXPECT_NE(data_.install_folders.default_folder.find("\\Software Name"), std::string::npos)
      << data_.install_folders.default_folder;
  EXPECT_TRUE(data_.has_registered_name);
  EXPECT_EQ(data_.registered_name, "Software Name");
  EXPECT_EQ(data_.macros.size(), 1u);
  EXPECT_FALSE(data_.has_shortcuts);
  EXPECT_EQ(data_.settings.progress_style, 0);
  EXPECT_FALSE(data_.settings.shrink_during_install);
  EXPECT_FALSE(data_.has_fullscreen);
  EXPECT_EQ(data_.install_entry_count, 0u);
  EXPECT_EQ(data_.step_pictures[0], payload("img\\setup.jpg"));

  package::EndOfInstall events;
  package::read_end_of_install(box_.os(), data_.macros, data_.files, "C:\\App", &events);
  EXPECT_TRUE(events.ok_box);
  EXPECT_EQ(events.message, "");
  EXPECT_EQ(events.eoi_command, "");
  std::string uninstaller;
  EXPECT_FALSE(package::read_uninstaller_path(box_.os(), data_.macros, data_.files, "C:\\App", &uninstaller));
  ASSERT_NE(data_.files.find("fileinfo.txt"), nullptr);
  EXPECT_TRUE(file_list().empty());
}

TEST_F(PackageAgreementTest, EverySettingArrivesAsMeant) {
  Project& p = project_;
  project::Settings& s = p.settings();
  s.program_name = "Agree";
  s.title = "%name% Setup";
  s.welcome_file = box_.write("texts/welcome.txt", "Hello\r\nfrom %name%\r\n");
  s.licence_file = box_.write("texts/licence.txt", "Terms");
  s.default_folder = "C:\\Apps\\%name%";
  s.try_path_first = true;
  s.preferred_folder = "D:\\Preferred";
  s.eoi_message = "Bye from %name%";
  s.eoi_command = "%install path%\\run.bat";
  s.message_box_ok = false;
  p.window_settings() = {1, true};
  p.add_macro({"%a%", "A", "", ""});
  p.add_macro({"%reg%", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Agree", "Path"});
  p.add_file(box_.write("src/app.exe", "app"), "app.exe", kInstallRootPath, p.install_root());
  p.add_file(box_.write("src/doc.txt", "doc"), "doc.txt", "%install path%\\Docs\\",
             p.ensure_folder_path("%install path%\\Docs\\"));
  p.shortcut(0, project::kQuickLaunch) = {"", "App", "%install path%\\app.exe", project::kQuickLaunch};
  p.shortcut(1, project::kDesktop) = {"", "Doc", "%install path%\\Docs\\doc.txt", project::kDesktop};
  s.include_uninstaller = true;
  p.set_include_uninstaller(true, box_.root() + "/dist/uninst.dat");
  p.add_image(box_.write("pics/side.jpg", "side"), 3, false, 0, 0, 0);
  p.add_image(box_.write("pics/back.jpg", "back"), 6, true, 2, 15, 25);
  s.use_background_window = true;
  project::FullscreenOptions& f = p.fullscreen();
  f.stretch_to_desktop = false;
  f.width = 800;
  f.height = 600;
  f.without_title_bar = true;
  f.text = "Welcome to %name%";
  f.font = {"Courier", "20", "400", "1", "0", "1", "238"};
  f.alignment = 1;
  f.fade = false;
  f.shadow = true;
  f.shadow_offset = 7;
  f.text_colour = project::make_colour(10, 20, 30);
  f.shadow_colour = project::make_colour(40, 50, 60);
  f.background_colour = project::make_colour(70, 80, 90);
  f.fade_colour = project::make_colour(100, 110, 120);
  build_and_load();

  EXPECT_EQ(data_.title, "Agree Setup");
  EXPECT_EQ(data_.welcome_text, "Hello\nfrom Agree\n");
  EXPECT_EQ(data_.licence_text, "Terms");
  EXPECT_EQ(data_.install_folders.default_folder, "C:\\Apps\\Agree");
  EXPECT_EQ(data_.install_folders.initial(), "D:\\Preferred");
  ASSERT_EQ(data_.macros.size(), 3u);
  EXPECT_EQ(data_.macros[1].key, "SOFTWARE\\Agree");
  EXPECT_EQ(data_.macros[1].value_name, "Path");
  EXPECT_EQ(data_.registered_name, "Agree");
  EXPECT_TRUE(data_.has_shortcuts);
  EXPECT_TRUE(data_.shortcut_locations.desktop);
  EXPECT_FALSE(data_.shortcut_locations.start_menu);
  EXPECT_TRUE(data_.shortcut_locations.quick_launch);
  EXPECT_EQ(data_.settings.progress_style, 1);
  EXPECT_TRUE(data_.settings.shrink_during_install);

  // Three files: the two above and the uninstaller.
  EXPECT_EQ(data_.install_entry_count, 3u);
  EXPECT_EQ(data_.step_pictures[3], payload("img\\3\\side.jpg"));
  ASSERT_EQ(data_.background_pictures.size(), 1u);
  const package::BackgroundPicture& back = data_.background_pictures[0];
  EXPECT_EQ(back.step, 6);
  EXPECT_EQ(back.path, payload("bgimg\\6\\back.jpg"));
  EXPECT_EQ(back.placement, 2);
  EXPECT_EQ(back.x, 15);
  EXPECT_EQ(back.y, 25);
  EXPECT_EQ(data_.step6_picture_count, 1u);

  ASSERT_TRUE(data_.has_fullscreen);
  const package::FullscreenSettings& w = data_.fullscreen;
  EXPECT_EQ(w.text, "Welcome to Agree");
  EXPECT_FALSE(w.title_bar);
  EXPECT_EQ(w.width, 800);
  EXPECT_EQ(w.height, 600);
  EXPECT_EQ(w.font_face, "Courier");
  EXPECT_EQ(w.font_size, 20);
  EXPECT_EQ(w.font_weight, 400);
  EXPECT_TRUE(w.italic);
  EXPECT_FALSE(w.underline);
  EXPECT_TRUE(w.strike_out);
  EXPECT_EQ(w.char_set, 238);
  EXPECT_EQ(w.alignment, 1u);  // centred
  EXPECT_FALSE(w.fade);
  EXPECT_TRUE(w.shadow);
  EXPECT_EQ(w.shadow_offset, 7);
  EXPECT_EQ(w.text_colour, f.text_colour);
  EXPECT_EQ(w.shadow_colour, f.shadow_colour);
  EXPECT_EQ(w.background_colour, f.background_colour);
  EXPECT_EQ(w.fade_colour, f.fade_colour);

  package::EndOfInstall events;
  package::read_end_of_install(box_.os(), data_.macros, data_.files, "C:\\Apps\\Agree", &events);
  EXPECT_FALSE(events.ok_box);
  EXPECT_EQ(events.message, "Bye from Agree");
  EXPECT_EQ(events.eoi_command, "C:\\Apps\\Agree\\run.bat");
  std::string uninstaller;
  ASSERT_TRUE(package::read_uninstaller_path(box_.os(), data_.macros, data_.files, "C:\\Apps\\Agree", &uninstaller));
  EXPECT_EQ(uninstaller, "C:\\Apps\\Agree\\Uninstall.exe");

  const std::vector<package::FileInfoLine> files = file_list();
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].entry_name, "app.exe");
  EXPECT_EQ(package::file_info_destination(files[1]), "%install path%\\Docs\\doc.txt");
  EXPECT_EQ(package::file_info_destination(files[2]), "%install path%\\Uninstall.exe");

  const std::vector<package::ShortcutRecord> shortcuts =
      package::shortcut_records_from_text(data_file("shortcuts.txt"));
  ASSERT_EQ(shortcuts.size(), 2u);
  EXPECT_EQ(shortcuts[0].name, "App");
  EXPECT_EQ(shortcuts[0].location, package::ShortcutLocation::quick_launch);
  EXPECT_EQ(shortcuts[1].target, "%install path%\\Docs\\doc.txt");
  EXPECT_EQ(shortcuts[1].location, package::ShortcutLocation::desktop);
}

// A window that covers the screen travels as width and height 0, which the
// installer reads as "the whole screen"; the fade and a title bar survive.
TEST_F(PackageAgreementTest, StretchedBackgroundWindowCoversTheScreen) {
  project_.settings().use_background_window = true;
  build_and_load();
  ASSERT_TRUE(data_.has_fullscreen);
  EXPECT_LT(data_.fullscreen.width, 1);
  EXPECT_LT(data_.fullscreen.height, 1);
  EXPECT_TRUE(data_.fullscreen.title_bar);
  EXPECT_TRUE(data_.fullscreen.fade);
  EXPECT_EQ(data_.fullscreen.text, "Software Name");
  EXPECT_EQ(data_.fullscreen.font_weight, 700);
  EXPECT_EQ(data_.fullscreen.background_colour, 0xFF0000u);
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// The author's texts per language from the project file to the installer:
// saved and loaded, built into "languages.txt" and variant files, and put in
// place by use_language; a text without a variant, a language the package
// does not carry and English keep the main texts. A project of English
// alone carries no language file at all.
TEST_F(PackageAgreementTest, LanguageVariantsTravelFromTheProjectFileToTheInstaller) {
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語
  const std::string greek = "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC";         // Γειά
  project::Settings& s = project_.settings();
  s.program_name = "Caf\xC3\xA9";
  s.welcome_file = box_.write("texts/welcome.txt", "Welcome to %name%");
  s.eoi_message = "Done";
  s.use_background_window = true;
  project_.fullscreen().text = "Installing %name%";
  s.languages = {"en", "de", "ja"};
  s.language_texts["ja"] = {japanese + " %name%", box_.write("texts/ja.txt", japanese + "\r\n%name%"),
                            "", japanese + " done", japanese + " bg"};
  // A Greek licence in UTF-16 with its mark for German, only to show the
  // decoding: the title alone is German.
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : text::utf8_to_utf16(greek)) utf16 += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  s.language_texts["de"] = {"Einrichtung", "", box_.write("texts/de.txt", utf16), "", ""};

  // Through the project file.
  const std::string qsp = box_.root() + "/p.qsp";
  ASSERT_TRUE(project::save_project(project_, box_.os(), qsp, ""));
  Project loaded;
  ASSERT_EQ(project::load_project(loaded, box_.os(), qsp, ""), project::LoadStatus::loaded);
  EXPECT_EQ(project::project_text(loaded), project::project_text(project_));
  EXPECT_EQ(testing::Sandbox::read(qsp).compare(0, 3, text::kUtf8Bom), 0);
  project_ = std::move(loaded);

  build_and_load();
  EXPECT_EQ(data_.languages, (std::vector<std::string>{"en", "de", "ja"}));
  EXPECT_EQ(data_.files.find("wt.de.txt"), nullptr);
  struct Case {
    std::string code, language, title, welcome, licence, background, eoi;
  };
  const Case cases[] = {
      {"ja", "ja", japanese + " Caf\xC3\xA9", japanese + "\nCaf\xC3\xA9", "", japanese + " bg", japanese + " done"},
      {"de", "de", "Einrichtung", "Welcome to Caf\xC3\xA9", greek, "Installing Caf\xC3\xA9", "Done"},
      {"fr", "", "Caf\xC3\xA9 Setup", "Welcome to Caf\xC3\xA9", "", "Installing Caf\xC3\xA9", "Done"},
      {"en", "", "Caf\xC3\xA9 Setup", "Welcome to Caf\xC3\xA9", "", "Installing Caf\xC3\xA9", "Done"},
  };
  for (const Case& c : cases) {
    package::use_language(box_.os(), c.code, &data_);
    EXPECT_EQ(data_.language, c.language) << c.code;
    EXPECT_EQ(data_.title, c.title) << c.code;
    EXPECT_EQ(data_.welcome_text, c.welcome) << c.code;
    EXPECT_EQ(data_.licence_text, c.licence) << c.code;
    EXPECT_EQ(data_.fullscreen.text, c.background) << c.code;
    package::EndOfInstall events;
    package::read_end_of_install(box_.os(), data_.macros, data_.files, "C:\\App", &events, data_.language);
    EXPECT_EQ(events.message, c.eoi) << c.code;
  }

  // English alone: neither the language list nor a variant travels.
  project_.settings().languages = {"en"};
  project_.settings().language_texts.clear();
  std::filesystem::remove(box_.root() + "/out/setup.exe");
  std::filesystem::remove(box_.os().host_path("C:\\setup.exe"));
  package::delete_payload_folder(box_.os(), &scan_);
  build_and_load();
  EXPECT_EQ(data_.files.find("languages.txt"), nullptr);
  EXPECT_EQ(data_.languages, std::vector<std::string>{"en"});
}

}  // namespace
}  // namespace quill
