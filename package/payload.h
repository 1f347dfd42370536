// The installer's start-up extraction: makes a fresh payload folder for the
// run, copies the payload archive out of the package into it (or reads it in
// place), reads the installer data files into memory and extracts the
// pictures, and scans the archive for install entries.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/progress_report.h"
#include "os/os.h"
#include "package/archive.h"
#include "package/entry_names.h"

namespace quill::package {

// One copy chunk of the payload archive (10 MiB).
constexpr std::uint64_t kPayloadChunkSize = 10485760;
constexpr std::size_t kMaxBackgroundPictures = 1024;
// Step picture indexes: 1 to 9 from the entry's digit, 10 for any other
// character, 0 for the default side picture.
constexpr std::size_t kStepPictureCount = 11;
// Name of the copied payload archive inside the payload folder.
extern const char kPayloadArchiveName[];  // "tempfile.tmp"
// The payload folder is the temporary folder + this prefix + 16 random
// hexadecimal digits: a name made for the run, which no one can know before.
extern const char kPayloadFolderPrefix[];  // "Quillpack-"
// Names tried before the extraction gives up: each one that is taken already
// (by a folder, a file or a link) is passed over, never used.
constexpr int kPayloadFolderTries = 16;
// The largest installer data file that is read into memory.
constexpr std::size_t kMaxDataFileBytes = 64 * 1024 * 1024;


// The installer data files of a run, read out of the archive once while it
// is extracted: each file's text decoded to UTF-8 (see put), by its name in
// the payload folder ("fileinfo.txt", "bgimg\6\a.jpg.txt"). They never
// exist on disk, so nothing can change them between the extraction and
// their use.
class DataFiles {
 public:
  // Keeps the text of `bytes` (decoded by its byte-order mark, else by the
  // file's legacy rule) as the file `name`; a later file of the same name
  // replaces it, as a later entry overwrote an earlier one on disk.
  void put(const std::string& name, std::string bytes);
  // The bytes of the file `name` (letter case does not matter), or null
  // when the package has no such file.
  const std::string* find(const std::string& name) const;

 private:
  std::map<std::string, std::string> files_;  // by upper-cased name
};

// True for the names (in the payload folder, '\' between parts) of the
// files that are read into memory instead of being extracted: the text data
// files and the background pictures' companions.
bool is_in_memory_data_file(const std::string& name);

struct BackgroundPicture {
  int step = 0;          // 1 to 9, or 10
  std::string path;      // the extracted picture
  int placement = 0;     // from the companion file: 0 stretched, 1 centred, 2 at (x, y)
  int x = 0;
  int y = 0;
};

struct PayloadScan {
  // The payload folder this run made (ends in a backslash); empty until it
  // is made. Only this folder is ever removed.
  std::string payload_folder;
  // The open file the archive lies in (the package, or the copy in the
  // payload folder), kept open and read through this handle alone.
  std::unique_ptr<os::File> archive_file;
  // Where the install engine finds the archive: in archive_file.
  ArchiveLocation archive;
  DataFiles data_files;
  std::string font_path;  // the extracted "font" file, empty when there is none

  std::array<std::string, kStepPictureCount> step_pictures;
  std::vector<BackgroundPicture> background_pictures;  // archive order, at most 1024
  unsigned step6_picture_count = 0;
  std::uint64_t install_entry_count = 0;
  // The sum of the install entries' uncompressed sizes; a sum that would
  // not fit makes the package damaged.
  std::uint64_t install_bytes = 0;
  std::uint64_t megabytes_needed = 0;    // install_bytes / 1024 / 1024, truncated
  // Data entries that were not extracted because their name would leave the
  // payload folder (".." parts, drives, absolute or empty parts).
  std::vector<std::string> skipped_entries;
};

// Receives the extraction's progress (range and position in whole MiB of the
// archive copy) and answers whether the user cancelled; cancel_requested is
// polled before every chunk of the copy and before every archive entry. It
// reports no status. Implemented by the extraction window and by tests.
class ExtractProgress : public ProgressReport {};

enum class ExtractOutcome {
  done,
  cancelled,
  damaged,       // the package is too short, its trailer is wrong or its archive unreadable
  write_failed,  // no payload folder could be made, or "tempfile.tmp" could not be written
};

// What the extraction does with the archive.
enum class ArchiveHandling {
  copy,      // copied into payload folder + "tempfile.tmp" and read there
  in_place,  // read where it lies in the package: no copy is written
};

// Opens the own module file (os.module_path()) once, refusing writers;
// makes a new payload folder with an access list of its own
// (os::FolderAccess::private_work) under a name from
// os.unpredictable_name(); copies the archive
// into payload folder + "tempfile.tmp" and opens that copy once (unless it
// is read in place); reads the data files into scan->data_files and
// extracts every other data entry into the payload folder under its name
// after the "%Quillpack%" prefix; and fills `scan`. Nothing is ever written
// outside the payload folder, and a folder that exists already is never
// used. scan->payload_folder is set as soon as the folder is made, whatever the
// outcome, so that the caller removes it.
ExtractOutcome extract_payload(os::Os& os, ExtractProgress& progress, PayloadScan* scan,
                               ArchiveHandling handling = ArchiveHandling::copy);

// True when a data entry's name (beginning with "%Quillpack%") stays inside
// the payload folder once extracted: the prefix is followed by a separator
// and only plain name parts.
bool is_safe_data_entry_name(const std::string& name);

// Closes the scan's archive file and removes the payload folder the scan's
// run made, recursively; false when something stayed. Nothing else is
// touched: a scan without a folder removes nothing.
bool delete_payload_folder(os::Os& os, PayloadScan* scan);

}  // namespace quill::package
