// The commands that read a project: show (as text or JSON) and check.
#include <cstdio>
#include <ostream>

#include "builder/project/architecture.h"
#include "builder/project/package_contents.h"
#include "cli/check.h"
#include "cli/commands.h"
#include "cli/edit_session.h"
#include "builder/project/settings_table.h"
#include "builder/project/language_section.h"
#include "text/unicode.h"

namespace quill::cli {

using project::kNoSlot;
using project::Project;
using project::TreeItem;

namespace {

const char* const kLocationNames[] = {"desktop", "start-menu", "quick-start"};
const char* const kModeNames[] = {"stretch", "centre", "position"};

// A JSON string of project text (UTF-8: the load decoded older files), with
// control characters escaped and any malformed byte as U+FFFD, so that the
// output is valid UTF-8 JSON whatever the project holds.
std::string json(const std::string& text) {
  std::string out = "\"";
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = text::next_code_point(text, &pos);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    } else {
      text::append_utf8(&out, c);
    }
  }
  return out + "\"";
}

class Printer {
 public:
  Printer(const Project& p, std::ostream& out, bool as_json) : p_(p), out_(out), json_(as_json) {}

  void print() {
    if (json_) {
      out_ << "{\n  \"files\": [";
      first_ = true;
      for (TreeItem root : {p_.install_root(), p_.custom_root()}) tree(root, 0);
      out_ << (first_ ? "],\n" : "\n  ],\n");
    } else {
      out_ << "Files:\n";
      for (TreeItem root : {p_.install_root(), p_.custom_root()}) tree(root, 1);
    }
    shortcuts();
    macros();
    images();
    print_declarations(p_, out_, json_, json);
    settings();
    language_texts();
    if (json_) out_ << "}\n";
  }

 private:
  void item_start() {
    out_ << (first_ ? "\n    " : ",\n    ");
    first_ = false;
  }

  // Folders before their contents, in the tree's order.
  void tree(TreeItem item, int depth) {
    const project::Tree& t = p_.tree();
    int folder = p_.find_folder_by_tree_item(item);
    int file = folder == kNoSlot ? p_.find_file_by_tree_item(item) : kNoSlot;
    std::string indent(2 * static_cast<std::size_t>(depth), ' ');
    if (folder != kNoSlot) {
      const std::string& path = p_.folder(folder).path;
      if (json_) {
        item_start();
        out_ << "{\"folder\": " << json(path) << "}";
      } else {
        out_ << indent << (depth == 1 ? path : t.label(item) + "\\") << "\n";
      }
      for (TreeItem child : t.children(item)) tree(child, depth + 1);
    } else if (file != kNoSlot) {
      const project::FileRecord& f = p_.file(file);
      bool uninstaller = item == p_.uninstaller_item();
      if (json_) {
        item_start();
        out_ << "{\"name\": " << json(f.name) << ", \"target\": " << json(f.target_folder)
             << ", \"source\": " << json(project::build_source(p_, file));
        if (uninstaller) out_ << ", \"uninstaller\": true";
        out_ << "}";
      } else {
        out_ << indent << f.name;
        if (t.parent(item) == p_.custom_root()) out_ << "  -> " << f.target_folder;
        out_ << "  <- " << project::build_source(p_, file) << (uninstaller ? "  (uninstaller)" : "") << "\n";
      }
    }
  }

  void shortcuts() {
    bool any = false;
    if (json_) out_ << "  \"shortcuts\": [";
    for (int slot = 0; slot < project::kFileSlots; ++slot) {
      if (!p_.file_in_use(slot)) continue;
      for (int location = 0; location < project::kShortcutLocations; ++location) {
        const project::ShortcutSlot& s = p_.shortcut(slot, location);
        if (s.name.empty()) continue;
        std::string file = p_.shortcut_target(slot);
        if (json_) {
          out_ << (any ? ",\n    " : "\n    ") << "{\"file\": " << json(file) << ", \"location\": \""
               << kLocationNames[location] << "\", \"name\": " << json(s.name);
          if (location == project::kStartMenu) out_ << ", \"folder\": " << json(s.start_menu_folder);
          out_ << "}";
        } else {
          if (!any) out_ << "Shortcuts:\n";
          out_ << "  " << kLocationNames[location] << ": \"" << s.name << "\"";
          if (location == project::kStartMenu && !s.start_menu_folder.empty()) {
            out_ << " in \"" << s.start_menu_folder << "\"";
          }
          out_ << " -> " << file << "\n";
        }
        any = true;
      }
    }
    if (json_) out_ << (any ? "\n  ],\n" : "],\n");
  }

