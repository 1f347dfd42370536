// The editing commands over the sandbox: what each writes, that a project
// made by them is byte for byte the one the window's editor logic makes,
// and that refused input leaves the file as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <sstream>

#include "builder/editor/editor.h"
#include "builder/editor/scripted_prompter.h"
#include "builder/project/interruption.h"
#include "builder/project/listing_section.h"
#include "builder/project/project_file.h"
#include "builder/project/settings_table.h"
#include "cli/command.h"
#include "text/unicode.h"
#include "tests/cli/sandbox_platform.h"
#include "tests/project/sandbox.h"

namespace quill::cli {
namespace {

using project::kNoSlot;

class CliEditTest : public ::testing::Test {
 protected:
  CliEditTest() : platform(box) {
    box.os().set_module_path(box.root() + "/bin/quillset-build");
    box.write("bin/ext.dat", "MZ-stub");
    box.write("bin/uninst.dat", "MZ-uninstaller");
    box.write("bin/setup.JPG", "jpeg");
    box.write("src/a.txt", "a");
    box.write("src/tree/c.txt", "c");
    box.write("src/tree/sub/b.txt", "b");
    box.write("src/tree/.hidden/h.txt", "h");
    box.write("src/x.png", "x");
    box.write("src/f.ttf", "f");
    box.write("src/pic.jpg", "p");
    box.write("src/welcome.txt", "hello");
  }

  int run(std::vector<std::string> args, std::string* err_text = nullptr) {
    std::ostringstream out, err;
    int code = run_command(args, platform, out, err);
    if (err_text) *err_text = err.str();
    last_out = out.str();
    return code;
  }
  std::string src(const std::string& name) const { return box.root() + "/src/" + name; }
  std::string saved(const std::string& name = "p.qsp") const {
    return testing::Sandbox::read(box.root() + "/" + name);
  }
  // Line `n` (from 1) of the settings lines of a saved project: the
  // settings section's, then those of the listing section after it (empty
  // when the file has none).
  std::string setting_line(int n) const {
    std::vector<std::string> lines;
    std::istringstream in(saved());
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.size() - 1));
    const int listing_lines = project::kAllSettingLines - project::kListingFirstLine + 1;
    std::size_t end = lines.size();
    const bool listing = end > 2 + listing_lines && lines[end - 2 - listing_lines] == project::kListingSectionMarker;
    if (n >= project::kListingFirstLine) return listing ? lines[end - 1 - listing_lines + n - project::kListingFirstLine] : "";
    if (listing) end -= 2 + listing_lines;
    return lines.at(end - project::kSettingsLines + n - 1);
  }

  testing::Sandbox box;
  SandboxPlatform platform;
  std::string last_out;
};

