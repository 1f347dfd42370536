// Every installer data-file reader on the same bytes: each data file the
// extraction reads into memory holds the input, then the installer's
// start-up load and the readers it leaves to later steps run over them.
#include "common/lines.h"
#include "package/data_files.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string input(reinterpret_cast<const char*>(data), size);
  os::MemoryOs os;
  package::PayloadScan scan;
  for (const char* name : {"macros.txt", "wt.txt", "tt.txt", "license.txt", "def_install.txt", "shortcuts.txt",
                           "installer_settings.txt", "fullscreen.txt", "fileinfo.txt", "uninstall.txt",
                           "eoi_file.txt", "eoi_message.txt", "eoi_buttons.txt"}) {
    scan.data_files.put(name, input);
  }
  package::InstallerData loaded;
  package::load_installer_data(os, scan, &loaded);
  if (loaded.macros.size() > package::kMaxMacroRecords) fuzz::fail("macro table over its limit");

  fuzz::put_file(os, "C:\\fileinfo.txt", input);
  std::vector<package::FileInfoLine> lines;
  package::read_file_info(os, "C:\\fileinfo.txt", &lines);
  for (const package::FileInfoLine& line : lines) package::file_info_destination(line);
  package::EndOfInstall events;
  package::read_end_of_install(os, loaded.macros, loaded.files, "C:\\Program Files\\Tool\\", &events);
  std::string uninstaller;
  package::read_uninstaller_path(os, loaded.macros, loaded.files, "C:\\Program Files\\Tool\\", &uninstaller);
  if (uninstaller.size() > 4 * package::kMacroTextCapacity) fuzz::fail("uninstaller path unbounded");
  package::BackgroundPicture picture;
  package::background_companion_from_text(input, &picture);
  return 0;
}
