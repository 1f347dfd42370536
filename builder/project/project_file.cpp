// Saving and loading the project file.
#include "builder/project/project_file.h"

#include <algorithm>
#include <cstring>

#include "builder/project/declarations_section.h"
#include "builder/project/field_rules.h"
#include "builder/project/interruption.h"
#include "builder/project/language_section.h"
#include "builder/project/listing_section.h"
#include "builder/project/settings_table.h"
#include "common/lines.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "text/unicode.h"

namespace quill::project {

namespace {

constexpr int kFileRecordLines = 3;
constexpr int kImageRecordLines = 6;
constexpr int kMacroRecordLines = 4;
constexpr int kShortcutRecordLines = 13;
// A project of every slot in use is a few megabytes.
constexpr std::size_t kMaxProjectFileBytes = std::size_t{1} << 30;

// One line of the file: a value never carries a line end and never exceeds
// what a reader keeps, so every section stays in step when read back. It is
// cut where a reader would end it (CR LF or LF); any other CR is kept.
void put(std::string& out, const std::string& value) {
  std::size_t end = value.find('\n');
  if (end == std::string::npos) end = value.size();
  if (end > 0 && end < value.size() && value[end - 1] == '\r') --end;
  // The limit counts characters, and a character is kept whole.
  std::size_t cut = 0;
  for (std::size_t count = 0; cut < end && count < kMaxPathLength; ++count) {
    text::next_code_point(std::string_view(value).substr(0, end), &cut);
  }
  add_crlf_line(&out, std::string_view(value).substr(0, cut));
}

void put(std::string& out, long value) { put(out, std::to_string(value)); }
void put_bool(std::string& out, bool value) { put(out, value ? "true" : "false"); }

void put_section_end(std::string& out, int lines) {
  for (int i = 0; i < lines; ++i) put(out, "|");
}

bool is_section_end(const std::string& line) { return !line.empty() && line[0] == '|'; }

}  // namespace

std::string backup_path_for(const std::string& program_path) {
  std::size_t cut = program_path.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : program_path.substr(0, cut + 1);
  return folder + kBackupFileName;
}

std::string project_text(Project& project) {
  project.compact_file_table();
  return render_project(project);
}

std::string render_project(const Project& project) {
  const std::vector<int> order = project.compacted_order();
  std::string out;
  out.reserve(64 * 1024 + static_cast<std::size_t>(project.file_count()) * 128);

  for (int slot = 0; slot < project.folder_slot_end(); ++slot) {
    if (!project.folder(slot).path.empty()) put(out, project.folder(slot).path);
  }
  put_section_end(out, 1);

  for (int slot : order) {
    const FileRecord& file = project.file(slot);
    put(out, file.source);
    put(out, file.name);
    put(out, file.target_folder);
  }
  put_section_end(out, kFileRecordLines);

  for (int slot = 0; slot < kImageSlots; ++slot) {
    const ImageRecord& image = project.image(slot);
    if (image.path.empty()) continue;
    put(out, image.path);
    put(out, image.step);
    put_bool(out, image.background);
    put(out, image.mode);
    put(out, image.x);
    put(out, image.y);
  }
  put_section_end(out, kImageRecordLines);

  for (int slot = 0; slot < kMacroSlots; ++slot) {
    const Macro& macro = project.macro(slot);
    if (macro.name.empty()) continue;
    put(out, macro.name);
    put(out, macro.value);
    put(out, macro.key);
    put(out, macro.value_name);
  }
  put_section_end(out, kMacroRecordLines);

  // Shortcut records carry the slot numbers the records have after compaction.
  for (int saved = 0; saved < static_cast<int>(order.size()); ++saved) {
    int slot = order[saved];
    const ShortcutSlots& shortcuts = project.shortcuts(slot);
    bool any = std::any_of(shortcuts.begin(), shortcuts.end(),
                           [](const ShortcutSlot& s) { return !s.name.empty(); });
    if (!any) continue;
    put(out, saved);
    for (const ShortcutSlot& shortcut : shortcuts) {
      put(out, shortcut.start_menu_folder);
      put(out, shortcut.name);
      // A named shortcut's target is always its file as it is now.
      put(out, shortcut.name.empty() ? shortcut.target : project.shortcut_target(slot));
      put(out, shortcut.location);
    }
  }
  put_section_end(out, kShortcutRecordLines);

  // Settings: every row of the table at its lines, and the uninstaller's
  // slot after compaction.
  std::string settings[kAllSettingLines];
  for (const Setting& row : settings_table()) write_setting_lines(project, row, settings);
  int uninstaller = project.uninstaller_item() == kNoItem
                        ? kNoSlot
                        : project.find_file_by_tree_item(project.uninstaller_item());
  if (uninstaller != kNoSlot) {
    uninstaller = static_cast<int>(std::find(order.begin(), order.end(), uninstaller) - order.begin());
  }
  settings[kUninstallerSlotLine - 1] = std::to_string(uninstaller);
  // The sections after the settings, which older builders never read.
  std::string after =
      render_language_section(project) + render_listing_section(settings + kListingFirstLine - 1);
  // The optional lines only when they hold something their absence does
  // not mean: a project that uses none of their settings saves as it did
  // before they existed. A section after them needs every line.
  int count = kRequiredSettingsLines;
  if (!project.settings().optional_lines_default()) count = kSettingsLines - 1;
  if (project.settings().languages != std::vector<std::string>{"en"} || !after.empty()) {
    count = kSettingsLines;
  }
  for (int i = 0; i < count; ++i) put(out, settings[i]);
  out += after;
  append_declarations_section(project.declarations(), &out);
  return out;
}

bool save_project(Project& project, os::Os& os, const std::string& path,
                  const std::string& backup_path) {
  if (!write_project_text(os, path, project_text(project))) return false;
  if (path != backup_path) project.set_current_path(path);
  return true;
}

bool write_project_text(os::Os& os, const std::string& path, const std::string& text) {
  // The old file is replaced only by a complete new one: write beside it,
  // then put the new file in its place. An all-ASCII project is written as
  // builders always wrote it; any other as UTF-8 after a byte-order mark.
  const std::string bytes = text::encode_text(text);
  std::string temporary = path + ".saving";
  bool written = false;
  {
    auto file = os.open_file(temporary, os::OpenMode::write);
    written = file && file->write(bytes.data(), bytes.size());
  }
  if (!written || os.replace_file(temporary, path) != os::Error::none) {
    os.delete_file(temporary);
    return false;
  }
  return true;
}

namespace {

// The lines of the sections before the settings, counted, with what a
// line holds that no way into a project would have stored.
class SectionReader {
 public:
  static constexpr std::size_t kMaxFindings = 100;