// One session of commands against the same changes made through the
// editor as the window makes them (the dialogs' settings on the model).
TEST_F(CliEditTest, CommandsWriteWhatTheWindowWrites) {
  ASSERT_EQ(run({"new", "p.qsp", "--name", "App", "--title", "T", "--folder", "%program files%\\T"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt"), src("tree")}), 0);
  ASSERT_EQ(run({"add", "p.qsp", "--to", "docs/img", src("x.png")}), 0);
  ASSERT_EQ(run({"add", "p.qsp", "--custom", "%windows%\\Fonts", src("f.ttf")}), 0);
  ASSERT_EQ(run({"set", "p.qsp", "uninstaller=on", "eoi-buttons=yesno", "progress-bar=smooth",
                 "fullscreen-colour=#102030", "welcome-file=src/welcome.txt", "font-italic=on"}), 0);
  ASSERT_EQ(run({"macro", "p.qsp", "add", "%m%", "v"}), 0);
  ASSERT_EQ(run({"macro", "p.qsp", "add", "%r%", "--registry", "HKEY_LOCAL_MACHINE", "Software\\X", "Ver"}), 0);
  ASSERT_EQ(run({"shortcut", "p.qsp", "add", "a.txt", "start-menu", "A", "--folder", "Grp"}), 0);
  ASSERT_EQ(run({"shortcut", "p.qsp", "add", "%windows%\\Fonts\\f.ttf", "desktop", "F"}), 0);
  ASSERT_EQ(run({"image", "p.qsp", "add", src("pic.jpg"), "--step", "3"}), 0);

  editor::ScriptedPrompter prompter;
  editor::EditorView view;
  editor::Editor e(box.os(), prompter, view);
  prompter.answers.push_back(editor::Answer::no);
  e.new_project();
  // The author saves after each step, as each command does: a save
  // compacts the file table, which decides the slots of later files.
  prompter.files.push_back(box.root() + "/window.qsp");
  e.save_as();
  e.set_setting(project::SettingId::name, "App");
  e.set_setting(project::SettingId::title, "T");
  e.set_setting(project::SettingId::default_folder, "%program files%\\T");
  const project::Project& p = e.project();
  auto folder = [&](const std::string& path) { return p.folder(p.find_folder_by_path(path)).item; };
  e.select(p.install_root());
  prompter.files.push_back(src("a.txt"));
  e.add_file();
  prompter.folders.push_back(src("tree"));
  e.add_folder();
  box.write("empty/docs/img/.keep", "");
  prompter.folders.push_back(box.root() + "/empty/docs/");
  e.add_folder();
  e.select(folder("%install path%\\docs\\"));
  e.select(folder("%install path%\\docs\\img\\"));
  prompter.files.push_back(src("x.png"));
  e.add_file();
  e.select(p.install_root());
  prompter.files.push_back(src("f.ttf"));
  e.add_file();
  e.select(p.file(p.find_file_by_name_and_folder("f.ttf", "%install path%\\")).item);
  e.custom_path_button("");
  e.custom_path_button("%windows%\\Fonts\\");
  e.save();
  e.set_setting(project::SettingId::uninstaller, "on");
  e.set_setting(project::SettingId::eoi_buttons, "yesno");
  e.set_setting(project::SettingId::welcome_file, src("welcome.txt"));
  auto shortcut = [&](const std::string& name, const std::string& folder_path, int location,
                      const std::string& text, const std::string& group) {
    e.select(p.file(p.find_file_by_name_and_folder(name, folder_path)).item);
    e.location_changed(location);
    e.sync_tick(text, group);
  };
  shortcut("a.txt", "%install path%\\", project::kStartMenu, "A", "Grp");
  shortcut("f.ttf", "%windows%\\Fonts\\", project::kDesktop, "F", "");
  ASSERT_EQ(prompter.count("tell:"), 0) << prompter.last_message();

  project::Project model = p;
  model.window_settings().progress_style = 1;
  model.fullscreen().background_colour = project::make_colour(0x10, 0x20, 0x30);
  model.fullscreen().font.italic = "1";
  model.add_macro({"%m%", "v", "", ""});
  model.add_macro({"%r%", "HKEY_LOCAL_MACHINE", "Software\\X", "Ver"});
  model.add_image(src("pic.jpg"), 3, false, 0, 0, 0);
  ASSERT_TRUE(project::save_project(model, box.os(), box.root() + "/window.qsp", ""));

  EXPECT_EQ(saved(), saved("window.qsp"));
  // The scan rules: hidden folders stay out, the empty folders were made
  // as folders of their own, the custom file is not under the install path.
  EXPECT_EQ(saved().find("h.txt"), std::string::npos);
  EXPECT_NE(saved().find("%install path%\\docs\\img\\\r\n"), std::string::npos);
  EXPECT_NE(saved().find("f.ttf\r\n%windows%\\Fonts\\\r\n"), std::string::npos);
}

// Each key lands on its own line of the settings section, and show --json
// prints back what set stored.
TEST_F(CliEditTest, SetWritesEachKeyAndShowReadsItBack) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  struct Case {
    std::string assignment;
    int line;
    std::string written;
  } cases[] = {
      {"name=My App", 3, "My App"},
      {"title=Set up %name%", 4, "Set up %name%"},
      {"default-folder=C:\\Apps", 5, "C:\\Apps"},
      {"output=/out/setup.exe", 6, "/out/setup.exe"},
      {"shrink-window=on", 7, "true"},
      {"progress-bar=smooth", 8, "1"},
      {"eoi-buttons=yesno", 10, "YESNO"},
      {"background=on", 11, "true"},
      {"fullscreen-stretch=off", 12, "false"},
      {"fullscreen-title-bar=off", 13, "true"},
      {"fullscreen-fade=off", 14, "false"},
      {"fullscreen-text=Hello", 15, "Hello"},
      {"fullscreen-width=800", 16, "800"},
      {"fullscreen-height=600", 17, "600"},
      {"eoi-message=Done", 18, "Done"},
      {"eoi-command=%install path%\\a.txt", 19, "%install path%\\a.txt"},
      {"registry-macro=%key%", 21, "%key%"},
      {"try-path-first=on", 22, "true"},
      {"font-face=Tahoma", 23, "Tahoma"},
      {"font-size=12", 24, "12"},
      {"font-weight=400", 25, "400"},
      {"font-underline=on", 27, "1"},
      {"font-charset=2", 29, "2"},
      {"fullscreen-text-colour=#010203", 31, "2"},
      {"fullscreen-shadow-colour=#0A0B0C", 35, "12"},
      {"fullscreen-colour=#FF8000", 37, "128"},
      {"fullscreen-fade-colour=#123456", 39, "18"},
      {"fullscreen-align=centre", 42, "1"},
      {"fullscreen-shadow=off", 43, "false"},
      {"fullscreen-shadow-offset=10", 44, "10"},
      {"install-scope=user", 45, "1"},
      {"architecture=x64", 46, "1"},
      {"shortcuts-for=current-user", 47, "1"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(run({"set", "p.qsp", c.assignment}), 0) << c.assignment;
    EXPECT_EQ(setting_line(c.line), c.written) << c.assignment;
  }
  ASSERT_EQ(run({"show", "p.qsp", "--json"}), 0);
  for (const Case& c : cases) {
    std::size_t eq = c.assignment.find('=');
    std::string value = c.assignment.substr(eq + 1);
    std::string escaped;
    for (char ch : value) escaped += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
    EXPECT_NE(last_out.find("\"" + c.assignment.substr(0, eq) + "\": \"" + escaped + "\""), std::string::npos)
        << c.assignment;
  }
  // The uninstaller check adds its file and names its slot on line 20.
  ASSERT_EQ(run({"set", "p.qsp", "uninstaller=on"}), 0);
  EXPECT_EQ(setting_line(9), "true");
  EXPECT_EQ(setting_line(20), "0");
  EXPECT_NE(saved().find(box.root() + "/bin/uninst.dat\r\nUninstall.exe\r\n%install path%\\\r\n"),
            std::string::npos);
  ASSERT_EQ(run({"set", "p.qsp", "uninstaller=off"}), 0);
  EXPECT_EQ(saved().find("Uninstall.exe"), std::string::npos);
}

// Each row of the settings table, given a value the project does not hold:
// "set" changes the lines of the settings section that the file format
// gives it and no other (the uninstaller also names its slot on line 20),
// and "show" reads the value back from the file.
TEST_F(CliEditTest, EverySettingRoundTripsAtItsOwnLines) {
  // The settings section's lines by key; line 20 is the uninstaller's slot.
  const std::string c1 = "fullscreen-text-colour", c2 = "fullscreen-shadow-colour", c3 = "fullscreen-colour",
                    c4 = "fullscreen-fade-colour";
  const std::vector<std::string> file_lines = {
      "welcome-file", "licence-file", "name", "title", "default-folder", "output", "shrink-window",
      "progress-bar", "uninstaller", "eoi-buttons", "background", "fullscreen-stretch",
      "fullscreen-title-bar", "fullscreen-fade", "fullscreen-text", "fullscreen-width", "fullscreen-height",
      "eoi-message", "eoi-command", "uninstaller", "registry-macro", "try-path-first", "font-face",
      "font-size", "font-weight", "font-italic", "font-underline", "font-strike-out", "font-charset", c1, c1,
      c1, c2, c2, c2, c3, c3, c3, c4, c4, c4, "fullscreen-align", "fullscreen-shadow",
      "fullscreen-shadow-offset", "install-scope", "architecture", "shortcuts-for", "languages",
      "package-identifier", "licence-name", "short-description", "compression"};
  ASSERT_EQ(file_lines.size(), static_cast<std::size_t>(project::kAllSettingLines));
  EXPECT_EQ(std::set<std::string>(file_lines.begin(), file_lines.end()).size(), project::settings_table().size());
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  auto section = [&] {
    std::vector<std::string> lines;
    for (int n = 1; n <= project::kAllSettingLines; ++n) lines.push_back(setting_line(n));
    return lines;
  };
  auto shown = [&](const std::string& key, const std::string& value) {
    return last_out.find("\"" + key + "\": \"" + value + "\"") != std::string::npos;
  };
  for (const project::Setting& row : project::settings_table()) {
    const std::string key = row.key;
    ASSERT_EQ(run({"show", "p.qsp", "--json"}), 0);
    std::string value;
    switch (row.kind) {
      case project::SettingKind::text: value = "v." + key; break;
      case project::SettingKind::path: value = "C:/" + key; break;
      case project::SettingKind::number: value = std::to_string(row.maximum); break;
      case project::SettingKind::colour: value = "#123456"; break;
      case project::SettingKind::language_list: value = "en,de"; break;
      case project::SettingKind::flag:
      case project::SettingKind::choice:
        for (const std::string& choice : row.choices) {
          if (!shown(key, choice)) value = choice;
        }
        break;
    }
    const std::vector<std::string> before = section();
    ASSERT_EQ(run({"set", "p.qsp", key + "=" + value}), 0) << key;
    const std::vector<std::string> after = section();
    for (int n = 1; n <= project::kAllSettingLines; ++n) {
      EXPECT_EQ(before[n - 1] != after[n - 1], file_lines[n - 1] == key) << key << ", line " << n;
    }
    ASSERT_EQ(run({"show", "p.qsp", "--json"}), 0);
    EXPECT_TRUE(shown(key, value)) << key << "=" << value;
  }
}

TEST_F(CliEditTest, RemoveSubcommandsUndoTheirAdd) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  const std::string fresh = saved();
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt")}), 0);
  const std::string with_file = saved();
  ASSERT_EQ(run({"macro", "p.qsp", "add", "%m%", "v"}), 0);
  ASSERT_EQ(run({"image", "p.qsp", "add", src("pic.jpg")}), 0);
  ASSERT_EQ(run({"shortcut", "p.qsp", "add", "a.txt", "quick-start", "A"}), 0);
  EXPECT_NE(saved(), with_file);
  ASSERT_EQ(run({"shortcut", "p.qsp", "remove", "a.txt", "quick-start"}), 0);
  ASSERT_EQ(run({"image", "p.qsp", "remove", src("pic.jpg")}), 0);
  ASSERT_EQ(run({"macro", "p.qsp", "remove", "%m%"}), 0);
  EXPECT_EQ(saved(), with_file);
  EXPECT_NE(saved(), fresh);
  // Files, folders and the uninstaller go as the window's Remove takes them.
  ASSERT_EQ(run({"add", "p.qsp", src("tree")}), 0);
  ASSERT_EQ(run({"set", "p.qsp", "uninstaller=on"}), 0);
  ASSERT_EQ(run({"remove", "p.qsp", "a.txt", "tree", "Uninstall.exe"}), 0);
  EXPECT_EQ(saved(), fresh);
}

TEST_F(CliEditTest, RefusedInputExitsTwoAndLeavesTheFileUntouched) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt")}), 0);
  const std::string before = saved();
  // A source path over 259 characters (a project file line holds 259).
  box.write("src/" + std::string(240, 'l') + "/deep/a.txt", "deep");
  const std::vector<std::vector<std::string>> refused = {
      {"set", "p.qsp", "colour=red"},
      {"set", "p.qsp", "name=ok", "uninstaller=maybe"},
      {"set", "p.qsp", "title=two\nlines"},
      {"set", "p.qsp", "name=" + std::string(260, 'x')},
      {"set", "p.qsp", "fullscreen-shadow-offset=11"},
      {"set", "p.qsp", "fullscreen-colour=#12345"},
      {"set", "p.qsp", "name"},
      {"new", "p.qsp"},
      {"add", "p.qsp", src("none.txt")},
      {"add", "p.qsp", "--custom", "%windows%\\", src("tree")},
      {"add", "p.qsp", "--to", "../up", src("a.txt")},
      {"add", "p.qsp", "--frobnicate", src("a.txt")},
      {"remove", "p.qsp", "a.txt", "none.txt"},
      {"remove", "p.qsp", "%install path%"},
      {"add", "p.qsp", src("tree"), src("tree")},
      {"add", "p.qsp", src(std::string(240, 'l') + "/deep/a.txt")},
      {"macro", "p.qsp", "add", "m", "v"},
      {"macro", "p.qsp", "add", "%m%", "--registry", "HKEY_NOWHERE", "k", "v"},
      {"macro", "p.qsp", "remove", "%none%"},
      {"shortcut", "p.qsp", "add", "none.txt", "desktop", "N"},
      {"shortcut", "p.qsp", "add", "a.txt", "garden", "N"},
      {"shortcut", "p.qsp", "add", "a.txt", "desktop", "N", "--folder", "G"},
      {"shortcut", "p.qsp", "add", "a.txt", "desktop", "a/b"},
      {"image", "p.qsp", "add", src("none.jpg")},
      {"image", "p.qsp", "add", src("pic.jpg"), "--step", "8"},
      {"image", "p.qsp", "add", src("pic.jpg"), "--background"},
  };
  for (const auto& args : refused) {
    std::string err;
    EXPECT_EQ(run(args, &err), 2) << args[0] << " " << args.back();
    EXPECT_FALSE(err.empty()) << args[0] << " " << args.back();
    EXPECT_EQ(saved(), before) << args[0] << " " << args.back();
  }
  // A duplicate macro is refused after the first one was written.
  ASSERT_EQ(run({"macro", "p.qsp", "add", "%m%", "v"}), 0);
  const std::string with_macro = saved();
  EXPECT_EQ(run({"macro", "p.qsp", "add", "%m%", "w"}), 2);
  EXPECT_EQ(saved(), with_macro);
}

// Sources the project file would keep as another path, or that never end,
// and folders and names an installer drops or cannot create.
TEST_F(CliEditTest, HostileSourcesFoldersAndNamesAreRefused) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt")}), 0);
  const std::string before = saved();
  box.write("src/new", "an existing, different file");
  for (const char* name : {"new\nline.txt", "cr\rname.txt", "bell\x07.txt", "CON", "nul.txt", "dot.", "space "}) {
    box.write(std::string("src/") + name, "x");
  }
  box.write("src/lpt1/b.txt", "b");
  ASSERT_EQ(mkfifo(src("pipe").c_str(), 0600), 0);
  const std::vector<std::vector<std::string>> refused = {
      {"add", "p.qsp", src("new\nline.txt")},
      {"add", "p.qsp", src("cr\rname.txt")},
      {"add", "p.qsp", src("bell\x07.txt")},
      {"add", "p.qsp", src("CON")},
      {"add", "p.qsp", src("nul.txt")},
      {"add", "p.qsp", src("dot.")},
      {"add", "p.qsp", src("space ")},
      {"add", "p.qsp", src("lpt1")},
      {"add", "p.qsp", src("pipe")},
      {"add", "p.qsp", "--to", "a\nb", src("a.txt")},
      {"add", "p.qsp", "--to", "C:\\Windows", src("a.txt")},
      {"add", "p.qsp", "--to", "docs/a*b", src("a.txt")},
      {"add", "p.qsp", "--to", "docs/COM1", src("a.txt")},
      {"add", "p.qsp", "--to", "docs. ", src("a.txt")},
      {"add", "p.qsp", "--custom", "C:\\a\nb", src("a.txt")},
      {"add", "p.qsp", "--custom", "relative\\x", src("a.txt")},
      {"add", "p.qsp", "--custom", "C:\\Tools\\a?b", src("a.txt")},
      {"shortcut", "p.qsp", "add", "a.txt", "start-menu", "N", "--folder", "..\\..\\..\\Windows"},
      {"shortcut", "p.qsp", "add", "a.txt", "start-menu", "N", "--folder", "C:\\Windows"},
      {"shortcut", "p.qsp", "add", "a.txt", "start-menu", "N", "--folder", "\\Windows"},
      {"shortcut", "p.qsp", "add", "a.txt", "start-menu", "N", "--folder", "Tools\\AUX"},
      {"shortcut", "p.qsp", "add", "a.txt", "desktop", "NUL"},
      {"shortcut", "p.qsp", "add", "a.txt", "desktop", "tab\there"},
  };
  for (const auto& args : refused) {
    std::string err;
    EXPECT_EQ(run(args, &err), 2) << args[args.size() - 2] << " " << args.back();
    EXPECT_EQ(saved(), before) << args[args.size() - 2] << " " << args.back();
  }
  // What an installer can create is still taken.
  EXPECT_EQ(run({"add", "p.qsp", "--to", "docs/console.d", src("a.txt")}), 0);
  EXPECT_EQ(run({"shortcut", "p.qsp", "add", "a.txt", "start-menu", "N", "--folder", "Tools\\Sub"}), 0);
}

