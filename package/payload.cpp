// Start-up extraction of the payload: a fresh payload folder, the chunked
// copy of the archive out of the package, the data files read into memory,
// the pictures extracted, and the scan of install entries.
#include "package/payload.h"

#include <algorithm>
#include <memory>

#include "common/folder_removal.h"
#include "common/paths.h"
#include "text/unicode.h"
#include "package/archive.h"
#include "package/appearance_files.h"
#include "package/entry_names.h"
#include "package/language_texts.h"
#include "package/trailer.h"

namespace quill::package {

const char kPayloadArchiveName[] = "tempfile.tmp";
const char kPayloadFolderPrefix[] = "Quillpack-";

namespace {

bool is_device_name(std::string part) {
  part = part.substr(0, part.find('.'));
  for (char& c : part) c = ascii_upper(c);
  if (part == "CON" || part == "PRN" || part == "AUX" || part == "NUL") return true;
  return part.size() == 4 && (part.compare(0, 3, "COM") == 0 || part.compare(0, 3, "LPT") == 0) &&
         part[3] >= '1' && part[3] <= '9';
}

// A part that Windows would read as "." or ".." (trailing dots and spaces are
// dropped there) or that holds a character no file name may hold.
bool is_safe_part(const std::string& part) {
  if (part.empty()) return false;
  if (part.find_first_not_of(". ") == std::string::npos) return false;
  for (char c : part) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
        c == '|') {
      return false;
    }
  }
  return !is_device_name(part);
}

// Copies the archive bytes [start, start + length) of `in` to `out` in
// chunks through one buffer, polling for a cancel before every chunk. The
// buffer is no larger than the archive: a small package needs no 10 MiB.
ExtractOutcome copy_archive(os::File& in, os::File& out, std::uint64_t start,
                            std::uint64_t length, ExtractProgress& progress) {
  std::unique_ptr<char[]> buffer(new char[std::min(kPayloadChunkSize, length) + 1]);
  std::uint64_t copied = 0;
  while (copied < length) {
    if (progress.cancel_requested()) return ExtractOutcome::cancelled;
    std::uint64_t chunk = std::min(kPayloadChunkSize, length - copied);
    if (!read_at(in, start + copied, buffer.get(), chunk)) {
      return ExtractOutcome::damaged;
    }
    if (!out.seek(copied) || !out.write(buffer.get(), chunk)) return ExtractOutcome::write_failed;
    copied += chunk;
    progress.set_progress(static_cast<unsigned>(copied / 1024 / 1024));
  }
  return ExtractOutcome::done;
}

// The archive's place in the package: the trailer at its end (before a
// certificate table) gives the archive's length.
ExtractOutcome locate_archive(os::File& in, ArchiveLocation* location) {
  // A signed package ends in a certificate table; the trailer lies before it.
  std::uint64_t file_size = package_data_end(in, in.size());
  if (file_size < kTrailerSize) return ExtractOutcome::damaged;

  unsigned char trailer[kTrailerSize];
  if (!read_at(in, file_size - kTrailerSize, trailer, kTrailerSize)) return ExtractOutcome::damaged;
  std::uint64_t length = decode_trailer(trailer);
  if (length == 0 || length > file_size - kTrailerSize) return ExtractOutcome::damaged;
  location->file = &in;
  location->offset = file_size - kTrailerSize - length;
  location->length = length;
  return ExtractOutcome::done;
}

// Makes a new private folder below the temporary folder under a random
// name. A name that is taken is passed over: whatever is there (a folder
// made in advance, a file, a link) was not made by this run.
ExtractOutcome make_payload_folder(os::Os& os, std::string* folder) {
  const std::string temp = without_trailing_backslash(os.temp_folder());
  if (!create_folder_chain(os, temp)) return ExtractOutcome::write_failed;
  for (int attempt = 0; attempt < kPayloadFolderTries; ++attempt) {
    const std::string name = os.unpredictable_name();
    if (name.empty()) return ExtractOutcome::write_failed;
    const std::string path = temp + "\\" + kPayloadFolderPrefix + name;
    const os::Error error = os.create_folder_secured(path, os::FolderAccess::private_work);
    if (error == os::Error::none) {
      *folder = path + "\\";
      return ExtractOutcome::done;
    }
    if (error != os::Error::exists) return ExtractOutcome::write_failed;
  }
  return ExtractOutcome::write_failed;
}

