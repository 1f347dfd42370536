// Start-up extraction of the payload: the chunked copy of the archive out of
// the package, the data entries, and the scan of pictures and install entries.
#include "package/payload.h"

#include <algorithm>
#include <memory>

#include "common/folder_removal.h"
#include "common/paths.h"
#include "package/archive.h"
#include "package/appearance_files.h"
#include "package/entry_names.h"
#include "package/trailer.h"

namespace quill::package {

const char kPayloadArchiveName[] = "tempfile.tmp";

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
ExtractOutcome locate_archive(os::Os& os, os::File& in, ArchiveLocation* location) {
  // A signed package ends in a certificate table; the trailer lies before it.
  std::uint64_t file_size = package_data_end(in, in.size());
  if (file_size < kTrailerSize) return ExtractOutcome::damaged;

  unsigned char trailer[kTrailerSize];
  if (!read_at(in, file_size - kTrailerSize, trailer, kTrailerSize)) return ExtractOutcome::damaged;
  std::uint64_t length = decode_trailer(trailer);
  if (length == 0 || length > file_size - kTrailerSize) return ExtractOutcome::damaged;
  location->path = os.module_path();
  location->offset = file_size - kTrailerSize - length;
  location->length = length;
  return ExtractOutcome::done;
}

// Steps 1 to 5 of the extraction: payload folder, trailer, chunked copy
// (or, in place, the archive's place alone).
ExtractOutcome prepare_archive(os::Os& os, ExtractProgress& progress, ArchiveHandling handling,
                               const std::string& archive_path, ArchiveLocation* archive) {
  std::unique_ptr<os::File> in = os.open_file(os.module_path(), os::OpenMode::read);
  if (!in) return ExtractOutcome::damaged;
  ArchiveLocation location;
  ExtractOutcome located = locate_archive(os, *in, &location);
  if (located != ExtractOutcome::done) return located;
  const unsigned megabytes = static_cast<unsigned>(location.length / 1024 / 1024);
  if (handling == ArchiveHandling::in_place) {
    if (progress.cancel_requested()) return ExtractOutcome::cancelled;
    progress.set_progress_range(megabytes);
    progress.set_progress(megabytes);
    *archive = location;
    return ExtractOutcome::done;
  }

  std::unique_ptr<os::File> out = os.open_file(archive_path, os::OpenMode::write);
  if (!out) return ExtractOutcome::write_failed;
  progress.set_progress_range(megabytes);
  archive->path = archive_path;
  return copy_archive(*in, *out, location.offset, location.length, progress);
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

ExtractOutcome extract_payload(os::Os& os, ExtractProgress& progress, PayloadScan* scan,
                               ArchiveHandling handling) {
  *scan = PayloadScan();
  const std::string temp = with_trailing_backslash(os.temp_folder());
  const std::string folder = payload_folder(os);
  if (!create_folder_chain(os, without_trailing_backslash(folder))) {
    return ExtractOutcome::write_failed;
  }
  const std::string archive_path = folder + kPayloadArchiveName;

  ExtractOutcome prepared = prepare_archive(os, progress, handling, archive_path, &scan->archive);
  if (prepared != ExtractOutcome::done) return prepared;

  Archive archive;
  if (!archive.open(os, scan->archive) || archive.damaged()) return ExtractOutcome::damaged;

  for (std::size_t i = 0; i < archive.entry_count(); ++i) {
    const EntryInfo& entry = archive.entry(i);
    if (progress.cancel_requested()) return ExtractOutcome::cancelled;
    const std::string& name = entry.name;
    if (!is_data_entry_name(name)) {
      scan->install_entry_count += 1;
      scan->install_bytes += entry.uncompressed_size;
      continue;
    }
    if (!is_safe_data_entry_name(name)) {
      // "%Quillpack%/" alone names the payload folder itself: nothing to do.
      if (name.size() != kDataEntryPrefixLength + 1) scan->skipped_entries.push_back(name);
      continue;
    }
    std::string destination = temp + replace_char(name, '/', '\\');
    ExtractResult result = archive.extract_entry(i, destination);
    if (result == ExtractResult::damaged) return ExtractOutcome::damaged;
    // Folder entries are no pictures.
    if (result != ExtractResult::ok || name.back() == '/') continue;

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
  }

  scan->megabytes_needed = scan->install_bytes / 1024 / 1024;
  for (BackgroundPicture& picture : scan->background_pictures) {
    read_background_companion(os, companion_name(picture.path), &picture);
  }
  scan->step_pictures[0] = folder + data_file::kDefaultPicture;
  return ExtractOutcome::done;
}

bool delete_payload_folder(os::Os& os) {
  return remove_folder_tree(os, without_trailing_backslash(payload_folder(os)));
}

}  // namespace quill::package