  SectionReader(LineReader& reader, std::vector<FileFinding>* findings) : reader_(reader), findings_(findings) {}

  void start(const char* section) { section_ = section; }
  int line() const { return line_; }

  bool next(std::string* line) {
    if (!reader_.next(line)) return false;
    ++line_;
    if (reader_.last_line_cut()) {
      note(line_, "a line longer than " + std::to_string(kMaxPathLength) + " characters, cut there");
    }
    return true;
  }
  // Reads a fixed number of lines; false when the file ends first.
  bool next(std::string* lines, int count) {
    for (int i = 0; i < count; ++i) {
      if (!next(&lines[i])) return false;
    }
    return true;
  }

  // `problem` of the value on `line`, when there is one.
  void check(int line, const char* what, const std::string& value, const std::string& problem) {
    if (!problem.empty()) note(line, std::string(what) + " \"" + value + "\" " + problem);
  }
  // A file of nothing but wrong lines is told by its first hundred.
  void note(int line, const std::string& text) {
    if (!findings_ || findings_->size() > kMaxFindings) return;
    findings_->push_back({section_, line, findings_->size() < kMaxFindings ? text : "more values like these"});
  }

 private:
  LineReader& reader_;
  std::vector<FileFinding>* findings_;
  const char* section_ = "";
  int line_ = 0;
};

std::string target_folder_problem(const std::string& folder) {
  const bool installed = folder.compare(0, std::strlen(kInstallRootPath), kInstallRootPath) == 0;
  return installed ? install_folder_problem(folder) : custom_folder_problem(folder);
}

}  // namespace

LoadStatus load_project(Project& project, os::Os& os, const std::string& path,
                        const std::string& backup_path, std::vector<RenamedFile>* renamed,
                        std::vector<FileFinding>* findings) {
  // Older builders wrote the ANSI code page; an author's editor or script
  // may write UTF-8 without a mark, which is taken as such when the whole
  // file is valid UTF-8 (text::Legacy::utf8_first).
  // A read that fails part-way leaves a file that ends early; so does an
  // interruption.
  std::string bytes;
  bool ascii = true;  // the text as it stands: decoded as it is read
  {
    auto file = os.open_file(path, os::OpenMode::read);
    if (!file) return LoadStatus::unreadable;
    char chunk[65536];
    std::size_t n;
    bool utf16 = false;  // after a UTF-16 byte-order mark
    while (bytes.size() < kMaxProjectFileBytes && !interruption_requested() &&
           (n = file->read(chunk, sizeof chunk)) > 0) {
      // A text file holds no NUL byte outside UTF-16: a device or a file
      // of another kind is not read on to its limit.
      const auto* mark = reinterpret_cast<const unsigned char*>(chunk);
      if (bytes.empty()) {
        utf16 = n >= 2 && ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF));
      }
      if (!utf16 && std::memchr(chunk, 0, n) != nullptr) return LoadStatus::unreadable;
      ascii = ascii && text::is_ascii(std::string_view(chunk, n));
      bytes.append(chunk, n);
    }
  }
  if (interruption_requested()) return LoadStatus::truncated;
  std::string text = ascii ? std::move(bytes) : text::decode_text(bytes, text::Legacy::utf8_first);
  bytes = std::string();
  // The declarations section ends the file: cut off before the lines are read.
  std::string error;
  package::Declarations declarations;
  const bool declarations_read = take_declarations_section(&text, &declarations, &error);
  LineReader lines(std::move(text));
  SectionReader reader(lines, findings);
  project.reset_project();
  project.declarations() = std::move(declarations);
  if (path != backup_path) project.set_current_path(path);

  std::string line;
  // Folders.
  reader.start("folders");
  for (;;) {
    if (interruption_requested()) return LoadStatus::truncated;
    if (!reader.next(&line)) return LoadStatus::truncated;
    if (is_section_end(line)) break;
    if (line != kCustomRootPath) reader.check(reader.line(), "the folder", line, install_folder_problem(line));
    project.ensure_folder_path(line);
  }

  // Files: under their folder's node, or under the custom-path root.
  reader.start("files");
  std::string record[kShortcutRecordLines];
  for (;;) {
    if (interruption_requested()) return LoadStatus::truncated;
    if (!reader.next(&record[0])) return LoadStatus::truncated;
    if (is_section_end(record[0])) break;
    const int first = reader.line();
    if (!reader.next(record + 1, kFileRecordLines - 1)) return LoadStatus::truncated;
    reader.check(first, "the source", record[0], text_problem(record[0]));
    reader.check(first + 1, "the name", record[1], file_name_problem(record[1]));
    reader.check(first + 2, "the target folder", record[2], target_folder_problem(record[2]));
    int folder = project.find_folder_by_path(record[2]);
    TreeItem parent = folder != kNoSlot ? project.folder(folder).item : project.custom_root();
    TreeItem item = project.add_file(record[0], record[1], record[2], parent);
    if (renamed && item != kNoItem && project.tree().label(item) != record[1]) {
      renamed->push_back({project.find_file_by_tree_item(item), record[1]});
    }
  }
  for (int i = 1; i < kFileRecordLines; ++i) {
    if (!reader.next(&line)) return LoadStatus::truncated;
  }

  // Pictures.
  reader.start("pictures");
  for (;;) {
    if (interruption_requested()) return LoadStatus::truncated;
    if (!reader.next(&record[0])) return LoadStatus::truncated;
    if (is_section_end(record[0])) break;
    const int first = reader.line();
    if (!reader.next(record + 1, kImageRecordLines - 1)) return LoadStatus::truncated;
    reader.check(first, "the picture", record[0], text_problem(record[0]));
    reader.check(first + 1, "the step", record[1], number_problem(record[1], 1, kImageSteps));
    reader.check(first + 3, "the placing", record[3], number_problem(record[3], 0, 2));
    reader.check(first + 4, "the left edge", record[4], number_problem(record[4], 0, kImageMaxPosition));
    reader.check(first + 5, "the top edge", record[5], number_problem(record[5], 0, kImageMaxPosition));
    project.add_image(record[0], static_cast<int>(parse_decimal(record[1])), record[2] == "true",
                      static_cast<int>(parse_decimal(record[3])),
                      static_cast<int>(parse_decimal(record[4])),
                      static_cast<int>(parse_decimal(record[5])));
  }
  for (int i = 1; i < kImageRecordLines; ++i) {
    if (!reader.next(&line)) return LoadStatus::truncated;
  }

  // Macros, in the order read.
  reader.start("macros");
  for (;;) {
    if (interruption_requested()) return LoadStatus::truncated;
    if (!reader.next(&record[0])) return LoadStatus::truncated;
    if (is_section_end(record[0])) break;
    const int first = reader.line();
    if (!reader.next(record + 1, kMacroRecordLines - 1)) return LoadStatus::truncated;
    reader.check(first, "the macro name", record[0], macro_name_problem(record[0]));
    project.append_macro({record[0], record[1], record[2], record[3]});
  }
  for (int i = 1; i < kMacroRecordLines; ++i) {
    if (!reader.next(&line)) return LoadStatus::truncated;
  }

  // Shortcuts. A record naming a slot outside the table, or a slot that
  // holds no file, is read and dropped: its shortcuts would otherwise wait
  // in a free slot for the next file added there.
  reader.start("shortcuts");
  for (;;) {
    if (interruption_requested()) return LoadStatus::truncated;
    if (!reader.next(&record[0])) return LoadStatus::truncated;
    if (is_section_end(record[0])) {
      for (int i = 1; i < kShortcutRecordLines; ++i) {
        if (!reader.next(&line)) return LoadStatus::truncated;
      }
      break;
    }
    const int first = reader.line();
    if (!reader.next(record + 1, kShortcutRecordLines - 1)) return LoadStatus::truncated;
    long slot = parse_decimal(record[0]);
    if (slot < 0 || slot >= kFileSlots || !project.file_in_use(static_cast<int>(slot))) continue;
    for (int location = 0; location < kShortcutLocations; ++location) {
      const std::string* group = record + 1 + location * 4;
      const int at = first + 1 + location * 4;
      reader.check(at, "the start menu folder", group[0], shortcut_folder_problem(group[0]));
      if (!group[1].empty()) {
        reader.check(at + 1, "the shortcut name", group[1], file_name_problem(group[1]));
        reader.check(at + 3, "the location", group[3], number_problem(group[3], 0, kShortcutLocations - 1));
      }
      ShortcutSlot& shortcut = project.shortcut(static_cast<int>(slot), location);
      shortcut.start_menu_folder = group[0];
      shortcut.name = group[1];
      shortcut.target = group[2];
      shortcut.location = static_cast<int>(parse_decimal(group[3]));
    }
  }

  // Settings: a file that ends early keeps the defaults of the rest.
  reader.start("settings");
  const int settings_start = reader.line() + 1;
  std::string settings[kAllSettingLines];
  int read = 0;
  while (read < kSettingsLines && reader.next(&settings[read])) ++read;
  for (const Setting& row : settings_table()) {
    if (row.line + setting_line_count(row) - 1 > read) continue;
    const std::string problem = setting_lines_problem(row, settings + row.line - 1);
    if (!problem.empty()) reader.note(settings_start + row.line - 1, std::string(row.key) + " " + problem);
    read_setting_lines(project, row, settings, read);
  }
  if (read >= kUninstallerSlotLine && project.settings().include_uninstaller) {
    long slot = parse_decimal(settings[kUninstallerSlotLine - 1]);
    if (slot >= 0 && slot < kFileSlots && project.file_in_use(static_cast<int>(slot))) {
      project.set_uninstaller_item(project.file(static_cast<int>(slot)).item);
    }
  }
  // The sections after the settings, each opened by its marker line.
  for (std::string marker; read == kSettingsLines && lines.next(&marker);) {
    if (marker == kLanguageSectionMarker) read_language_section(project, lines);
    if (marker == kListingSectionMarker) {
      read_listing_section(lines, settings + kListingFirstLine - 1);
      for (const Setting& row : settings_table()) {
        if (row.line >= kListingFirstLine) read_setting_lines(project, row, settings, kAllSettingLines);
      }
    }
  }
  return read >= kRequiredSettingsLines && declarations_read ? LoadStatus::loaded
                                                             : LoadStatus::truncated;
}

}  // namespace quill::project
