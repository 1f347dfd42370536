// The commands that read a project: show (as text or JSON) and check.
#include <ostream>
#include <utility>
#include <vector>

#include "builder/project/architecture.h"
#include "builder/project/package_contents.h"
#include "cli/check.h"
#include "cli/commands.h"
#include "cli/edit_session.h"
#include "cli/json_layout.h"
#include "builder/project/settings_table.h"
#include "builder/project/language_section.h"

namespace quill::cli {

using project::kNoSlot;
using project::Project;
using project::TreeItem;

namespace {

const char* const kLocationNames[] = {"desktop", "start-menu", "quick-start"};
const char* const kModeNames[] = {"stretch", "centre", "position"};

// A language variant's texts under the names "language" takes them by.
std::vector<std::pair<const char*, const std::string*>> variant_texts(const project::LanguageTexts& t) {
  return {{"title", &t.title}, {"welcome", &t.welcome_file}, {"licence", &t.licence_file},
          {"eoi-message", &t.eoi_message}, {"background-text", &t.background_text}};
}

// The project as text, for people.
class Printer {
 public:
  Printer(const Project& p, std::ostream& out) : p_(p), out_(out) {}

  void print() {
    out_ << "Files:\n";
    for (TreeItem root : {p_.install_root(), p_.custom_root()}) tree(root, 1);
    shortcuts();
    macros();
    images();
    print_declarations(p_, out_);
    out_ << "Settings:\n";
    for (const project::Setting& key : project::settings_table()) {
      out_ << "  " << key.key << " = " << project::setting_value(p_, key) << "\n";
    }
    language_texts();
  }

 private:
  // Folders before their contents, in the tree's order.
  void tree(TreeItem item, int depth) {
    const project::Tree& t = p_.tree();
    int folder = p_.find_folder_by_tree_item(item);
    int file = folder == kNoSlot ? p_.find_file_by_tree_item(item) : kNoSlot;
    std::string indent(2 * static_cast<std::size_t>(depth), ' ');
    if (folder != kNoSlot) {
      out_ << indent << (depth == 1 ? p_.folder(folder).path : t.label(item) + "\\") << "\n";
      for (TreeItem child : t.children(item)) tree(child, depth + 1);
    } else if (file != kNoSlot) {
      out_ << indent << p_.file(file).name;
      if (t.parent(item) == p_.custom_root()) out_ << "  -> " << p_.file(file).target_folder;
      out_ << "  <- " << project::build_source(p_, file) << (item == p_.uninstaller_item() ? "  (uninstaller)" : "")
           << "\n";
    }
  }

  void shortcuts() {
    bool any = false;
    for (int slot = 0; slot < project::kFileSlots; ++slot) {
      if (!p_.file_in_use(slot)) continue;
      for (int location = 0; location < project::kShortcutLocations; ++location) {
        const project::ShortcutSlot& s = p_.shortcut(slot, location);
        if (s.name.empty()) continue;
        if (!any) out_ << "Shortcuts:\n";
        out_ << "  " << kLocationNames[location] << ": \"" << s.name << "\"";
        if (location == project::kStartMenu && !s.start_menu_folder.empty()) {
          out_ << " in \"" << s.start_menu_folder << "\"";
        }
        out_ << " -> " << p_.shortcut_target(slot) << "\n";
        any = true;
      }
    }
  }

  void macros() {
    bool any = false;
    for (int slot = 0; slot < p_.macro_count() && slot < project::kMacroSlots; ++slot) {
      const project::Macro& m = p_.macro(slot);
      if (m.name.empty()) continue;
      if (!any) out_ << "Macros:\n";
      out_ << "  " << m.name << " = ";
      if (m.key.empty() && m.value_name.empty()) {
        out_ << m.value << "\n";
      } else {
        out_ << "registry " << m.value << "\\" << m.key << " : " << m.value_name << "\n";
      }
      any = true;
    }
  }

  void images() {
    bool any = false;
    for (int slot = 0; slot < project::kImageSlots; ++slot) {
      const project::ImageRecord& i = p_.image(slot);
      if (i.path.empty()) continue;
      int mode = i.mode >= 0 && i.mode <= 2 ? i.mode : 0;
      if (!any) out_ << "Pictures:\n";
      out_ << "  step " << i.step << (i.background ? " background, " : ": ");
      if (i.background) {
        out_ << kModeNames[mode];
        if (mode == 2) out_ << " at " << i.x << "," << i.y;
        out_ << ": ";
      }
      out_ << i.path << "\n";
      any = true;
    }
  }

  void language_texts() {
    for (const auto& [code, t] : p_.settings().language_texts) {
      if (project::is_empty(t)) continue;
      out_ << "Texts in " << code << ":\n";
      for (const auto& [key, text] : variant_texts(t)) {
        if (!text->empty()) out_ << "  " << key << " = " << *text << "\n";
      }
    }
  }

