// The help texts (also the source of the manual page).
#include <string>

#include "cli/commands.h"
#include "builder/project/settings_table.h"

namespace quill::cli {

namespace {

const char kGeneral[] =
    "usage: quillset-build COMMAND PROJECT.qsp [ARGUMENTS]\n"
    "       quillset-build PROJECT.qsp [-o OUTPUT]\n"
    "\n"
    "Makes, inspects, edits and builds installer projects (.qsp files) from the\n"
    "command line. A project changed here opens unchanged in the builder's\n"
    "window; every command that writes a project replaces the file only once\n"
    "the new one is complete, and a refused command leaves it untouched.\n"
    "\n"
    "Commands:\n"
    "  new       create a project with the defaults of a new project\n"
    "  add       add files and folder trees to the files to install\n"
    "  remove    remove files or folders (with everything in them)\n"
    "  set       change settings by name (KEY=VALUE)\n"
    "  macro     add or remove a macro\n"
    "  shortcut  add or remove a shortcut to an installed file\n"
    "  image     add or remove a picture of the installer\n"
    "  language  set, remove or list the installer's texts in one more language\n"
    "  registry, association, path, env\n"
    "            registry values, file associations, PATH entries and environment\n"
    "            variables the package sets and its uninstaller undoes\n"
    "  show      print the project (--json for scripts)\n"
    "  check     report what a build would warn about\n"
    "  build     build the installer package (the default command)\n"
    "  manifest  write a package manager's manifest for the built package\n"
    "  describe  describe the built package for management tools (JSON)\n"
    "\n"
    "  quillset-build COMMAND --help   shows the help of one command.\n"
    "\n"
    "Exit codes: 0 done; 1 failed (a file could not be read or written, or\n"
    "check found errors); 2 refused (bad arguments; nothing was written).\n"
    "\n"
    "ext.dat, uninst.dat and setup.JPG are taken from the folder of this program;\n"
    "a project for x64 takes ext64.dat and uninst64.dat instead.\n";

const char kNew[] =
    "usage: quillset-build new PROJECT.qsp [--name NAME] [--title TEXT] [--folder FOLDER] [--force]\n"
    "\n"
    "Writes a new project: the defaults of the window's \"New project\", with\n"
    "the program name, the installer's title and its default install folder\n"
    "when given. An existing file is replaced only with --force.\n"
    "\n"
    "  --name NAME      program name, the value of %name% (name=)\n"
    "  --title TEXT     installer window title (title=)\n"
    "  --folder FOLDER  default install folder, e.g. \"%program files%\\%name%\"\n";

const char kAdd[] =
    "usage: quillset-build add PROJECT.qsp SOURCE... [--to FOLDER | --custom TARGET]\n"
    "\n"
    "Adds files and whole folder trees, as the window's \"Add file\" and \"Add\n"
    "folder\" do: a folder keeps its name and brings everything below it,\n"
    "except names that begin with \".\", links, devices and pipes, names an\n"
    "installer cannot create, and paths over 259 characters. A source that is\n"
    "a device or pipe, or whose name an installer cannot create (a control\n"
    "character, one of \\ / : * ? \" < > |, a last dot or space, CON, NUL,\n"
    "COM1 ...), is refused; so are such folder names.\n"
    "\n"
    "  --to FOLDER      a folder below %install path% (e.g. docs/img); missing\n"
    "                   folders are made. Default: %install path% itself.\n"
    "  --custom TARGET  files only: install them into TARGET (e.g.\n"
    "                   \"%windows%\\Fonts\\\") under %custom path%; a file whose\n"
    "                   name is taken there gets \"copy of \" in front.\n";

const char kRemove[] =
    "usage: quillset-build remove PROJECT.qsp ITEM...\n"
    "\n"
    "Removes files and folders, as the window's \"Remove file / folder\" does:\n"
    "a folder goes with everything in it, and its shortcuts with a file.\n"
    "ITEM is a file as show lists it (bin/app.exe, \"%windows%\\Fonts\\a.ttf\")\n"
    "or a folder below %install path% (bin). Removing Uninstall.exe turns\n"
    "uninstaller off. The two roots cannot be removed.\n";

const char kSetHead[] =
    "usage: quillset-build set PROJECT.qsp KEY=VALUE...\n"
    "\n"
    "Changes settings by name. Texts are single lines of at most 259\n"
    "characters; file paths are made absolute; switches take on or off;\n"
    "colours take #RRGGBB. An unknown key or a bad value refuses the whole\n"
    "command (exit code 2) and nothing is written.\n"
    "\n"
    "Keys:\n";

const char kMacro[] =
    "usage: quillset-build macro PROJECT.qsp add NAME VALUE\n"
    "       quillset-build macro PROJECT.qsp add NAME --registry ROOT KEY VALUE-NAME\n"
    "       quillset-build macro PROJECT.qsp remove NAME\n"
    "\n"
    "A macro's NAME is a word between % signs, e.g. %company%. A text macro\n"
    "stands for VALUE; a registry macro for the value VALUE-NAME of KEY under\n"
    "ROOT (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS\n"
    "or HKEY_CURRENT_CONFIG) on the machine the installer runs on.\n";

const char kShortcut[] =
    "usage: quillset-build shortcut PROJECT.qsp add FILE LOCATION NAME [--folder FOLDER]\n"
    "       quillset-build shortcut PROJECT.qsp remove FILE LOCATION\n"
    "\n"
    "FILE is an installed file as show lists it: bin/app.exe (below\n"
    "%install path%) or its full target, e.g. \"%install path%\\bin\\app.exe\".\n"
    "LOCATION is desktop, start-menu or quick-start; each file has one\n"
    "shortcut per location. --folder names the start menu folder: folders\n"
    "below the start menu (Tools\\Sub), never a drive, a root or \"..\".\n";

const char kImage[] =
    "usage: quillset-build image PROJECT.qsp add PICTURE [--step N] [--background\n"
    "                            [--mode stretch|centre|position [--x X --y Y]]]\n"
    "       quillset-build image PROJECT.qsp remove PICTURE [--step N]\n"
    "\n"
    "Pictures (JPEG or BMP) shown at a step of the installer (1 welcome,\n"
    "2 licence, 3 folder, 4 shortcuts, 5 confirmation, 6 installing,\n"
    "7 done; default 1), in its window or, with --background, in the\n"
    "background window (which needs background=on).\n";

const char kShow[] =
    "usage: quillset-build show PROJECT.qsp [--json]\n"
    "\n"
    "Prints the files to install as a tree with their sources and targets,\n"
    "the shortcuts, macros and pictures, and every setting by the name that\n"
    "set takes. --json prints the same as one JSON object.\n";

const char kCheck[] =
    "usage: quillset-build check PROJECT.qsp\n"
    "\n"
    "Reports what a build would warn about: values of the project file that\n"
    "no command would store (with their section and line), missing sources,\n"
    "pictures or texts, sources that are devices or pipes, files installed\n"
    "under the same name, paths Windows cannot hold, macros that would be\n"
    "left out, an uninstaller that is switched on but missing, declarations\n"
    "the install scope cannot write or whose program is not in the project.\n"
    "Exits with 1 when anything would make the package wrong. Every build\n"
    "runs these checks first. Once one of package-identifier, licence-name\n"
    "and short-description is set, it also warns about what the command\n"
    "manifest would miss or refuse, which the build itself does not need.\n";

const char kBuild[] =
    "usage: quillset-build [build] PROJECT.qsp [-o OUTPUT]\n"
    "\n"
    "Builds the installer package described by a project file, after the\n"
    "checks of check (told as warnings). A project file holding values no\n"
    "command would store is not built. Ctrl-C ends the build (or any\n"
    "command) and nothing is written.\n"
    "\n"
    "  -o OUTPUT   write the package to OUTPUT instead of the project's\n"
    "              \"Save installer as\" path\n"
    "  -h, --help  show this text\n"
    "\n"
    "ext.dat, uninst.dat and setup.JPG are taken from the folder of this program;\n"
    "a project for x64 takes ext64.dat and uninst64.dat instead.\n"
    "\n"
    "The background window's font travels in the package (as its data file\n"
    "\"font\") when the project uses the background window, the face is not one\n"
    "that every Windows has (Arial, Tahoma, Times New Roman, Verdana, ...) and\n"
    "the font's file is found here: first in the system's font list, then (on\n"
    "Linux) below ~/.local/share/fonts, ~/.fonts, /usr/local/share/fonts and\n"
    "/usr/share/fonts, by file name: the face without blanks, with or without\n"
    "its style (DejaVuSans-Bold.ttf, DejaVuSans.ttf). When no file is found,\n"
    "none is shipped and the end user's system shows the text in a face of\n"
    "its own choosing.\n";

const char kManifest[] =
    "usage: quillset-build manifest PROJECT.qsp --winget DIR --url URL [--package FILE]\n"
    "\n"
    "Writes the three files of a winget manifest (manifest version 1.6.0) for\n"
    "the package built from the project into DIR: ID.yaml, ID.installer.yaml\n"
    "and ID.locale.en-US.yaml, where ID is the package identifier. They hold\n"
    "the package's identifier, version (%version%), publisher (%publisher%),\n"
    "name, licence and short description, its architecture and install scope,\n"
    "the SHA-256 of the package file, the installer's switches, the exit codes\n"
    "winget has a name for, and the uninstall entry exactly as the installer\n"
    "writes it. Refused, naming each, when the project lacks a value the\n"
    "manifest needs or holds one it cannot take.\n"
    "\n"
    "  --winget DIR    the folder the files go to (made when missing)\n"
    "  --url URL       the http:// or https:// address the package is downloaded from\n"
    "  --package FILE  the built package (also -o); default: the project's\n"
    "                  \"Save installer as\" path\n";

const char kDescribe[] =
    "usage: quillset-build describe PROJECT.qsp --json [--package FILE]\n"
    "\n"
    "Prints what a management tool needs to deploy the built package, as one\n"
    "JSON object: the silent install and uninstall command lines, the\n"
    "detection rule (the uninstall entry's root, key, registry view and\n"
    "DisplayVersion), every exit code with its meaning, the install scope,\n"
    "the architecture, and the package file's size and SHA-256.\n"
    "\n"
    "  --package FILE  the built package (also -o); default: the project's\n"
    "                  \"Save installer as\" path\n";

const char kLanguage[] =
    "usage: quillset-build language PROJECT.qsp set CODE [title=TEXT] [welcome=FILE]\n"
    "           [licence=FILE] [eoi-message=TEXT] [background-text=TEXT]\n"
    "       quillset-build language PROJECT.qsp remove CODE\n"
    "       quillset-build language PROJECT.qsp list\n"
    "\n"
    "The installer shows the author's texts in the language it speaks when the\n"
    "project has them, else the main ones. \"set\" changes the texts given (an\n"
    "empty value drops one) and adds the language to those the package carries\n"
    "(the setting languages=); \"remove\" drops the language and its texts;\n"
    "\"list\" prints the carried languages with their texts. The welcome and\n"
    "licence files may be UTF-8, UTF-16 with a byte-order mark, or ANSI.\n"
    "\n"
    "Codes: en de fr es it pt-BR nl pl ru ja zh-CN ko (English's texts are the\n"
    "main settings).\n";

std::string set_help() {
  std::string text = kSetHead;
  for (const project::Setting& key : project::settings_table()) {
    std::string values;
    switch (key.kind) {
      case project::SettingKind::text: values = "TEXT"; break;
      case project::SettingKind::path: values = "FILE"; break;
      case project::SettingKind::colour: values = "#RRGGBB"; break;
      case project::SettingKind::language_list: values = "CODE,CODE..."; break;
      case project::SettingKind::number:
        values = std::to_string(key.minimum) + ".." + std::to_string(key.maximum);
        break;
      case project::SettingKind::flag:
      case project::SettingKind::choice:
        for (const std::string& c : key.choices) values += (values.empty() ? "" : "|") + c;
        break;
    }
    std::string left = "  " + std::string(key.key) + "=" + values;
    if (left.size() < 40) left.resize(40, ' ');
    else left += "\n" + std::string(40, ' ');
    text += left + key.help + "\n";
  }
  return text;
}

}  // namespace

std::string general_help() { return kGeneral; }

std::string command_help(const std::string& command) {
  if (command == "new") return kNew;
  if (command == "add") return kAdd;
  if (command == "remove") return kRemove;
  if (command == "set") return set_help();
  if (command == "macro") return kMacro;
  if (command == "shortcut") return kShortcut;
  if (command == "image") return kImage;
  if (command == "show") return kShow;
  if (command == "check") return kCheck;
  if (command == "language") return kLanguage;
  if (command == "build") return kBuild;
  if (command == "manifest") return kManifest;
  if (command == "describe") return kDescribe;
  return declaration_help(command);
}

}  // namespace quill::cli
