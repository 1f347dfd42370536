// The installer's start-up extraction: copies the payload archive out of the
// package into the payload folder, extracts the data entries and scans the
// archive for pictures and install entries.
#pragma once

#include <array>
#include <cstdint>
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

struct BackgroundPicture {
  int step = 0;          // 1 to 9, or 10
  std::string path;      // the extracted picture
  int placement = 0;     // from the companion file: 0 stretched, 1 centred, 2 at (x, y)
  int x = 0;
  int y = 0;
};

struct PayloadScan {
  std::array<std::string, kStepPictureCount> step_pictures;
  std::vector<BackgroundPicture> background_pictures;  // archive order, at most 1024
  unsigned step6_picture_count = 0;
  std::uint64_t install_entry_count = 0;
  std::uint64_t install_bytes = 0;       // sum of the install entries' uncompressed sizes
  std::uint64_t megabytes_needed = 0;    // install_bytes / 1024 / 1024, truncated
  // Data entries that were not extracted because their name would leave the
  // payload folder (".." parts, drives, absolute or empty parts).
  std::vector<std::string> skipped_entries;
  // Where the install engine finds the archive: "tempfile.tmp", or its place
  // in the package when it was read in place.
  ArchiveLocation archive;
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
  write_failed,  // the payload folder or "tempfile.tmp" could not be written
};

// What the extraction does with the archive.
enum class ArchiveHandling {
  copy,      // copied into payload folder + "tempfile.tmp" and read there
  in_place,  // read where it lies in the package: no copy is written
};

// Copies the archive out of the own module file (os.module_path()) into
// payload folder + "tempfile.tmp" (unless it is read in place), extracts
// every data entry below the temporary folder under its own name, and fills
// `scan`. Nothing is ever written outside the payload folder.
ExtractOutcome extract_payload(os::Os& os, ExtractProgress& progress, PayloadScan* scan,
                               ArchiveHandling handling = ArchiveHandling::copy);

// True when a data entry's name (beginning with "%Quillpack%") stays inside
// the payload folder once extracted: the prefix is followed by a separator
// and only plain name parts.
bool is_safe_data_entry_name(const std::string& name);

// Removes the payload folder recursively; false when something stayed.
bool delete_payload_folder(os::Os& os);

}  // namespace quill::package