  const Project& p_;
  std::ostream& out_;
};

// The project as JSON, for scripts: the same facts under the same names.
class JsonPrinter {
 public:
  explicit JsonPrinter(const Project& p) : p_(p) {}

  Json document() {
    Json d = Json::object();
    d["files"] = Json::array();
    for (TreeItem root : {p_.install_root(), p_.custom_root()}) tree(root, d["files"]);
    d["shortcuts"] = shortcuts();
    d["macros"] = macros();
    d["pictures"] = images();
    d["declarations"] = declarations_json(p_);
    d["settings"] = Json::object();
    for (const project::Setting& key : project::settings_table()) {
      d["settings"][key.key] = project::setting_value(p_, key);
    }
    d["language_texts"] = Json::object();
    for (const auto& [code, t] : p_.settings().language_texts) {
      if (project::is_empty(t)) continue;
      Json& texts = d["language_texts"][code] = Json::object();
      for (const auto& [key, text] : variant_texts(t)) texts[key] = *text;
    }
    return d;
  }

 private:
  void tree(TreeItem item, Json& files) {
    int folder = p_.find_folder_by_tree_item(item);
    int file = folder == kNoSlot ? p_.find_file_by_tree_item(item) : kNoSlot;
    if (folder != kNoSlot) {
      files.push_back({{"folder", p_.folder(folder).path}});
      for (TreeItem child : p_.tree().children(item)) tree(child, files);
    } else if (file != kNoSlot) {
      const project::FileRecord& f = p_.file(file);
      Json entry = {{"name", f.name}, {"target", f.target_folder}, {"source", project::build_source(p_, file)}};
      if (item == p_.uninstaller_item()) entry["uninstaller"] = true;
      files.push_back(std::move(entry));
    }
  }

  Json shortcuts() {
    Json list = Json::array();
    for (int slot = 0; slot < project::kFileSlots; ++slot) {
      if (!p_.file_in_use(slot)) continue;
      for (int location = 0; location < project::kShortcutLocations; ++location) {
        const project::ShortcutSlot& s = p_.shortcut(slot, location);
        if (s.name.empty()) continue;
        Json entry = {{"file", p_.shortcut_target(slot)}, {"location", kLocationNames[location]}, {"name", s.name}};
        if (location == project::kStartMenu) entry["folder"] = s.start_menu_folder;
        list.push_back(std::move(entry));
      }
    }
    return list;
  }

  Json macros() {
    Json list = Json::array();
    for (int slot = 0; slot < p_.macro_count() && slot < project::kMacroSlots; ++slot) {
      const project::Macro& m = p_.macro(slot);
      if (m.name.empty()) continue;
      if (m.key.empty() && m.value_name.empty()) {
        list.push_back({{"name", m.name}, {"value", m.value}});
      } else {
        list.push_back({{"name", m.name}, {"root", m.value}, {"key", m.key}, {"value_name", m.value_name}});
      }
    }
    return list;
  }

  Json images() {
    Json list = Json::array();
    for (int slot = 0; slot < project::kImageSlots; ++slot) {
      const project::ImageRecord& i = p_.image(slot);
      if (i.path.empty()) continue;
      Json entry = {{"path", i.path}, {"step", i.step}, {"background", i.background}};
      if (i.background) {
        entry["mode"] = kModeNames[i.mode >= 0 && i.mode <= 2 ? i.mode : 0];
        entry["x"] = i.x;
        entry["y"] = i.y;
      }
      list.push_back(std::move(entry));
    }
    return list;
  }

  const Project& p_;
};

}  // namespace

int command_show(const Args& args, Context& c) {
  if (args.words.size() != 1) throw Refused("show takes one project file");
  EditSession session(c.platform);
  session.open(c.platform.os_path(args.words[0]), args.words[0]);
  if (args.has("--json")) {
    c.out << json_text(JsonPrinter(session.project()).document());
  } else {
    Printer(session.project(), c.out).print();
  }
  return 0;
}

int command_check(const Args& args, Context& c) {
  if (args.words.size() != 1) throw Refused("check takes one project file");
  EditSession session(c.platform);
  std::vector<project::RenamedFile> renamed;
  std::vector<project::FileFinding> file_findings;
  session.open(c.platform.os_path(args.words[0]), args.words[0], &renamed, &file_findings);
  std::vector<Finding> findings = check_project(session.project(), c.platform, renamed, file_findings);
  int errors = 0, warnings = 0;
  for (const Finding& f : findings) {
    (f.error ? errors : warnings)++;
    c.err << "quillset-build: " << (f.error ? "error: " : "warning: ") << f.text << "\n";
  }
  c.out << args.words[0] << ": " << errors << " error(s), " << warnings << " warning(s)\n";
  return errors > 0 ? 1 : 0;
}

}  // namespace quill::cli
