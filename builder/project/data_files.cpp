// Contents of the installer data files.
#include "builder/project/data_files.h"

#include <unordered_map>

#include "common/lines.h"
#include "common/paths.h"

namespace quill::project {

namespace {

void line(std::string& out, const std::string& text) {
  out += text;
  out += '\n';
}

void line(std::string& out, long number) { line(out, std::to_string(number)); }

const char kRecordEnd[] = "////";

}  // namespace

std::string box_text(const std::string& text) { return text.substr(0, kMaxLineLength); }

std::string installer_settings_text(const WindowSettings& settings) {
  return std::to_string(static_cast<unsigned>(settings.progress_style)) + "\n" +
         (settings.shrink_during_install ? "true" : "false");
}

std::string def_install_text(const Settings& settings) {
  std::string text = box_text(settings.default_install_folder);
  if (settings.try_path_first) text += "\n" + box_text(settings.registry_macro);
  return text;
}

std::string eoi_buttons_text(const Settings& settings) {
  return settings.message_box_ok ? "OK" : "YESNO";
}

std::string macros_text(const Project& project, int* left_out,
                        std::vector<std::string>* unwritable) {
  std::string out;
  int written = 0;
  int skipped = 0;
  for (int slot = 0; slot < project.macro_count() && slot < kMacroSlots; ++slot) {
    const Macro& macro = project.macro(slot);
    if (macro.name.empty()) continue;
    if (!macro.value_name.empty() && macro.value_name[0] == '/') {
      if (unwritable) unwritable->push_back(macro.name);
      continue;
    }
    if (written == kMaxPackagedMacros) {
      ++skipped;
      continue;
    }
    line(out, macro.name);
    line(out, macro.value);
    line(out, macro.key);
    line(out, macro.value_name);
    ++written;
  }
  line(out, "%name%");
  line(out, box_text(project.settings().program_name));
  line(out, "");
  line(out, "");
  for (int i = 0; i < 4; ++i) line(out, kRecordEnd);
  if (left_out) *left_out = skipped;
  return out;
}

std::string shortcuts_text(const Project& project, bool* any) {
  std::string out;
  *any = false;
  for (int slot = 0; slot < kFileSlots; ++slot) {
    if (!project.file_in_use(slot)) continue;
    for (const ShortcutSlot& shortcut : project.shortcuts(slot)) {
      if (shortcut.name.empty()) continue;
      line(out, shortcut.start_menu_folder);
      line(out, shortcut.name);
      // The stored target may predate a rename or move of the file.
      line(out, project.shortcut_target(slot));
      line(out, shortcut.location);
      *any = true;
    }
  }
  for (int i = 0; i < 4; ++i) line(out, kRecordEnd);
  return out;
}

std::string background_companion_text(const ImageRecord& image) {
  std::string out;
  line(out, image.mode);
  line(out, image.x);
  line(out, image.y);
  return out;
}

std::string fullscreen_text(const FullscreenOptions& f) {
  auto flag = [](const std::string& value) { return parse_decimal(value) != 0 ? 1L : 0L; };
  std::string out;
  line(out, box_text(f.text));
  line(out, f.without_title_bar ? "without" : "with");
  line(out, f.stretch_to_desktop ? 0 : f.width);
  line(out, f.stretch_to_desktop ? 0 : f.height);
  line(out, f.font.face);
  line(out, parse_decimal(f.font.points));
  line(out, parse_decimal(f.font.weight));
  line(out, flag(f.font.italic));
  line(out, flag(f.font.underline));
  line(out, flag(f.font.strike_out));
  line(out, parse_decimal(f.font.charset));
  line(out, f.alignment);  // the text-drawing flag: 0 left, 1 centre, 2 right
  line(out, f.fade ? "true" : "false");
  line(out, f.shadow ? "true" : "false");
  line(out, f.shadow_offset);
  for (Colour c : {f.text_colour, f.shadow_colour, f.background, f.fade_to}) {
    line(out, red_of(c));
    line(out, green_of(c));
    line(out, blue_of(c));
  }
  return out;
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

std::string fileinfo_text(const std::vector<InstallEntry>& entries) {
  std::string out;
  for (const InstallEntry& entry : entries) line(out, entry.entry_name + "|" + entry.destination);
  line(out, kRecordEnd);
  line(out, kRecordEnd);
  return out;
}

std::string to_crlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace quill::project
