// The build pipeline.
#include "builder/project/build.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "builder/project/architecture.h"
#include "builder/project/declarations_check.h"
#include "builder/project/field_rules.h"
#include "builder/project/package_contents.h"
#include "builder/project/font_file.h"
#include "builder/project/language_section.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "text/unicode.h"
#include "package/language_texts.h"
#include "package/trailer.h"

namespace quill::project {

const char kStubErrorMessage[] =
    "Quillset was unable to find the installer data file!\nIf an installer program is running, "
    "please close it and try again.\n\nIf this error still occurs feel free to contact Orvelle "
    "Software for further assistance.";

std::string stub_error_message(Architecture architecture) {
  if (architecture == Architecture::x86) return kStubErrorMessage;
  return std::string("Quillset was unable to find the 64-bit installer stub ") +
         architecture_files(architecture).stub +
         " in its own folder, so it cannot build a package for 64-bit Windows.";
}

namespace {

// The stub and the uninstaller are a few hundred kilobytes; anything larger
// is no program of this suite.
constexpr std::size_t kMaxProgramBytes = 64u << 20;

bool source_exists(os::Os& os, const std::string& path) {
  if (path.empty()) return false;
  os::FileStatus status = os.file_status(path);
  return status.exists && !status.is_folder && !status.is_device;
}

// The payload writer's limits with the project's compression.
PayloadLimits payload_limits(const Project& project, const BuildOptions& options) {
  PayloadLimits limits = options.limits;
  limits.compression = project.settings().compression;
  return limits;
}

// A build in progress: the work files and how each outcome leaves them.
class Build {
 public:
  Build(const Project& project, os::Os& os, const BuildOptions& options, BuildReport& report)
      : project_(project), os_(os), options_(options), report_(report),
        archive_path_(options.output_path + ".zip"), writer_(os, payload_limits(project, options)) {}

  BuildOutcome run();

 private:
  bool aborted() { return report_.cancel_requested(); }
  // Ends a build that stops early: nothing it wrote is left behind.
  BuildOutcome end_early(BuildPhase phase, const char* status, BuildOutcome outcome) {
    writer_.discard();
    os_.delete_file(archive_path_);
    os_.delete_file(options_.output_path);
    report_.set_phase(phase);
    report_.set_status(status);
    report_.set_progress(0);
    return outcome;
  }
  BuildOutcome abort_build() { return end_early(BuildPhase::aborted, "Build aborted!", BuildOutcome::aborted); }
  BuildOutcome fail_build() { return end_early(BuildPhase::failed, "Build error.", BuildOutcome::write_error); }
  // Every data file the build writes: ASCII exactly as builders always
  // wrote it, any other text as UTF-8 after a byte-order mark, which the
  // installer's reader tells from the ANSI text of older packages
  // (text::Legacy::ansi, see package::DataFiles::put).
  void add_text(const std::string& name, const std::string& text) {
    writer_.add_data(package::data_entry_name(name), text::encode_text(to_crlf(text)));
  }
  void add_language_texts();
  void add_pictures();
  void add_font();
  bool per_user() const { return project_.settings().install_scope == package::Scope::user; }
  bool ask_no_elevation_in_stub();
  PayloadWriter::AddResult add_uninstaller(const std::string& name, const std::string& source);
  void add_installer_info(const std::vector<InstallEntry>& entries);
  // A path the package installs a file to: its shortcuts and the
  // uninstaller's role need the file there.
  bool installed(const std::string& path) const { return installed_paths_.count(path) != 0; }
  enum class Append { done, aborted, failed };
  Append append_archive();

