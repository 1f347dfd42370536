// Package extraction and loading: the input is the installer's own file
// (stub, archive, trailer). Properties: extraction writes only below the
// payload folder it made; removing that folder leaves the machine as it was.
#include <algorithm>

#include "package/archive.h"
#include "package/data_files.h"
#include "package/payload.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

class Progress : public quill::package::ExtractProgress {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool cancel_requested() override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  // The machine before extraction, kept for the whole run: each input
  // replaces its setup file, and extraction runs on a clone.
  static os::MemoryOs before(64u << 20);
  before.set_module_path("C:\\setup.exe");
  fuzz::put_file(before, "C:\\setup.exe", std::string(reinterpret_cast<const char*>(data), size));
  os::MemoryOs os = before.clone();
  Progress progress;
  package::PayloadScan scan;
  // Each run works on a clone of one machine, so the folder's name repeats.
  if (package::extract_payload(os, progress, &scan, package::ArchiveHandling::copy) ==
      package::ExtractOutcome::done) {
    package::InstallerData loaded;
    package::load_installer_data(os, scan, &loaded);
    if (scan.megabytes_needed != scan.install_bytes / 1024 / 1024) fuzz::fail("space needed miscounted");
    // The files to install read back, as the install engine reads them:
    // deflated, stored, LZMA and in solid blocks, out of order too.
    package::Archive archive;
    if (archive.open(os, scan.payload_folder + package::kPayloadArchiveName)) {
      std::string bytes;
      const std::size_t count = std::min<std::size_t>(archive.entry_count(), 64);
      for (std::size_t n = 0; n < 2 * count; ++n) {
        const std::size_t i = n < count ? n : 2 * count - 1 - n;
        if (archive.read_entry(i, 1u << 20, &bytes) == package::ExtractResult::ok &&
            bytes.size() != archive.entry(i).uncompressed_size) {
          fuzz::fail("an entry read whole has another size");
        }
      }
    }
  }
  const std::string payload =
      scan.payload_folder.empty() ? std::string() : fuzz::machine_path(scan.payload_folder);
  for (const std::string& path : os.changed_paths_since(before)) {
    if (payload.empty() || !fuzz::is_within(path, payload)) fuzz::fail("extraction wrote " + path);
  }
  if (package::delete_payload_folder(os, &scan) && !os.changed_paths_since(before).empty()) {
    fuzz::fail("the payload folder's removal left something");
  }
  return 0;
}
