// Every format that crosses a program boundary, written by its writer and
// read back by its reader: what the builder or the installer puts in a file
// is what the installer or the uninstaller gets.
#include <gtest/gtest.h>

#include "common/paths.h"
#include "common/text_file.h"
#include "text/unicode.h"

#include <functional>
#include "package/data_files.h"
#include "package/uninstall_key.h"
#include "package/uninstall_log.h"
#include "tests/support/memory_os.h"

namespace quill::package {
namespace {

class FormatsTest : public ::testing::Test {
 protected:
  // Stores a writer's text as the build does: every "\n" as CR LF.
  const std::string& put(const std::string& text) {
    auto file = os_.open_file(path_, os::OpenMode::write);
    const std::string data = to_crlf(text);
    EXPECT_TRUE(file && file->write(data.data(), data.size()));
    return path_;
  }

  os::MemoryOs os_;
  const std::string path_ = "C:\\data.txt";
};

TEST_F(FormatsTest, FileListRoundTrips) {
  const std::vector<std::vector<FileInfoLine>> cases = {
      {},
      {{"app.exe", "%install path%\\"}},
      {{"Docs\\guide.txt", "%install path%\\"}, {"guide.txt", "C:\\Tools"}, {"x", ""}},
  };
  for (const auto& lines : cases) {
    std::vector<FileInfoLine> got;
    ASSERT_TRUE(read_file_info(os_, put(file_info_text(lines)), &got));
    ASSERT_EQ(got.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(got[i].entry_name, lines[i].entry_name);
      EXPECT_EQ(got[i].destination, lines[i].destination);
    }
  }
}

TEST_F(FormatsTest, MacroTableRoundTripsWithTheRegisteredNameLast) {
  // A value that ends in CR survives: CR LF is only ever the line end.
  const std::vector<MacroRecord> user = {{"%a%", "A", "", ""},
                                         {"%reg%", "HKEY_LOCAL_MACHINE", "SOFTWARE\\X", "Path"},
                                         {"%cr%", "ends in CR\r", "", ""}};
  for (std::size_t count : {std::size_t{0}, user.size()}) {
    const std::vector<MacroRecord> written(user.begin(), user.begin() + count);
    std::vector<MacroRecord> got = read_macro_records(os_, put(macro_file_text(written, "App")));
    ASSERT_EQ(got.size(), count + 1);
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ(got[i].name, written[i].name);
      EXPECT_EQ(got[i].value, written[i].value);
      EXPECT_EQ(got[i].key, written[i].key);
      EXPECT_EQ(got[i].value_name, written[i].value_name);
    }
    std::string name;
    ASSERT_TRUE(registered_name(got, &name));
    EXPECT_EQ(name, "App");
  }
  EXPECT_TRUE(is_record_end("/v"));  // why the builder leaves such a value name out
  EXPECT_FALSE(is_record_end("v/"));
}

TEST_F(FormatsTest, ShortcutsRoundTripAndUnknownLocationsReadAsNone) {
  const std::vector<ShortcutRecord> written = {
      {"Group", "App", "%install path%\\app.exe", ShortcutLocation::start_menu},
      {"", "Doc", "C:\\doc.txt", ShortcutLocation::quick_launch},
      {"", "Odd", "C:\\odd.txt", static_cast<ShortcutLocation>(7)},
  };
  std::vector<ShortcutRecord> got;
  ASSERT_TRUE(read_shortcut_records(os_, put(shortcut_file_text(written)), &got));
  ASSERT_EQ(got.size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(got[i].start_menu_folder, written[i].start_menu_folder);
    EXPECT_EQ(got[i].name, written[i].name);
    EXPECT_EQ(got[i].target, written[i].target);
  }
  EXPECT_EQ(got[0].location, ShortcutLocation::start_menu);
  EXPECT_EQ(got[1].location, ShortcutLocation::quick_launch);
  EXPECT_EQ(got[2].location, ShortcutLocation::none);
  ASSERT_TRUE(read_shortcut_records(os_, put(shortcut_file_text({})), &got));
  EXPECT_TRUE(got.empty());
}

TEST_F(FormatsTest, InstallerSettingsRoundTrip) {
  struct Case {
    InstallerSettings written;
    int style_read;
  };
  for (const Case& c : {Case{{0, false}, 0}, Case{{1, true}, 1}, Case{{5, true}, 0},
                        Case{{-1, false}, 0}}) {
    InstallerSettings got;
    ASSERT_TRUE(read_installer_settings(os_, put(installer_settings_text(c.written)), &got));
    EXPECT_EQ(got.progress_style, c.style_read) << c.written.progress_style;
    EXPECT_EQ(got.shrink_during_install, c.written.shrink_during_install);
  }
}

TEST_F(FormatsTest, BackgroundWindowRoundTrips) {
  FullscreenSettings written;
  written.text = "Welcome to App";
  written.title_bar = false;
  written.width = 800;
  written.height = 600;
  written.font_face = "Courier New";
  written.font_size = 20;
  written.font_weight = 400;
  written.italic = true;
  written.strike_out = true;
  written.char_set = 238;
  written.alignment = 2;
  written.fade = true;
  written.shadow = true;
  written.shadow_offset = 7;
  written.text_colour = 0x0A141E;
  written.shadow_colour = 0x28323C;
  written.background_colour = 0xFF0000;
  written.fade_colour = 0x00FF01;
  for (bool flip : {false, true}) {
    if (flip) {
      written.title_bar = !written.title_bar;
      written.fade = !written.fade;
      written.shadow = !written.shadow;
      written.underline = !written.underline;
      written.width = written.height = 0;
    }
    FullscreenSettings got;
    ASSERT_TRUE(read_fullscreen_settings(os_, put(fullscreen_text(written)), &got));
    EXPECT_EQ(got.text, written.text);
    EXPECT_EQ(got.title_bar, written.title_bar);
    EXPECT_EQ(got.width, written.width);
    EXPECT_EQ(got.height, written.height);
    EXPECT_EQ(got.font_face, written.font_face);
    EXPECT_EQ(got.font_size, written.font_size);
    EXPECT_EQ(got.font_weight, written.font_weight);
    EXPECT_EQ(got.italic, written.italic);
    EXPECT_EQ(got.underline, written.underline);
    EXPECT_EQ(got.strike_out, written.strike_out);
    EXPECT_EQ(got.char_set, written.char_set);
    EXPECT_EQ(got.alignment, written.alignment);
    EXPECT_EQ(got.fade, written.fade);
    EXPECT_EQ(got.shadow, written.shadow);
    EXPECT_EQ(got.shadow_offset, written.shadow_offset);
    EXPECT_EQ(got.text_colour, written.text_colour);
    EXPECT_EQ(got.shadow_colour, written.shadow_colour);
    EXPECT_EQ(got.background_colour, written.background_colour);
    EXPECT_EQ(got.fade_colour, written.fade_colour);
  }
}

TEST_F(FormatsTest, PicturesKeepTheirStepAndPlacement) {
  struct Case {
    bool background;
    int step;
    PictureEntry::Kind kind;
    int step_read;
  };
  for (const Case& c : {Case{false, 3, PictureEntry::Kind::step_picture, 3},
                        Case{true, 6, PictureEntry::Kind::background_picture, 6},
                        Case{true, 0, PictureEntry::Kind::background_picture, 10}}) {
    // Archive entries are stored with '/' between their parts.
    const std::string stored =
        replace_char(data_entry_name(picture_name(c.background, c.step, "p.jpg")), '\\', '/');
    const PictureEntry entry = parse_picture_entry(stored);
    EXPECT_EQ(entry.kind, c.kind) << stored;
    EXPECT_EQ(entry.step, c.step_read) << stored;
    EXPECT_EQ(parse_picture_entry(companion_name(stored)).kind,
              c.background ? PictureEntry::Kind::none : c.kind)
        << stored;
  }
  EXPECT_TRUE(is_data_entry_name(data_entry_name(data_file::kDefaultPicture)));
  EXPECT_EQ(parse_picture_entry("%Quillpack%/x/1/p.jpg").kind, PictureEntry::Kind::none);

  BackgroundPicture written;
  written.placement = 2;
  written.x = 15;
  written.y = -30;
  BackgroundPicture got;
  ASSERT_TRUE(read_background_companion(os_, put(background_companion_text(written)), &got));
  EXPECT_EQ(got.placement, 2);
  EXPECT_EQ(got.x, 15);
  EXPECT_EQ(got.y, -30);
}

TEST_F(FormatsTest, InstallFoldersAndEndOfInstallButtonsRoundTrip) {
  InstallFolders written{"C:\\Apps\\App", "D:\\Preferred"};
  InstallFolders got;
  ASSERT_TRUE(read_install_folders(os_, put(install_folders_text(written, true)), &got));
  EXPECT_EQ(got.default_folder, "C:\\Apps\\App");
  EXPECT_EQ(got.initial(), "D:\\Preferred");
  ASSERT_TRUE(read_install_folders(os_, put(install_folders_text(written, false)), &got));
  EXPECT_EQ(got.initial(), "C:\\Apps\\App");

  for (bool ok_box : {true, false}) {
    put(end_of_install_buttons_text(ok_box));
    std::string text;
    ASSERT_TRUE(read_whole_data_file(os_, path_, kMaxEndOfInstallText, &text));
    EXPECT_EQ(!text.empty() && text[0] == 'O', ok_box) << text;
  }
}

TEST_F(FormatsTest, UninstallLogRoundTrips) {
  const std::string log = "C:\\App\\" + std::string(kUninstallLogName);
  ASSERT_EQ(os_.create_folder("C:\\App"), os::Error::none);
  const std::vector<std::string> files = {"C:\\App\\app.exe", "C:\\App\\Docs\\guide.txt"};
  ASSERT_TRUE(append_log_line(os_, log, "App"));
  for (const std::string& file : files) ASSERT_TRUE(append_log_line(os_, log, file));
  for (const std::string& line : log_closing_lines("D:\\Tools\\uninstall.ini", "C:\\App\\")) {
    ASSERT_TRUE(append_log_line(os_, log, line));
  }
  UninstallLog read;
  ASSERT_EQ(read_uninstall_log(os_, log, &read), LogStatus::ok);
  EXPECT_EQ(read.registered_name, "App");
  EXPECT_FALSE(read.registered_name_damaged);
  std::vector<std::string> paths;
  for (const LogEntry& entry : read.entries) {
    EXPECT_FALSE(entry.damaged) << entry.path;
    paths.push_back(entry.path);
  }
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\App\\app.exe", "C:\\App\\Docs\\guide.txt",
                                             "D:\\Tools\\uninstall.ini", "C:\\App\\"}));
}