  const Project& project_;
  os::Os& os_;
  const BuildOptions& options_;
  BuildReport& report_;
  std::string archive_path_;
  PayloadWriter writer_;
  std::unordered_set<std::string> installed_paths_;
};

BuildOutcome Build::run() {
  report_.set_phase(BuildPhase::initializing);
  report_.set_status("Initializing build...");
  const std::string stub = architecture_files(project_.settings().architecture).stub;
  if (os_.copy_file(options_.builder_folder + stub, options_.output_path, false) !=
      os::Error::none) {
    report_.set_phase(BuildPhase::failed);
    report_.set_status("Build error.");
    return BuildOutcome::stub_error;
  }
  if (per_user() && !ask_no_elevation_in_stub()) return fail_build();
  // Declarations that the installer would refuse, or that the scope cannot write, stop the build.
  const std::vector<std::string> declaration_problems = declaration_errors(project_);
  for (const std::string& text : declaration_problems) report_.warning(text);
  if (!declaration_problems.empty()) return fail_build();

  report_.set_phase(BuildPhase::counting);
  report_.set_status("Getting file count...");
  std::vector<int> duplicates;
  auto readable = [this](int slot) { return source_exists(os_, build_source(project_, slot)); };
  std::vector<InstallEntry> entries = plan_install_entries(project_, &duplicates, readable);
  for (int slot : duplicates) {
    const FileRecord& file = project_.file(slot);
    report_.warning("Left out \"" + file.source + "\": another file is already installed as \"" +
                    file.target_folder + file.name + "\".");
  }
  std::vector<const InstallEntry*> present;
  for (const InstallEntry& entry : entries) {
    const std::string source = build_source(project_, entry.slot);
    if (source_exists(os_, source)) {
      present.push_back(&entry);
    } else {
      report_.warning(os_.file_status(source).is_device
                          ? "Source is not a file (a device, pipe or socket): \"" + source + "\"."
                          : "Source file missing: \"" + source + "\".");
    }
  }
  report_.set_phase(BuildPhase::adding_files);
  report_.set_progress_range(present.size());

  if (!writer_.open(archive_path_)) return fail_build();
  std::uint64_t added = 0;
  for (const InstallEntry* entry : present) {
    const std::string source = build_source(project_, entry->slot);
    report_.set_status("Adding file " + source + "...");
    if (aborted()) return abort_build();
    const bool uninstaller = per_user() && project_.file(entry->slot).item == project_.uninstaller_item() &&
                             project_.settings().include_uninstaller;
    PayloadWriter::AddResult result =
        uninstaller ? add_uninstaller(entry->entry_name, source)
                    : writer_.add_file(entry->entry_name, source, [this] { return aborted(); });
    if (result == PayloadWriter::AddResult::aborted) return abort_build();
    if (result == PayloadWriter::AddResult::unreadable) {
      report_.warning("Source file unreadable: \"" + source + "\".");
    } else {
      installed_paths_.insert(project_.shortcut_target(entry->slot));
    }
    report_.set_progress(++added);
  }

  report_.set_phase(BuildPhase::adding_graphics);
  report_.set_status("Adding graphics...");
  add_pictures();
  writer_.add_file(package::data_entry_name(package::data_file::kDefaultPicture),
                   options_.builder_folder + "setup.JPG");

  report_.set_phase(BuildPhase::adding_info);
  report_.set_status("Adding installer info...");
  add_installer_info(entries);
  // The last LZMA entries may take a while yet: a cancel still ends it.
  const PayloadWriter::CloseResult closed = writer_.close([this] { return aborted(); });
  if (closed == PayloadWriter::CloseResult::aborted) return abort_build();
  if (closed == PayloadWriter::CloseResult::failed) return fail_build();

  if (os_.file_status(archive_path_).exists) {
    Append result = append_archive();
    if (result == Append::aborted) return abort_build();
    if (result == Append::failed) return fail_build();
  }
  os_.delete_file(archive_path_);
  report_.set_progress(0);
  report_.set_phase(BuildPhase::done);
  report_.set_status("Done!");
  return BuildOutcome::done;
}

// A per-user package's installer starts without elevation: the copied
// stub's manifest asks for none.
bool Build::ask_no_elevation_in_stub() {
  std::string stub;
  if (!read_binary_file(os_, options_.output_path, kMaxProgramBytes, &stub)) return false;
  if (!package::request_no_elevation(&stub)) {
    report_.warning("The installer stub's manifest names no execution level; the package may ask for "
                    "administrator rights.");
    return true;
  }
  auto file = os_.open_file(options_.output_path, os::OpenMode::write);
  return file && file->write(stub.data(), stub.size());
}

// The uninstaller a per-user package carries asks for no elevation either.
PayloadWriter::AddResult Build::add_uninstaller(const std::string& name, const std::string& source) {
  std::string program;
  if (!read_binary_file(os_, source, kMaxProgramBytes, &program)) return PayloadWriter::AddResult::unreadable;
  if (!package::request_no_elevation(&program)) {
    report_.warning("The uninstaller's manifest names no execution level; it may ask for administrator "
                    "rights.");
  }
  writer_.add_data(name, program);
  return PayloadWriter::AddResult::added;
}

void Build::add_pictures() {
  for (int slot = 0; slot < kImageSlots; ++slot) {
    const ImageRecord& image = project_.image(slot);
    if (image.path.empty()) continue;
    std::string name = package::data_entry_name(
        package::picture_name(image.background, image.step, file_name_part(image.path)));
    if (writer_.add_file(name, image.path) != PayloadWriter::AddResult::added) {
      report_.warning("Picture missing: \"" + image.path + "\".");
    }
    if (image.background) {
      writer_.add_data(package::companion_name(name),
                       text::encode_text(to_crlf(
                           package::background_companion_text(background_placement(image)))));
    }
  }
}

// The background text's font travels as the data file "font" when it is no
// standard face and this machine has its file; the installer adds it to the
// system's font table before it makes the font.
void Build::add_font() {
  const FontLines& font = project_.fullscreen().font;
  if (is_standard_face(font.face)) return;
  std::string file = find_font_file(os_, font, options_.font_folders);
  if (file.empty()) return;
  if (writer_.add_file(package::data_entry_name(package::data_file::kFont), file) !=
      PayloadWriter::AddResult::added) {
    report_.warning("Font file missing: \"" + file + "\".");
  }
}

void Build::add_installer_info(const std::vector<InstallEntry>& entries) {
  const Settings& settings = project_.settings();
  // Byte copies of the two text files; an empty or unreadable path leaves
  // the entry out.
  auto add_copy = [this](const char* name, const std::string& path) {
    if (path.empty()) return;
    if (writer_.add_file(package::data_entry_name(name), box_text(path)) !=
        PayloadWriter::AddResult::added) {
      report_.warning("Text file missing: \"" + path + "\".");
    }
  };
  namespace data = package::data_file;
  add_copy(data::kWelcome, settings.welcome_file);
  add_copy(data::kLicence, settings.licence_file);
  add_text(data::kInstallerSettings,
           package::installer_settings_text(installer_settings(project_.window_settings())));
  add_text(data::kTitle, box_text(settings.title));
  add_text(data::kEoiMessage, box_text(settings.eoi_message));
  add_text(data::kEoiCommand, box_text(settings.eoi_command));
  add_text(data::kInstallFolders,
           package::install_folders_text(install_folders(settings), settings.try_path_first));
  add_text(data::kEoiButtons, package::end_of_install_buttons_text(settings.message_box_ok));
  // Only a package that differs from a machine-wide install with the
  // current user's shortcuts carries the file, so older projects build the
  // same package as before.
  const package::InstallScope scope{settings.install_scope, settings.shortcuts_for};
  if (package::needs_install_scope_file(scope)) add_text(data::kInstallScope, package::install_scope_text(scope));
  if (!project_.declarations().empty()) add_text(data::kDeclarations, package::declarations_text(project_.declarations()));
  if (settings.use_background_window) {
    add_text(data::kFullscreen, package::fullscreen_text(fullscreen_settings(project_.fullscreen())));
    add_font();
  }

  int left_out = 0;
  std::vector<std::string> unwritable;
  add_text(data::kMacros, macros_text(project_, &left_out, &unwritable));
  for (const std::string& name : unwritable) {
    report_.warning("Macro " + name +
                    " left out: an installer cannot read a value name that begins with \"/\".");
  }
  if (left_out > 0) {
    report_.warning(std::to_string(left_out) + " macros left out: an installer reads at most " +
                    std::to_string(kMaxPackagedMacros) + ".");
  }
  add_language_texts();
  const std::vector<package::ShortcutRecord> shortcuts =
      shortcut_records(project_, [this](const std::string& path) { return installed(path); });
  if (!shortcuts.empty()) add_text(data::kShortcuts, package::shortcut_file_text(shortcuts));
  // The window stores a shortcut as it is typed: one an installer cannot
  // make is told here.
  for (const package::ShortcutRecord& shortcut : shortcuts) {
    std::string problem = file_name_problem(shortcut.name);
    if (problem.empty()) problem = shortcut_folder_problem(shortcut.start_menu_folder);
    if (!problem.empty()) {
      const std::string path =
          shortcut.start_menu_folder.empty() ? shortcut.name : shortcut.start_menu_folder + "\\" + shortcut.name;
      report_.warning("Shortcut \"" + path + "\" cannot be made by an installer: it " + problem + ".");
    }
  }
  add_text(data::kFileInfo, package::file_info_text({entries.begin(), entries.end()}));

  if (settings.include_uninstaller && project_.uninstaller_item() != kNoItem) {
    int slot = project_.find_file_by_tree_item(project_.uninstaller_item());
    if (slot != kNoSlot && installed(project_.shortcut_target(slot))) {
      add_text(package::data_file::kUninstaller, project_.shortcut_target(slot));
    }
  }
  for (const auto& [name, bytes] : language_table_files(settings.languages)) {
    writer_.add_data(package::data_entry_name(name), bytes);
  }
}

// "languages.txt" only when the package carries more than English, so that
// an older project builds the same package as before; then a variant data
// file for each text a carried language has. The welcome and licence
// variants are byte copies of the author's documents, as the main ones.
void Build::add_language_texts() {
  const Settings& settings = project_.settings();
  const std::vector<std::string> codes = carried_languages(settings);
  if (codes.size() > 1) add_text(package::data_file::kLanguages, package::languages_text(codes));
  namespace data = package::data_file;
  for (const std::string& code : codes) {
    auto found = settings.language_texts.find(code);
    if (found == settings.language_texts.end()) continue;
    const LanguageTexts& texts = found->second;
    auto name = [&](const char* main_name) { return package::variant_file_name(main_name, code); };
    if (!texts.title.empty()) add_text(name(data::kTitle), box_text(texts.title));
    if (!texts.eoi_message.empty()) add_text(name(data::kEoiMessage), box_text(texts.eoi_message));
    if (!texts.background_text.empty() && settings.use_background_window) {
      add_text(name(data::kFullscreenText), box_text(texts.background_text));
    }
    for (const auto& [main_name, path] : {std::pair<const char*, const std::string&>{
                                              data::kWelcome, texts.welcome_file},
                                          {data::kLicence, texts.licence_file}}) {
      if (path.empty()) continue;
      if (writer_.add_file(package::data_entry_name(name(main_name)), box_text(path)) !=
          PayloadWriter::AddResult::added) {
        report_.warning("Text file missing: \"" + path + "\".");
      }
    }
  }
}

Build::Append Build::append_archive() {
  report_.set_phase(BuildPhase::appending);
  report_.set_status("Building installer exe...");
  std::uint64_t archive_size = os_.file_status(archive_path_).size;
  report_.set_progress_range(archive_size / 1024);
  auto archive = os_.open_file(archive_path_, os::OpenMode::read);
  if (!archive) return Append::failed;
  if (!os_.file_status(options_.output_path).exists) return Append::failed;
  std::uint64_t stub_size = os_.file_status(options_.output_path).size;
  auto output = os_.open_file(options_.output_path, os::OpenMode::append);
  if (!output) return Append::failed;

  // The archive gets a comment of padding so that the package's length is a
  // multiple of 8; its end record's comment length is patched as it passes.
  unsigned char end_record[package::kArchiveEndRecordSize];
  const std::uint64_t end_at = archive_size - sizeof end_record;
  unsigned padding = package::signing_padding(stub_size, archive_size);
  if (padding == 0 || archive_size < sizeof end_record ||
      !package::read_at(*archive, end_at, end_record, sizeof end_record) ||
      !package::set_archive_comment_length(end_record, padding)) {
    padding = 0;
  }
  if (!archive->seek(0)) return Append::failed;

  std::vector<char> buffer(options_.chunk_size + 1);
  std::uint64_t copied = 0;
  while (copied < archive_size) {
    if (aborted()) return Append::aborted;
    std::size_t chunk = options_.chunk_size;
    if (archive_size - copied < chunk) chunk = static_cast<std::size_t>(archive_size - copied);
    if (!package::read_at(*archive, copied, buffer.data(), chunk)) return Append::failed;
    for (std::uint64_t at = std::max(copied, end_at); padding > 0 && at < copied + chunk; ++at) {
      buffer[at - copied] = static_cast<char>(end_record[at - end_at]);
    }
    if (!output->write(buffer.data(), chunk)) return Append::failed;
    copied += chunk;
    report_.set_progress((stub_size + copied) / 1024);
  }
  const std::string comment(padding, ' ');
  if (!output->write(comment.data(), comment.size())) return Append::failed;
  archive_size += padding;
  if (stub_size + archive_size + package::kTrailerSize >= (std::uint64_t{1} << 31)) {
    // The installer reads its own size as a 32-bit number.
    report_.warning("The package is 2 GiB or larger; installers cannot read a package of that size.");
  }
  const auto trailer = package::encode_trailer(archive_size);
  if (!output->write(trailer.data(), trailer.size())) return Append::failed;
  return Append::done;
}

}  // namespace

BuildOutcome build_package(const Project& project, os::Os& os, const BuildOptions& options,
                           BuildReport& report) {
  Build build(project, os, options, report);
  return build.run();
}

}  // namespace quill::project
