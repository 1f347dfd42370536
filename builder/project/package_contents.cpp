// The project's settings as installer data, and the install entry plan.
#include "builder/project/package_contents.h"

#include <unordered_map>

#include "common/limits.h"
#include "common/paths.h"
#include "common/texts.h"
#include "common/texts_file.h"
#include "text/unicode.h"

namespace quill::project {

std::string box_text(const std::string& text) {
  // The limit counts characters, each kept whole.
  std::size_t end = 0;
  for (std::size_t n = 0; n < kMaxPathLength && end < text.size(); ++n) text::next_code_point(text, &end);
  return text.substr(0, end);
}

package::InstallerSettings installer_settings(const WindowSettings& settings) {
  package::InstallerSettings out;
  out.progress_style = settings.progress_style;
  out.shrink_during_install = settings.shrink_during_install;
  return out;
}

package::InstallFolders install_folders(const Settings& settings) {
  package::InstallFolders out;
  out.default_folder = box_text(settings.default_folder);
  if (settings.try_path_first) out.preferred_folder = box_text(settings.preferred_folder);
  return out;
}

package::FullscreenSettings fullscreen_settings(const FullscreenOptions& f) {
  package::FullscreenSettings out;
  out.text = box_text(f.text);
  out.title_bar = !f.without_title_bar;
  out.width = f.stretch_to_desktop ? 0 : f.width;
  out.height = f.stretch_to_desktop ? 0 : f.height;
  out.font_face = f.font.face;
  out.font_size = static_cast<int>(parse_decimal(f.font.points));
  out.font_weight = static_cast<int>(parse_decimal(f.font.weight));
  out.italic = parse_decimal(f.font.italic) != 0;
  out.underline = parse_decimal(f.font.underline) != 0;
  out.strike_out = parse_decimal(f.font.strike_out) != 0;
  out.char_set = static_cast<int>(parse_decimal(f.font.charset));
  out.alignment = static_cast<std::uint32_t>(f.alignment);
  out.fade = f.fade;
  out.shadow = f.shadow;
  out.shadow_offset = f.shadow_offset;
  out.text_colour = f.text_colour;
  out.shadow_colour = f.shadow_colour;
  out.background_colour = f.background_colour;
  out.fade_colour = f.fade_colour;
  return out;
}

package::BackgroundPicture background_placement(const ImageRecord& image) {
  package::BackgroundPicture out;
  out.step = image.step;
  out.placement = image.mode;
  out.x = image.x;
  out.y = image.y;
  return out;
}

std::vector<package::ShortcutRecord> shortcut_records(
    const Project& project, const std::function<bool(const std::string& path)>& installed) {
  std::vector<package::ShortcutRecord> records;
  for (int slot = 0; slot < kFileSlots; ++slot) {
    if (!project.file_in_use(slot)) continue;
    if (installed && !installed(project.shortcut_target(slot))) continue;
    for (const ShortcutSlot& shortcut : project.shortcuts(slot)) {
      if (shortcut.name.empty()) continue;
      package::ShortcutRecord record;
      record.start_menu_folder = shortcut.start_menu_folder;
      record.name = shortcut.name;
      // The stored target may predate a rename or move of the file.
      record.target = project.shortcut_target(slot);
      // The project's number as it stands, known location or not.
      record.location = static_cast<package::ShortcutLocation>(shortcut.location);
      records.push_back(std::move(record));
    }
  }
  return records;
}

std::string macros_text(const Project& project, int* left_out,
                        std::vector<std::string>* unwritable) {
  std::vector<package::MacroRecord> written;
  int skipped = 0;
  for (int slot = 0; slot < project.macro_count() && slot < kMacroSlots; ++slot) {
    const Macro& macro = project.macro(slot);
    if (macro.name.empty()) continue;
    if (package::is_record_end(macro.value_name)) {
      if (unwritable) unwritable->push_back(macro.name);
      continue;
    }
    if (static_cast<int>(written.size()) == kMaxPackagedMacros) {
      ++skipped;
      continue;
    }
    written.push_back({macro.name, macro.value, macro.key, macro.value_name});
  }
  if (left_out) *left_out = skipped;
  return package::macro_file_text(written, box_text(project.settings().program_name));
}

namespace {

// Moves trailing folders of the entry's destination into its entry name
// until the name is not in `names`; false (entry unchanged) when no folder
// can move. Folders holding a macro stay in the destination: the installer
// expands "fileinfo.txt" as a whole, and an entry name must reach it as
// written.
bool qualify(InstallEntry& entry, const std::unordered_map<std::string, std::size_t>& names) {
  std::string folder = entry.destination;
  if (folder.empty()) return false;
  if (folder.back() != '\\') folder += '\\';
  std::string name = entry.entry_name;
  for (;;) {
    std::size_t end = folder.size() - 1;  // the folder's final "\"
    std::size_t cut = end == 0 ? std::string::npos : folder.rfind('\\', end - 1);
    if (cut == std::string::npos) return false;
    std::string part = folder.substr(cut + 1, end - cut - 1);
    if (part.empty() || part.find_first_of("%:") != std::string::npos) return false;
    folder.erase(cut + 1);
    name = part + "\\" + name;
    if (names.count(name) == 0) {
      entry.entry_name = name;
      entry.destination = folder;
      return true;
    }
  }
}

}  // namespace

std::vector<InstallEntry> plan_install_entries(const Project& project, std::vector<int>* duplicates,
                                               const std::function<bool(int slot)>& available) {
  constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);
  std::vector<InstallEntry> entries;
  std::unordered_map<std::string, std::size_t> names;  // entry name -> index in entries
  // (name, target folder) -> index in entries; kNoEntry when left out.
  std::unordered_map<std::string, std::size_t> pairs;
  for (int slot = 0; slot < kFileSlots; ++slot) {
    if (!project.file_in_use(slot)) continue;
    const FileRecord& file = project.file(slot);
    std::string pair = std::to_string(file.name.size()) + ':' + file.name + file.target_folder;
    auto earlier = pairs.find(pair);
    if (earlier != pairs.end()) {
      // Same name and folder: same entry name and destination, so a readable
      // source may simply stand in for an unreadable one.
      std::size_t index = earlier->second;
      int left_out = slot;
      if (index != kNoEntry && available && !available(entries[index].slot) && available(slot)) {
        std::swap(entries[index].slot, left_out);
      }
      if (duplicates) duplicates->push_back(left_out);
      continue;
    }
    std::size_t& pair_index = pairs[pair];
    pair_index = kNoEntry;
    InstallEntry entry;
    entry.slot = slot;
    entry.entry_name = file.name;
    entry.destination = file.target_folder;
    auto holder = names.find(entry.entry_name);
    if (holder != names.end() && !qualify(entry, names)) {
      // This one cannot move: the earlier holder of the name may.
      std::size_t index = holder->second;
      InstallEntry moved = entries[index];
      if (!qualify(moved, names)) {
        if (duplicates) duplicates->push_back(slot);
        continue;
      }
      names.erase(holder);
      entries[index] = moved;
      names[moved.entry_name] = index;
    }
    names[entry.entry_name] = entries.size();
    pair_index = entries.size();
    entries.push_back(entry);
  }
  return entries;
}

std::vector<std::pair<std::string, std::string>> language_table_files(
    const std::vector<std::string>& codes) {
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<bool> done(language::kLanguageCount, false);
  for (const std::string& code : codes) {
    const std::size_t index = texts::language_index(code);
    if (index >= language::kLanguageCount || index == language::kEnglish || done[index]) continue;
    done[index] = true;
    const texts::Table* table = texts::built_in_table(index);
    if (table) files.emplace_back(texts::texts_file_name(index), texts::render_texts_file(*table));
  }
  return files;
}

}  // namespace quill::project