// A project file edited by hand: each value no way into a project stores is
// loaded as it was, and check and the build report it with its section and
// line; the build writes nothing.
TEST_F(CliEditTest, CheckAndBuildReportDamagedValuesByLine) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt")}), 0);
  ASSERT_EQ(run({"shortcut", "p.qsp", "add", "a.txt", "start-menu", "App", "--folder", "Tools"}), 0);
  ASSERT_EQ(run({"image", "p.qsp", "add", src("pic.jpg"), "--step", "2"}), 0);
  ASSERT_EQ(run({"set", "p.qsp", "fullscreen-width=800", "output=/out/x.exe"}), 0);
  ASSERT_EQ(run({"macro", "p.qsp", "add", "%m%", "v"}), 0);
  std::vector<std::string> lines;
  std::istringstream in(saved());
  for (std::string line; std::getline(in, line, '\n');) lines.push_back(line.substr(0, line.size() - 1));
  ASSERT_EQ(lines[4], "a.txt");
  ASSERT_EQ(lines[10], "2");
  ASSERT_EQ(lines[21], "%m%");
  ASSERT_EQ(lines[34], "Tools");
  ASSERT_EQ(lines[70], "800");
  const struct {
    int line;
    std::string value;
    const char* finding;
  } damaged[] = {
      {5, "a:b", "files section, line 5: the name \"a:b\" holds one of"},
      {5, "aux.txt", "files section, line 5: the name \"aux.txt\" is a device name"},
      {6, "%install path%\\..\\", "files section, line 6: the target folder"},
      {6, "C:\\Windows\\dot.\\", "files section, line 6: the target folder"},
      {11, "99999999999999999999", "pictures section, line 11: the step \"99999999999999999999\" is not a number"},
      {11, "0", "pictures section, line 11"},
      {22, "%a%b%", "macros section, line 22: the macro name"},
      {35, "..\\..\\..\\Windows", "shortcuts section, line 35: the start menu folder"},
      {35, "C:\\Windows", "shortcuts section, line 35"},
      {71, "-5", "settings section, line 71: fullscreen-width \"-5\" is not a number from 1 to 16384"},
      {4, std::string(300, 's'), "files section, line 4: a line longer than 259"},
  };
  for (const auto& d : damaged) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      text += (static_cast<int>(i) + 1 == d.line ? d.value : lines[i]) + "\r\n";
    }
    box.write("p.qsp", text);
    std::string err;
    EXPECT_EQ(run({"check", "p.qsp"}, &err), 1) << d.value;
    EXPECT_NE(err.find(d.finding), std::string::npos) << d.finding << " in " << err;
    EXPECT_EQ(run({"build", "p.qsp", "-o", "out.exe"}, &err), 1) << d.value;
    EXPECT_NE(err.find(d.finding), std::string::npos) << d.finding << " in " << err;
    EXPECT_FALSE(std::filesystem::exists(box.root() + "/out.exe"));
  }
}

