// Every installer data-file reader on the same bytes: each data file of the
// payload folder holds the input, then the installer's start-up load and
// the readers it leaves to later steps run over them.
#include "package/data_files.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string input(reinterpret_cast<const char*>(data), size);
  os::MemoryOs os;
  const std::string payload = package::payload_folder(os);
  os.create_folder(payload.substr(0, payload.size() - 1));
  for (const char* name : {"macros.txt", "wt.txt", "tt.txt", "license.txt", "def_install.txt", "shortcuts.txt",
                           "installer_settings.txt", "fullscreen.txt", "fileinfo.txt", "uninstall.txt",
                           "eoi_file.txt", "eoi_message.txt", "eoi_buttons.txt", "pic.jpg.txt", "font"}) {
    fuzz::put_file(os, payload + name, input);
  }
  package::PayloadScan scan;
  package::InstallerData loaded;
  package::load_installer_data(os, scan, &loaded);
  if (loaded.macros.size() > package::kMaxMacroRecords) fuzz::fail("macro table over its limit");

  std::vector<package::FileInfoLine> lines;
  package::read_file_info(os, payload + "fileinfo.txt", &lines);
  for (const package::FileInfoLine& line : lines) package::file_info_destination(line);
  package::EndOfInstall events;
  package::read_end_of_install(os, loaded.macros, "C:\\Program Files\\Tool\\", &events);
  std::string uninstaller;
  package::read_uninstaller_path(os, loaded.macros, "C:\\Program Files\\Tool\\", &uninstaller);
  if (uninstaller.size() > 4 * package::kMacroTextCapacity) fuzz::fail("uninstaller path unbounded");
  package::BackgroundPicture picture;
  package::read_background_companion(os, payload + "pic.jpg.txt", &picture);
  return 0;
}
