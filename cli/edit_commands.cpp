// The commands that change a project: new, add, set, macro, shortcut, image.
// Each checks everything it was given, makes the change in a session and
// writes the file once at the end (atomically); a refused command leaves
// the file as it was.
#include <functional>
#include <ostream>

#include "builder/editor/folder_scan.h"
#include "cli/commands.h"
#include "cli/edit_session.h"
#include "cli/setting_keys.h"
#include "builder/project/field_rules.h"
#include "common/paths.h"

namespace quill::cli {

using project::kNoItem;
using project::TreeItem;

namespace {

// Opens PROJECT (the first word), runs `edit` on the session and writes the
// project it leaves, with `model` applied to what the editor made.
void edit_project(Context& c, const std::string& typed, const std::function<void(EditSession&)>& edit,
                  const std::function<void(project::Project&)>& model = nullptr) {
  EditSession session(c.platform);
  const std::string path = c.platform.os_path(typed);
  session.open(path, typed);
  edit(session);
  project::Project result = session.project();
  if (model) model(result);
  session.save(result, path, typed);
}

void need_words(const Args& args, std::size_t least, const std::string& command) {
  if (args.words.size() < least) throw Refused("missing arguments; see quillset-build " + command + " --help");
}

const char* const kLocations[] = {"desktop", "start-menu", "quick-start"};

int location_of(const std::string& word) {
  for (int i = 0; i < 3; ++i) {
    if (word == kLocations[i]) return i;
  }
  throw Refused("a shortcut location is desktop, start-menu or quick-start, not \"" + word + "\"");
}

void check_name(const std::string& what, const std::string& name) {
  refuse_problem(what, name, project::file_name_problem(name));
}

}  // namespace

int command_new(const Args& args, Context& c) {
  need_words(args, 1, "new");
  if (args.words.size() > 1) throw Refused("new takes one project file");
  const std::string& typed = args.words[0];
  const std::string path = c.platform.os_path(typed);
  EditSession session(c.platform);
  if (session.os().file_status(path).exists && !args.has("--force")) {
    throw Refused(typed + " exists; give --force to replace it with a new project");
  }
  // Everything is checked before the first change.
  std::vector<std::pair<const project::Setting*, std::string>> settings;
  for (const auto& [option, key] : {std::pair<const char*, const char*>{"--name", "name"},
                                    {"--title", "title"}, {"--folder", "default-folder"}}) {
    if (!args.values.count(option)) continue;
    const project::Setting* k = project::find_setting(key);
    settings.emplace_back(k, parse_setting(session, *k, args.value(option)));
  }
  session.start_new();
  for (const auto& [key, value] : settings) apply_window_setting(session, *key, value);
  project::Project result = session.project();
  session.save(result, path, typed);
  c.out << "Created " << typed << "\n";
  return 0;
}

int command_add(const Args& args, Context& c) {
  need_words(args, 2, "add");
  if (args.has("--to") && args.has("--custom")) throw Refused("give --to or --custom, not both");
  std::vector<std::string> sources;
  EditSession probe(c.platform);
  for (std::size_t i = 1; i < args.words.size(); ++i) {
    std::string source = c.platform.os_path(args.words[i]);
    // The project file would keep another path than the one given.
    refuse_problem("the source path", args.words[i], project::text_problem(source));
    const os::FileStatus status = probe.os().file_status(source);
    if (!status.exists) throw Refused("no file or folder " + args.words[i]);
    if (status.is_device) throw Refused(args.words[i] + " is a device, pipe or socket, not a file");
    if (args.has("--custom") && status.is_folder) {
      throw Refused("--custom takes files, and " + args.words[i] + " is a folder");
    }
    if (!status.is_folder) {
      std::string name = source.substr(source.find_last_of("/\\") + 1);
      refuse_problem("the file name", name, project::file_name_problem(name));
    } else {
      std::string name = source;
      while (name.size() > 1 && is_path_separator(name.back())) name.pop_back();
      name = name.substr(name.find_last_of("/\\") + 1);
      refuse_problem("the folder name", name, project::file_name_problem(name));
    }
    sources.push_back(source);
  }
  std::string folder = install_folder_path(args.value("--to"));
  std::string custom = args.value("--custom");
  if (args.has("--custom")) {
    if (custom.empty()) throw Refused("--custom needs a target folder");
    // The installer puts the name right after the folder.
    if (custom.back() != '\\') custom += '\\';
    refuse_problem("the target folder", custom, project::custom_folder_problem(custom));
  }
  int files = 0, folders = 0;
  edit_project(c, args.words[0], [&](EditSession& s) {
    const project::Project& p = s.project();
    TreeItem parent = args.has("--custom") ? p.install_root() : s.ensure_folder(folder);
    for (const std::string& source : sources) {
      if (s.os().file_status(source).is_folder) {
        // A second folder of the same path would split one folder of the
        // package over two nodes of the tree.
        std::string name = source;
        while (name.size() > 1 && is_path_separator(name.back())) name.pop_back();
        name = name.substr(name.find_last_of("/\\") + 1);
        int parent_slot = p.find_folder_by_tree_item(parent);
        std::string path = p.folder(parent_slot).path + name + "\\";
        if (s.folder_item(path) != kNoItem) throw Refused("the project already has a folder " + path);
        // The window leaves out links, unreadable files and paths too long
        // without a word; here the author is told how many.
        int left_out = editor::plan_folder_scan(s.os(), source, path).left_out;
        if (left_out > 0) {
          c.err << "quillset-build add: warning: " << left_out << " entries of " << source
                << " left out (links, devices, unreadable files, names Windows cannot hold, paths over "
                << kMaxPathLength << " characters)\n";
        }
        int before = p.file_count();
        TreeItem item = s.add_folder(parent, source);
        (void)item;
        files += p.file_count() - before;
        ++folders;
      } else {
        TreeItem item = s.add_file(parent, source);
        if (args.has("--custom")) {
          s.set_custom_path(item, custom);
        } else {
          // The window allows two files of one name in a folder; the next
          // load names the later one "copy of ...".
          const project::FileRecord& f = p.file(p.find_file_by_tree_item(item));
          if (p.file(p.find_file_by_name_and_folder(f.name, f.target_folder)).item != item) {
            c.err << "quillset-build add: warning: " << f.target_folder << " already holds " << f.name
                  << "; this one will be installed as \"copy of " << f.name << "\"\n";
          }
        }
        ++files;
      }
    }
    // A project file line holds 259 characters: a longer source path
    // would be cut when saved (the folder scan limits only the tree path).
    for (int slot = 0; slot < project::kFileSlots; ++slot) {
      if (p.file_in_use(slot) && p.file(slot).source.size() > kMaxPathLength) {
        throw Refused("the source path " + p.file(slot).source + " is longer than " +
                      std::to_string(kMaxPathLength) + " characters, more than a project file holds");
      }
    }
  });
  c.out << "Added " << files << " file(s)";
  if (folders > 0) c.out << " in " << folders << " folder tree(s)";
  c.out << " to " << args.words[0] << "\n";
  return 0;
}

int command_remove(const Args& args, Context& c) {
  need_words(args, 2, "remove");
  edit_project(c, args.words[0], [&](EditSession& s) {
    for (std::size_t i = 1; i < args.words.size(); ++i) {
      const std::string& typed = args.words[i];
      TreeItem item = s.find_file(typed);
      if (item == kNoItem) {
        std::string path = typed;
        if (path.compare(0, 13, "%custom path%") == 0) path = project::kCustomRootPath;
        item = s.folder_item(path == project::kCustomRootPath ? path : install_folder_path(typed));
      }
      if (item == kNoItem) throw Refused("the project holds no file or folder " + typed);
      s.run([&] {
        s.editor().select(item);
        s.editor().remove();
      });
    }
  });
  return 0;
}

int command_set(const Args& args, Context& c) {
  need_words(args, 2, "set");
  EditSession probe(c.platform);
  std::vector<std::pair<const project::Setting*, std::string>> settings;
  for (std::size_t i = 1; i < args.words.size(); ++i) {
    const std::string& word = args.words[i];
    std::size_t eq = word.find('=');
    if (eq == std::string::npos) throw Refused("\"" + word + "\" is not KEY=VALUE");
    const project::Setting* key = project::find_setting(word.substr(0, eq));
    if (!key) {
      throw Refused("unknown setting \"" + word.substr(0, eq) + "\"; quillset-build set --help lists them");
    }
    settings.emplace_back(key, parse_setting(probe, *key, word.substr(eq + 1)));
  }
  edit_project(
      c, args.words[0],
      [&](EditSession& s) {
        for (const auto& [key, value] : settings) {
          if (key->main_window) apply_window_setting(s, *key, value);
        }
      },
      [&](project::Project& model) {
        for (const auto& [key, value] : settings) {
          if (!key->main_window) project::store_setting(model, *key, value);
        }
      });
  return 0;
}

int command_macro(const Args& args, Context& c) {
  need_words(args, 3, "macro");
  const std::string& action = args.words[1];
  const std::string& name = args.words[2];
  if (action == "remove") {
    if (args.words.size() != 3) throw Refused("macro remove takes one macro name");
    edit_project(c, args.words[0], [](EditSession&) {}, [&](project::Project& model) {
      for (int slot = 0; slot < project::kMacroSlots; ++slot) {
        if (model.macro(slot).name == name) {
          model.remove_macro(slot);
          return;
        }
      }
      throw Refused("the project has no macro " + name);
    });
    return 0;
  }
  if (action != "add") throw Refused("macro takes add or remove, not \"" + action + "\"");
  refuse_problem("the macro name", name, project::macro_name_problem(name));
  project::Macro macro;
  macro.name = name;
  if (args.has("--registry")) {
    static const std::set<std::string> roots = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                                "HKEY_USERS", "HKEY_CURRENT_CONFIG"};
    if (args.words.size() != 5) throw Refused("macro add NAME --registry ROOT takes KEY and VALUE-NAME");
    macro.value = args.value("--registry");
    macro.key = args.words[3];
    macro.value_name = args.words[4];
    if (!roots.count(macro.value)) throw Refused("the registry root " + macro.value + " is not one of " +
                                                 "HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, " +
                                                 "HKEY_USERS, HKEY_CURRENT_CONFIG");
    if (macro.key.empty()) throw Refused("a registry macro needs a key");
    if (!macro.value_name.empty() && macro.value_name[0] == '/') {
      throw Refused("a value name cannot begin with \"/\": an installer reads it as the end of its macros");
    }
  } else {
    if (args.words.size() != 4) throw Refused("macro add NAME takes one VALUE (or --registry ROOT KEY VALUE-NAME)");
    macro.value = args.words[3];
  }
  check_line("the macro value", macro.value);
  check_line("the registry key", macro.key);
  check_line("the value name", macro.value_name);
  edit_project(c, args.words[0], [](EditSession&) {}, [&](project::Project& model) {
    for (int slot = 0; slot < project::kMacroSlots; ++slot) {
      if (model.macro(slot).name == name) throw Refused("the project already has a macro " + name);
    }
    if (model.add_macro(macro) >= project::kMacroSlots) throw Refused("the macro table is full");
  });
  return 0;
}