// An interruption (Ctrl-C, SIGTERM) ends a command that reads a project
// with exit code 1, and a command that would change it writes nothing.
TEST_F(CliEditTest, InterruptedCommandsWriteNothing) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  const std::string before = saved();
  request_abort();
  std::string err;
  EXPECT_EQ(run({"add", "p.qsp", src("a.txt")}, &err), 1);
  EXPECT_NE(err.find("interrupted"), std::string::npos) << err;
  EXPECT_EQ(run({"show", "p.qsp"}, &err), 1);
  EXPECT_EQ(run({"build", "p.qsp", "-o", "out.exe"}, &err), 1);
  project::g_interruption.store(false);
  EXPECT_EQ(saved(), before);
  EXPECT_FALSE(std::filesystem::exists(box.root() + "/out.exe"));
  EXPECT_FALSE(std::filesystem::exists(box.root() + "/p.qsp.saving"));
}

TEST_F(CliEditTest, CheckReportsWhatWouldMakeThePackageWrong) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt"), src("tree")}), 0);
  ASSERT_EQ(run({"set", "p.qsp", "output=/out/x.exe", "uninstaller=on"}), 0);
  std::string err;
  EXPECT_EQ(run({"check", "p.qsp"}, &err), 0) << err;
  EXPECT_EQ(err, "");
  // The same file twice in one folder, a source gone, a picture gone and a
  // missing uninstaller beside the builder.
  ASSERT_EQ(run({"image", "p.qsp", "add", src("pic.jpg")}), 0);
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt")}, &err), 0);
  EXPECT_NE(err.find("will be installed as \"copy of a.txt\""), std::string::npos) << err;
  std::filesystem::remove(src("tree/c.txt"));
  std::filesystem::remove(src("pic.jpg"));
  std::filesystem::remove(box.root() + "/bin/uninst.dat");
  EXPECT_EQ(run({"check", "p.qsp"}, &err), 1);
  for (const char* text : {"copy of a.txt", "Source file missing", "c.txt", "Picture missing",
                           "uninst.dat is missing"}) {
    EXPECT_NE(err.find(text), std::string::npos) << text << " in " << err;
  }
}