// Copies the archive into the payload folder and opens the copy for the
// rest of the run: the one handle every later read goes through.
ExtractOutcome copy_out(os::Os& os, ExtractProgress& progress, const ArchiveLocation& in,
                        PayloadScan* scan) {
  const std::string path = scan->payload_folder + kPayloadArchiveName;
  {
    std::unique_ptr<os::File> out = os.open_file(path, os::OpenMode::write);
    if (!out) return ExtractOutcome::write_failed;
    progress.set_progress_range(static_cast<unsigned>(in.length / 1024 / 1024));
    const ExtractOutcome copied = copy_archive(*in.file, *out, in.offset, in.length, progress);
    if (copied != ExtractOutcome::done) return copied;
  }
  scan->archive_file = os.open_file(path, os::OpenMode::read);
  if (!scan->archive_file) return ExtractOutcome::write_failed;
  scan->archive.file = scan->archive_file.get();
  scan->archive.offset = 0;
  scan->archive.length = in.length;
  return ExtractOutcome::done;
}

// Steps 1 to 5 of the extraction: the package opened once, the trailer, the
// payload folder, the chunked copy (or, in place, the archive's place alone).
ExtractOutcome prepare_archive(os::Os& os, ExtractProgress& progress, ArchiveHandling handling,
                               PayloadScan* scan) {
  std::unique_ptr<os::File> package = os.open_file(os.module_path(), os::OpenMode::read);
  if (!package) return ExtractOutcome::damaged;
  ArchiveLocation location;
  ExtractOutcome outcome = locate_archive(*package, &location);
  if (outcome != ExtractOutcome::done) return outcome;
  outcome = make_payload_folder(os, &scan->payload_folder);
  if (outcome != ExtractOutcome::done) return outcome;
  if (handling == ArchiveHandling::copy) return copy_out(os, progress, location, scan);

  const unsigned megabytes = static_cast<unsigned>(location.length / 1024 / 1024);
  if (progress.cancel_requested()) return ExtractOutcome::cancelled;
  progress.set_progress_range(megabytes);
  progress.set_progress(megabytes);
  scan->archive = location;
  scan->archive_file = std::move(package);
  return ExtractOutcome::done;
}

std::string upper(std::string text) {
  for (char& c : text) c = ascii_upper(c);
  return text;
}

// The name of a safe data entry in the payload folder: the part after the
// prefix and its separator, with '\' between parts.
std::string payload_name(const std::string& entry_name) {
  return replace_char(entry_name.substr(kDataEntryPrefixLength + 1), '/', '\\');
}

// Reads or extracts one safe data entry and notes the pictures and the font.
ExtractOutcome take_data_entry(Archive& archive, std::size_t index, PayloadScan* scan) {
  const std::string& name = archive.entry(index).name;
  const std::string relative = payload_name(name);
  if (is_in_memory_data_file(relative)) {
    std::string bytes;
    if (archive.read_entry(index, kMaxDataFileBytes, &bytes) != ExtractResult::ok) {
      return ExtractOutcome::damaged;
    }
    scan->data_files.put(relative, std::move(bytes));
    return ExtractOutcome::done;
  }
  const std::string destination = scan->payload_folder + relative;
  ExtractResult result = archive.extract_entry(index, destination);
  if (result == ExtractResult::damaged) return ExtractOutcome::damaged;
  // Folder entries are no pictures.
  if (result != ExtractResult::ok || name.back() == '/') return ExtractOutcome::done;

  if (upper(relative) == upper(data_file::kFont)) scan->font_path = destination;
  const PictureEntry picture_entry = parse_picture_entry(name);
  if (picture_entry.kind == PictureEntry::Kind::step_picture) {
    scan->step_pictures[picture_entry.step] = destination;
  } else if (picture_entry.kind == PictureEntry::Kind::background_picture) {
    if (scan->background_pictures.size() < kMaxBackgroundPictures) {
      BackgroundPicture picture;
      picture.step = picture_entry.step;
      picture.path = destination;
      scan->background_pictures.push_back(picture);
      if (picture.step == 6) scan->step6_picture_count += 1;
    }
  }
  return ExtractOutcome::done;
}

}  // namespace