int command_shortcut(const Args& args, Context& c) {
  need_words(args, 4, "shortcut");
  const std::string& action = args.words[1];
  const std::string& file = args.words[2];
  int location = location_of(args.words[3]);
  std::string name, folder = args.value("--folder");
  if (action == "add") {
    if (args.words.size() != 5) throw Refused("shortcut add takes FILE LOCATION NAME");
    name = args.words[4];
    check_name("the shortcut name", name);
    if (args.has("--folder") && location != project::kStartMenu) {
      throw Refused("--folder is for start-menu shortcuts");
    }
    refuse_problem("the start menu folder", folder, project::shortcut_folder_problem(folder));
  } else if (action == "remove") {
    if (args.words.size() != 4) throw Refused("shortcut remove takes FILE LOCATION");
  } else {
    throw Refused("shortcut takes add or remove, not \"" + action + "\"");
  }
  edit_project(c, args.words[0], [&](EditSession& s) {
    TreeItem item = s.find_file(file);
    if (item == kNoItem) throw Refused("the project installs no file " + file);
    s.set_shortcut(item, location, name, folder);
  });
  return 0;
}

int command_image(const Args& args, Context& c) {
  need_words(args, 3, "image");
  const std::string& action = args.words[1];
  if (args.words.size() != 3) throw Refused("image " + action + " takes one picture");
  std::string path = c.platform.os_path(args.words[2]);
  int step = 0;
  if (args.has("--step")) {
    const std::string& text = args.value("--step");
    if (!project::number_problem(text, 1, project::kImageSteps).empty()) {
      throw Refused("--step takes 1 to " + std::to_string(project::kImageSteps));
    }
    step = std::atoi(text.c_str());
  }
  if (action == "remove") {
    edit_project(c, args.words[0], [](EditSession&) {}, [&](project::Project& model) {
      for (int slot = 0; slot < project::kImageSlots; ++slot) {
        const project::ImageRecord& image = model.image(slot);
        if (image.path == path && (step == 0 || image.step == step)) {
          model.remove_image(slot);
          return;
        }
      }
      throw Refused("the project shows no picture " + args.words[2] +
                    (step ? " at step " + std::to_string(step) : std::string()));
    });
    return 0;
  }
  if (action != "add") throw Refused("image takes add or remove, not \"" + action + "\"");
  check_line("the picture path", path);
  EditSession probe(c.platform);
  os::FileStatus status = probe.os().file_status(path);
  if (!status.exists || status.is_folder) throw Refused("no picture " + args.words[2]);
  bool background = args.has("--background");
  int mode = 0, x = 0, y = 0;
  if (args.has("--mode")) {
    const std::string m = args.value("--mode");
    mode = m == "stretch" ? 0 : m == "centre" ? 1 : m == "position" ? 2 : -1;
    if (mode < 0) throw Refused("--mode takes stretch, centre or position");
  }
  for (const char* option : {"--x", "--y"}) {
    if (!args.has(option)) continue;
    const std::string text = args.value(option);
    if (!project::number_problem(text, 0, project::kImageMaxPosition).empty()) {
      throw Refused(std::string(option) + " takes 0 to " + std::to_string(project::kImageMaxPosition));
    }
    (option[2] == 'x' ? x : y) = std::atoi(text.c_str());
  }
  if (!background && (args.has("--mode") || args.has("--x") || args.has("--y"))) {
    throw Refused("--mode, --x and --y place a --background picture");
  }
  if ((args.has("--x") || args.has("--y")) && mode != 2) throw Refused("--x and --y go with --mode position");
  edit_project(c, args.words[0], [](EditSession&) {}, [&](project::Project& model) {
    if (background && !model.settings().use_background_window) {
      throw Refused("a background picture needs the background window: set background=on first");
    }
    if (model.add_image(path, step ? step : 1, background, mode, x, y) >= project::kImageSlots) {
      throw Refused("the picture table is full");
    }
  });
  return 0;
}

}  // namespace quill::cli