TEST_F(FormatsTest, UninstallEntryIsWrittenThenDeletedByName) {
  UninstallEntry entry;
  entry.registered_name = "App";
  entry.uninstaller_path = "C:\\App\\Uninstall.exe";
  entry.install_folder = "C:\\App\\";
  entry.installed_bytes = 5 * 1024 + 10;
  entry.install_date = "20260101";
  entry.has_version = true;
  entry.version = "1.2";
  std::vector<std::string> heard;
  write_uninstall_entry(os_, entry, [&](const std::string& place, const std::string& data) {
    heard.push_back(place + " = " + data);
  });
  const os::RegistryRoot root = os::RegistryRoot::local_machine;
  const std::string key = std::string(kUninstallKey) + "\\App";
  std::string text;
  std::uint32_t number = 0;
  ASSERT_EQ(os_.registry_read_string(root, key, "UninstallString", &text), os::Error::none);
  EXPECT_EQ(text, "\"C:\\App\\Uninstall.exe\"");
  ASSERT_EQ(os_.registry_read_string(root, key, "InstallLocation", &text), os::Error::none);
  EXPECT_EQ(text, "C:\\App");
  ASSERT_EQ(os_.registry_read_dword(root, key, "EstimatedSize", &number), os::Error::none);
  EXPECT_EQ(number, 5u);
  EXPECT_NE(os_.registry_read_string(root, key, "Publisher", &text), os::Error::none);
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard[0], "HKEY_LOCAL_MACHINE\\" + key + "\\DisplayName = App (remove only)");

  for (const char* unsafe : {"", "App\\..", "\\"}) {
    EXPECT_FALSE(delete_uninstall_entry(os_, unsafe)) << unsafe;
  }
  EXPECT_TRUE(os_.registry_key_exists(root, key));
  EXPECT_TRUE(delete_uninstall_entry(os_, "App"));
  EXPECT_FALSE(os_.registry_key_exists(root, key));
  EXPECT_TRUE(os_.registry_key_exists(root, kUninstallKey));
}

}  // namespace
}  // namespace quill::package

