// The install engine over a fixed archive, with the data files from the
// input (parts cut at "====" lines: fileinfo.txt, uninstall.txt,
// shortcuts.txt, macros.txt, the folder field). Properties: nothing is
// written outside the payload folder, the destinations "fileinfo.txt" names,
// the install folder's log, the log copy beside an absolute uninstaller path
// and the shortcut folders; a link planted in place of a file the install
// writes is never written through.
#include <minizip/zip.h>

#include "common/lines.h"
#include "common/zip_io.h"
#include "installer/install_engine.h"
#include "package/data_files.h"
#include "package/payload.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

using namespace quill;

class YesCallback : public installer::InstallCallback {
 public:
  installer::ReplaceAnswer ask_replace(const std::string&) override { return installer::ReplaceAnswer::yes; }
  void set_status(const std::string&) override {}
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  bool cancel_requested() override { return false; }
  installer::WriteAnswer ask_write_failed(const std::string&) override { return installer::WriteAnswer::ignore; }
};

// Writes the archive every run installs from to `path`.
void write_archive(os::Os& os, const std::string& path) {
  zlib_filefunc64_def io;
  fill_zip_io(os, &io);
  zipFile zip = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
  for (const char* name : {"tool.exe", "Uninstall.exe", "sub/doc.txt", "dir/", "readme.txt"}) {
    zip_fileinfo info = {};
    info.dosDate = 0x58210000;
    zipOpenNewFileInZip64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6, 0);
    std::string data = std::string("contents of ") + name;
    if (name[std::string(name).size() - 1] != '/') zipWriteInFileInZip(zip, data.data(), data.size());
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
}

// The payload folder of every run.
std::string payload_folder(os::Os& os) {
  return os.temp_folder() + package::kPayloadFolderPrefix + "fuzz\\";
}

// Links planted where the default install folder's files and log go, each
// leading to a file of another's.
const std::pair<const char*, const char*> kPlantedLinks[] = {
    {"C:\\Program Files\\Tool\\readme.txt", "C:\\Users\\User\\Documents\\keep.dat"},
    {"C:\\Program Files\\Tool\\uninstall.ini", "C:\\Windows\\uninstall.ini"},
};

// The machine as each install finds it: the payload folder with its
// archive, and what belongs to others (a log in the Windows folder, the
// user's files, links planted in the install folder). Made once; each run
// installs on a clone, so that what the install changed is what the clone
// holds differently.
os::MemoryOs& machine_before() {
  static os::MemoryOs os(64u << 20);
  static const bool made = [] {
    const std::string payload = payload_folder(os);
    os.create_folder(payload.substr(0, payload.size() - 1));
    write_archive(os, payload + package::kPayloadArchiveName);
    fuzz::put_file(os, "C:\\Windows\\uninstall.ini", "Other\r\n||||\r\n");
    os.create_folder("C:\\Users\\User\\Documents");
    fuzz::put_file(os, "C:\\Users\\User\\Documents\\keep.dat", "keep");
    os.create_folder("C:\\Program Files\\Tool");
    for (const auto& [link, target] : kPlantedLinks) os.create_link(link, target);
    return true;
  }();
  static_cast<void>(made);
  return os;
}

// The folder of an absolute drive path that ends in a file name, as a
// machine path; empty for any other path.
std::string folder_of_absolute(const std::string& path) {
  if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' ||
      (path[2] != '\\' && path[2] != '/')) {
    return std::string();
  }
  const std::size_t cut = path.find_last_of("\\/");
  const std::string name = path.substr(cut + 1);
  if (name.find_first_not_of(". ") == std::string::npos) return std::string();  // no file name
  return fuzz::machine_path(path.substr(0, cut + 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> parts =
      fuzz::split_parts(std::string(reinterpret_cast<const char*>(data), size), 5);
  os::MemoryOs& before = machine_before();
  static const std::string payload = payload_folder(before);
  package::DataFiles data_files;
  const char* names[] = {"fileinfo.txt", "uninstall.txt", "shortcuts.txt", "macros.txt"};
  for (int i = 0; i < 4; ++i) data_files.put(names[i], parts[i]);
  os::MemoryOs os = before.clone();
  const std::unique_ptr<os::File> archive = os.open_file(payload + package::kPayloadArchiveName,
                                                         os::OpenMode::read);

  // The data files as the extraction keeps them: decoded to UTF-8.
  const std::vector<package::MacroRecord> table =
      package::macro_records_from_text(*data_files.find("macros.txt"));
  installer::InstallRequest request;
  request.data_files = &data_files;
  request.archive.file = archive.get();
  request.payload_folder = payload;
  const std::string typed = parts[4].substr(0, parts[4].find('\n'));
  request.install_folder =
      installer::InstallFolder(typed.empty() ? "C:\\Program Files\\Tool" : typed);
  request.has_registered_name = package::registered_name(table, &request.registered_name);
  request.install_entry_count = 5;
  request.macros = &table;
  YesCallback callback;
  installer::run_install(os, request, callback);

  // The allowed files, from the data files expanded as the engine expands
  // them. Folders are made along a path as written, so with ".." parts
  // every folder it passes through is named too.
  std::vector<std::string> files;
  auto name_along = [&files](const std::string& path) {
    for (std::string& named : fuzz::machine_paths_along(path)) files.push_back(std::move(named));
  };
  const std::string& folder = request.install_folder.path();
  name_along(folder + package::kUninstallLogName);
  LineReader lines(package::expand_data_file(os, table, *data_files.find("fileinfo.txt"), folder));
  for (std::string line; lines.next(&line) && !package::is_file_info_end(line);) {
    name_along(package::file_info_destination(package::parse_file_info_line(line)));
  }
  std::string uninstaller;
  if (package::read_uninstaller_path(os, table, data_files, folder, &uninstaller)) {
    std::string beside = folder_of_absolute(uninstaller.substr(0, uninstaller.find('\n')));
    if (!beside.empty()) files.push_back(beside + "\\UNINSTALL.INI");
  }
  const std::string payload_path = fuzz::machine_path(payload);
  const std::string programs = fuzz::machine_path(os.special_folder(os::SpecialFolder::programs));
  const std::string desktop = fuzz::machine_path(os.special_folder(os::SpecialFolder::desktop));
  const std::string quick = fuzz::machine_path(os.special_folder(os::SpecialFolder::app_data) +
                                               "\\Microsoft\\Internet Explorer\\Quick Launch");
  for (const auto& [link, target] : kPlantedLinks) {
    const std::string target_path = fuzz::machine_path(target);
    bool named = false;
    for (const std::string& file : files) named = named || file == target_path;
    if (!named && fuzz::get_file(os, target) != fuzz::get_file(before, target)) {
      fuzz::fail(std::string("the install wrote through the planted link ") + link);
    }
  }
  for (const std::string& path : os.changed_paths_since(before)) {
    const std::string parent = path.substr(0, path.rfind('\\'));
    bool allowed = fuzz::is_within(path, payload_path) ||
                   fuzz::is_within(path, programs) ||
                   ((parent == desktop || parent == quick) && path.size() > 4 &&
                    path.compare(path.size() - 4, 4, ".LNK") == 0);
    for (const std::string& file : files) allowed = allowed || fuzz::is_within(file, path);
    if (!allowed) fuzz::fail("the install wrote " + path + ", which the package does not name");
  }
  return 0;
}