  void macros() {
    bool any = false;
    if (json_) out_ << "  \"macros\": [";
    for (int slot = 0; slot < p_.macro_count() && slot < project::kMacroSlots; ++slot) {
      const project::Macro& m = p_.macro(slot);
      if (m.name.empty()) continue;
      bool text = m.key.empty() && m.value_name.empty();
      if (json_) {
        out_ << (any ? ",\n    " : "\n    ") << "{\"name\": " << json(m.name);
        if (text) {
          out_ << ", \"value\": " << json(m.value) << "}";
        } else {
          out_ << ", \"root\": " << json(m.value) << ", \"key\": " << json(m.key)
               << ", \"value_name\": " << json(m.value_name) << "}";
        }
      } else {
        if (!any) out_ << "Macros:\n";
        out_ << "  " << m.name << " = ";
        if (text) {
          out_ << m.value << "\n";
        } else {
          out_ << "registry " << m.value << "\\" << m.key << " : " << m.value_name << "\n";
        }
      }
      any = true;
    }
    if (json_) out_ << (any ? "\n  ],\n" : "],\n");
  }

  void images() {
    bool any = false;
    if (json_) out_ << "  \"pictures\": [";
    for (int slot = 0; slot < project::kImageSlots; ++slot) {
      const project::ImageRecord& i = p_.image(slot);
      if (i.path.empty()) continue;
      int mode = i.mode >= 0 && i.mode <= 2 ? i.mode : 0;
      if (json_) {
        out_ << (any ? ",\n    " : "\n    ") << "{\"path\": " << json(i.path) << ", \"step\": " << i.step
             << ", \"background\": " << (i.background ? "true" : "false");
        if (i.background) {
          out_ << ", \"mode\": \"" << kModeNames[mode] << "\", \"x\": " << i.x << ", \"y\": " << i.y;
        }
        out_ << "}";
      } else {
        if (!any) out_ << "Pictures:\n";
        out_ << "  step " << i.step << (i.background ? " background, " : ": ");
        if (i.background) {
          out_ << kModeNames[mode];
          if (mode == 2) out_ << " at " << i.x << "," << i.y;
          out_ << ": ";
        }
        out_ << i.path << "\n";
      }
      any = true;
    }
    if (json_) out_ << (any ? "\n  ],\n" : "],\n");
  }

  void settings() {
    out_ << (json_ ? "  \"settings\": {" : "Settings:\n");
    bool first = true;
    for (const project::Setting& key : project::settings_table()) {
      std::string value = project::setting_value(p_, key);
      if (json_) {
        out_ << (first ? "\n    " : ",\n    ") << json(key.key) << ": " << json(value);
      } else {
        out_ << "  " << key.key << " = " << value << "\n";
      }
      first = false;
    }
    if (json_) out_ << "\n  },\n";
  }

  // The variants of the author's texts by language (the carried languages
  // are the setting "languages").
  void language_texts() {
    out_ << (json_ ? "  \"language_texts\": {" : "");
    bool first = true;
    for (const auto& [code, t] : p_.settings().language_texts) {
      if (project::is_empty(t)) continue;
      const std::pair<const char*, const std::string*> texts[] = {
          {"title", &t.title}, {"welcome", &t.welcome_file}, {"licence", &t.licence_file},
          {"eoi-message", &t.eoi_message}, {"background-text", &t.background_text}};
      out_ << (json_ ? (first ? "\n    " : ",\n    ") + json(code) + ": {" : "Texts in " + code + ":\n");
      bool first_text = true;
      for (const auto& [key, text] : texts) {
        if (json_) {
          out_ << (first_text ? "" : ", ") << json(key) << ": " << json(*text);
        } else if (!text->empty()) {
          out_ << "  " << key << " = " << *text << "\n";
        }
        first_text = false;
      }
      if (json_) out_ << "}";
      first = false;
    }
    if (json_) out_ << (first ? "}\n" : "\n  }\n");
  }

  const Project& p_;
  std::ostream& out_;
  bool json_;
  bool first_ = true;
};

}  // namespace

int command_show(const Args& args, Context& c) {
  if (args.words.size() != 1) throw Refused("show takes one project file");
  EditSession session(c.platform);
  session.open(c.platform.os_path(args.words[0]), args.words[0]);
  Printer(session.project(), c.out, args.has("--json")).print();
  return 0;
}

int command_check(const Args& args, Context& c) {
  if (args.words.size() != 1) throw Refused("check takes one project file");
  EditSession session(c.platform);
  std::vector<project::RenamedFile> renamed;
  session.open(c.platform.os_path(args.words[0]), args.words[0], &renamed);
  std::vector<Finding> findings = check_project(session.project(), c.platform, renamed);
  int errors = 0, warnings = 0;
  for (const Finding& f : findings) {
    (f.error ? errors : warnings)++;
    c.err << "quillset-build: " << (f.error ? "error: " : "warning: ") << f.text << "\n";
  }
  c.out << args.words[0] << ": " << errors << " error(s), " << warnings << " warning(s)\n";
  return errors > 0 ? 1 : 0;
}

}  // namespace quill::cli