namespace quill::package {
namespace {

// Each text format with a text value in it: written as the builder or the
// installer writes it, then read back as the installer or the uninstaller
// reads it. ASCII is written byte for byte as before, other text as UTF-8
// after a byte-order mark (the log, written line by line, without one), and
// the ANSI bytes of older programs still read as the text they meant.
TEST(TextFormats, AsciiAsBeforeUnicodeWithAMarkOldAnsiStillRead) {
  struct Format {
    const char* name;
    std::function<std::string(const std::string&)> write;
    std::function<std::string(const std::string& bytes)> read;  // through the package's reader
  };
  auto through_data_files = [](const char* name, auto reader) {
    return [name, reader](const std::string& bytes) {
      DataFiles files;
      files.put(name, bytes);
      return reader(*files.find(name));
    };
  };
  const std::vector<Format> formats = {
      {"macros.txt",
       [](const std::string& v) { return macro_file_text({{"%co%", v, "", ""}}, "Name " + v); },
       through_data_files("macros.txt",
                          [](const std::string& t) {
                            const auto table = macro_records_from_text(t);
                            std::string name;
                            registered_name(table, &name);
                            return table.at(0).value + "|" + name;
                          })},
      {"def_install.txt",
       [](const std::string& v) { return install_folders_text({"C:\\" + v, "D:\\" + v}, true); },
       through_data_files("def_install.txt",
                          [](const std::string& t) {
                            const InstallFolders f = install_folders_from_text(t);
                            return f.default_folder + "|" + f.preferred_folder;
                          })},
      {"shortcuts.txt",
       [](const std::string& v) {
         return shortcut_file_text({{v, v + " link", "C:\\" + v, ShortcutLocation::start_menu}});
       },
       through_data_files("shortcuts.txt",
                          [](const std::string& t) {
                            const auto r = shortcut_records_from_text(t).at(0);
                            return r.start_menu_folder + "|" + r.name + "|" + r.target;
                          })},
      {"fullscreen.txt",
       [](const std::string& v) {
         FullscreenSettings s;
         s.text = v;
         s.font_face = "Arial";
         return fullscreen_text(s);
       },
       through_data_files("fullscreen.txt",
                          [](const std::string& t) {
                            FullscreenSettings s;
                            fullscreen_settings_from_text(t, &s);
                            return s.text + "|" + s.font_face;
                          })},
      {"tt.txt", [](const std::string& v) { return v + " Setup"; },
       through_data_files("tt.txt", [](const std::string& t) { return t; })},
      {"uninstall.ini",
       [](const std::string& v) { return "Name " + v + "\nC:\\" + v + "\n||||\n"; },
       [](const std::string& bytes) {
         os::MemoryOs os;
         auto file = os.open_file("C:\\u.ini", os::OpenMode::write);
         file->write(bytes.data(), bytes.size());
         file.reset();
         UninstallLog log;
         EXPECT_EQ(read_uninstall_log(os, "C:\\u.ini", &log), LogStatus::ok);
         return log.registered_name + "|" + (log.entries.empty() ? "" : log.entries[0].path);
       }},
  };
  struct Value {
    std::string utf8;
    std::string ansi;  // the same text in Windows-1252, as older programs wrote it
  };
  const std::vector<Value> values = {{"Tool", "Tool"}, {"Caf\xC3\xA9", "Caf\xE9"}};
  for (const Format& f : formats) {
    const bool log = std::string(f.name) == "uninstall.ini";
    for (const Value& v : values) {
      // How the build stores a data file; the log is appended line by line.
      const std::string text = to_crlf(f.write(v.utf8));
      const std::string bytes = log ? text : text::encode_text(text);
      if (text::is_ascii(v.utf8)) {
        EXPECT_EQ(bytes, to_crlf(f.write(v.utf8))) << f.name << ": ASCII as before";
      } else if (!log) {
        EXPECT_EQ(bytes, std::string(text::kUtf8Bom) + text) << f.name;
      }
      const std::string read = f.read(bytes);
      EXPECT_NE(read.find(v.utf8), std::string::npos) << f.name << " read " << read;
      // What an older program wrote in the ANSI code page.
      EXPECT_EQ(f.read(to_crlf(f.write(v.ansi))), read) << f.name << ": the old ANSI form";
    }
  }
  // The author's documents: UTF-8 with or without a mark, UTF-16 with a
  // mark, or ANSI, all the same text.
  const std::string greek = "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC \xCF\x83\xCE\xBF\xCF\x85";  // Γειά σου
  std::u16string utf16 = text::utf8_to_utf16(greek);
  std::string le = "\xFF\xFE";
  for (char16_t u : utf16) le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  for (const std::string& bytes : {greek, std::string(text::kUtf8Bom) + greek, le}) {
    DataFiles files;
    files.put("wt.txt", bytes);
    EXPECT_EQ(*files.find("wt.txt"), greek);
  }
  DataFiles files;
  files.put("license.txt", "Caf\xE9");
  EXPECT_EQ(*files.find("license.txt"), "Caf\xC3\xA9");
}

}  // namespace
}  // namespace quill::package