// A project file that holds one record three times: the load names the
// later two "copy of a.txt" and "copy of copy of a.txt", and the check names
// the path they all claim.
TEST_F(CliEditTest, CheckNamesThePathThatRenamedRecordsClaim) {
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"add", "p.qsp", src("a.txt")}), 0);
  std::string text = saved();
  const std::string record = src("a.txt") + "\r\na.txt\r\n%install path%\\\r\n";
  const std::size_t at = text.find(record);
  ASSERT_NE(at, std::string::npos) << text;
  text.insert(at, record + record);
  box.write("p.qsp", text);
  std::string err;
  run({"check", "p.qsp"}, &err);
  for (const char* copy : {"copy of a.txt", "copy of copy of a.txt"}) {
    const std::string finding = "two files are installed as \"%install path%\\a.txt\"; the one from \"" +
                                src("a.txt") + "\" is installed as \"" + copy + "\".";
    EXPECT_NE(err.find(finding), std::string::npos) << finding << " in " << err;
  }
}

// The languages and their variants from the command line: "set languages=",
// the command "language" (set, remove, list, refusals with exit 2 and the
// file untouched), "show" and "check", and show --json as valid UTF-8 with
// control characters escaped, also for an old project in the ANSI code page.
TEST_F(CliEditTest, LanguagesAndTheirVariants) {
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
  ASSERT_EQ(run({"new", "p.qsp"}), 0);
  ASSERT_EQ(run({"show", "p.qsp", "--json"}), 0);
  EXPECT_NE(last_out.find("\"languages\": \"en,de,fr,es,it,pt-BR,nl,pl,ru,ja,zh-CN,ko\""), std::string::npos);
  std::string before = saved();
  std::string err;
  const std::vector<std::vector<std::string>> refused = {
      {"set", "p.qsp", "languages=de,xx"},
      {"language", "p.qsp", "set", "xx", "title=T"},
      {"language", "p.qsp", "set", "en", "title=T"},
      {"language", "p.qsp", "set", "de", "welcome=src/missing.txt"},
      {"language", "p.qsp", "set", "de", "colour=red"},
      {"language", "p.qsp", "frobnicate", "de"},
  };
  for (const auto& args : refused) {
    EXPECT_EQ(run(args, &err), 2) << args[2] << " " << args.back();
    EXPECT_EQ(saved(), before);
  }

  ASSERT_EQ(run({"set", "p.qsp", "languages=de, fr"}), 0);
  ASSERT_EQ(run({"language", "p.qsp", "set", "ja", "title=" + japanese, "welcome=src/welcome.txt",
                 "eoi-message=end\x01"}),
            0);
  ASSERT_EQ(run({"language", "p.qsp", "list"}), 0);
  EXPECT_EQ(last_out, "en\nde\nfr\nja\n  title = " + japanese + "\n  welcome = " + src("welcome.txt") +
                          "\n  eoi-message = end\x01\n");
  ASSERT_EQ(run({"show", "p.qsp", "--json"}), 0);
  EXPECT_TRUE(text::is_valid_utf8(last_out));
  EXPECT_NE(last_out.find("\"languages\": \"en,de,fr,ja\""), std::string::npos);
  EXPECT_NE(last_out.find("\"ja\": {\"title\": \"" + japanese + "\", \"welcome\": \"" + src("welcome.txt") +
                          "\", \"licence\": \"\", \"eoi-message\": \"end\\u0001\""),
            std::string::npos)
      << last_out;
  EXPECT_EQ(saved().compare(0, 3, text::kUtf8Bom), 0);

  // What check finds: a variant's missing file, a variant of a language
  // the project no longer carries.
  std::remove((box.root() + "/src/welcome.txt").c_str());
  EXPECT_EQ(run({"check", "p.qsp"}, &err), 1);
  EXPECT_NE(err.find("Text file missing: \"" + src("welcome.txt") + "\" (ja)"), std::string::npos) << err;
  ASSERT_EQ(run({"set", "p.qsp", "languages=en"}), 0);
  run({"check", "p.qsp"}, &err);
  EXPECT_NE(err.find("language ja are left out"), std::string::npos) << err;

  ASSERT_EQ(run({"language", "p.qsp", "remove", "ja"}), 0);
  ASSERT_EQ(run({"language", "p.qsp", "list"}), 0);
  EXPECT_EQ(last_out, "en\n");
  EXPECT_EQ(run({"language", "p.qsp", "remove", "ja"}), 2);
  ASSERT_EQ(run({"language", "--help"}), 0);
  EXPECT_EQ(last_out.rfind("usage: quillset-build language", 0), 0u);

  // An old project: the ANSI program name comes out as UTF-8.
  ASSERT_EQ(run({"new", "old.qsp", "--name", "Cafe"}), 0);
  std::string old = saved("old.qsp");
  old.replace(old.find("Cafe"), 4, "Caf\xE9");
  box.write("old.qsp", old);
  ASSERT_EQ(run({"show", "old.qsp", "--json"}), 0);
  EXPECT_TRUE(text::is_valid_utf8(last_out));
  EXPECT_NE(last_out.find("\"name\": \"Caf\xC3\xA9\""), std::string::npos);
}

}  // namespace
}  // namespace quill::cli
