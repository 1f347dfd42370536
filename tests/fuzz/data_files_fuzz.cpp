// Every installer data-file reader on the same bytes: each data file the
// extraction reads into memory holds the input (the language list and the
// language variants too), then the installer's start-up load, the choice of
// each language and the readers it leaves to later steps run over them.
// Every text that comes out is valid UTF-8, whatever the bytes were.
#include "common/lines.h"
#include "common/languages.h"
#include "text/unicode.h"
#include "package/data_files.h"
#include "package/language_texts.h"
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
  scan.data_files.put("languages.txt", input);
  for (const char* name : {"wt.txt", "tt.txt", "license.txt", "eoi_message.txt", "fullscreen_text.txt"}) {
    scan.data_files.put(package::variant_file_name(name, "ja"), input);
  }
  package::InstallerData loaded;
  package::load_installer_data(os, scan, &loaded);
  if (loaded.macros.size() > package::kMaxMacroRecords) fuzz::fail("macro table over its limit");
  if (loaded.languages.empty() || loaded.languages[0] != "en") fuzz::fail("English is not first");
  for (const std::string& code : {std::string("ja"), std::string("de"), input.substr(0, 5)}) {
    package::use_language(os, code, &loaded);
    for (const std::string* text : {&loaded.title, &loaded.welcome_text, &loaded.licence_text}) {
      if (!text::is_valid_utf8(*text)) fuzz::fail("a text is not valid UTF-8");
    }
    package::EndOfInstall events;
    package::read_end_of_install(os, loaded.macros, loaded.files, "C:\\Tool\\", &events, code);
  }

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