bool is_safe_data_entry_name(const std::string& name) {
  if (!is_data_entry_name(name)) return false;
  if (name.size() <= kDataEntryPrefixLength || !is_path_separator(name[kDataEntryPrefixLength])) {
    return false;
  }
  std::string rest = name.substr(kDataEntryPrefixLength + 1);
  // A folder entry ends in one separator.
  if (!rest.empty() && is_path_separator(rest.back())) rest.pop_back();
  if (rest.empty()) return false;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = rest.find_first_of("/\\", start);
    if (!is_safe_part(rest.substr(start, end == std::string::npos ? end : end - start))) {
      return false;
    }
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

void DataFiles::put(const std::string& name, std::string bytes) {
  // The welcome and licence texts (and their variants) are byte copies of
  // the author's documents, which may be UTF-8 without a mark; every other
  // data file was written by a builder, before Unicode in the ANSI code
  // page, now as ASCII or UTF-8 with a mark.
  const std::string key = upper(name);
  const bool author_document = key.compare(0, 3, "WT.") == 0 || key.compare(0, 8, "LICENSE.") == 0;
  files_[key] = text::decode_text(bytes, author_document ? text::Legacy::utf8_first
                                                         : text::Legacy::ansi);
}

const std::string* DataFiles::find(const std::string& name) const {
  auto found = files_.find(upper(name));
  return found == files_.end() ? nullptr : &found->second;
}

bool is_in_memory_data_file(const std::string& name) {
  static const char* const kTextFiles[] = {
      data_file::kWelcome,    data_file::kTitle,          data_file::kLicence,
      data_file::kInstallFolders, data_file::kMacros,     data_file::kShortcuts,
      data_file::kInstallerSettings, data_file::kFullscreen, data_file::kFileInfo,
      data_file::kEoiMessage, data_file::kEoiCommand,     data_file::kEoiButtons,
      data_file::kUninstaller,    data_file::kInstallScope,  data_file::kDeclarations,
  };
  const std::string key = upper(name);
  for (const char* text_file : kTextFiles) {
    if (key == upper(text_file)) return true;
  }
  if (is_language_data_file(name)) return true;
  // A background picture's companion.
  return key.compare(0, 6, "BGIMG\\") == 0 && ends_with(key, ".TXT");
}

ExtractOutcome extract_payload(os::Os& os, ExtractProgress& progress, PayloadScan* scan,
                               ArchiveHandling handling) {
  *scan = PayloadScan();
  ExtractOutcome prepared = prepare_archive(os, progress, handling, scan);
  if (prepared != ExtractOutcome::done) return prepared;

  Archive archive;
  if (!archive.open(os, scan->archive) || archive.damaged()) return ExtractOutcome::damaged;

  for (std::size_t i = 0; i < archive.entry_count(); ++i) {
    const EntryInfo& entry = archive.entry(i);
    if (progress.cancel_requested()) return ExtractOutcome::cancelled;
    const std::string& name = entry.name;
    if (!is_data_entry_name(name)) {
      // A sum that wraps around would pass the free-space check.
      if (entry.uncompressed_size > UINT64_MAX - scan->install_bytes) {
        return ExtractOutcome::damaged;
      }
      scan->install_entry_count += 1;
      scan->install_bytes += entry.uncompressed_size;
      continue;
    }
    if (!is_safe_data_entry_name(name)) {
      // "%Quillpack%/" alone names the payload folder itself: nothing to do.
      if (name.size() != kDataEntryPrefixLength + 1) scan->skipped_entries.push_back(name);
      continue;
    }
    const ExtractOutcome taken = take_data_entry(archive, i, scan);
    if (taken != ExtractOutcome::done) return taken;
  }

  scan->megabytes_needed = scan->install_bytes / 1024 / 1024;
  for (BackgroundPicture& picture : scan->background_pictures) {
    const std::string* companion =
        scan->data_files.find(companion_name(picture.path.substr(scan->payload_folder.size())));
    if (companion) background_companion_from_text(*companion, &picture);
  }
  scan->step_pictures[0] = scan->payload_folder + data_file::kDefaultPicture;
  return ExtractOutcome::done;
}

bool delete_payload_folder(os::Os& os, PayloadScan* scan) {
  scan->archive = ArchiveLocation();
  scan->archive_file.reset();
  if (scan->payload_folder.empty()) return true;
  return remove_folder_tree(os, without_trailing_backslash(scan->payload_folder));
}

}  // namespace quill::package
