// Uninstall log reading and removal on an installed machine with the user's
// own files beside the installation and links planted in the installation's
// folders. Properties: nothing changes that is not a listed entry or inside
// one; nothing changes outside the places of the installation (below the
// install folder when the log lies in it, a program group, a shortcut, the
// log itself); files go only when listed themselves or inside a listed
// program group; no link is followed (what each leads to stays as it was);
// no protected folder goes; another installation's uninstall entry stays.
#include "tests/fuzz/fuzz_common.h"
#include "package/uninstall_key.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/removal.h"

namespace {

class QuietObserver : public quill::uninstaller::RemovalObserver {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  void set_status(const std::string&) override {}
  void finished() override {}
};

const char kApp[] = "C:\\Program Files\\Tool";

// The folders no removal may take: the machine's own and the temporary one.
std::vector<std::string> protected_folders(quill::os::Os& os) {
  using quill::os::SpecialFolder;
  std::vector<std::string> folders;
  for (auto which : {SpecialFolder::program_files, SpecialFolder::windows, SpecialFolder::system,
                     SpecialFolder::desktop, SpecialFolder::programs, SpecialFolder::app_data,
                     SpecialFolder::profile}) {
    folders.push_back(os.special_folder(which));
  }
  folders.push_back(os.temp_folder());
  return folders;
}

// Links someone planted in the installation's folders, each leading to
// something of another's.
std::vector<std::pair<std::string, std::string>> planted_links(quill::os::Os& os) {
  const std::string programs = os.special_folder(quill::os::SpecialFolder::programs);
  return {{std::string(kApp) + "\\data\\more", "C:\\Users\\User\\Documents"},
          {std::string(kApp) + "\\old.exe", "C:\\Program Files\\Other\\keep.dat"},
          {programs + "\\Tool\\more", "C:\\Program Files\\Other"},
          {os.special_folder(quill::os::SpecialFolder::desktop) + "\\Tool.lnk", "C:\\Empty"}};
}

// The installed machine with the user's own files beside the installation,
// but without its uninstall log. Made once; each input's log is written into
// it and the removal runs on a clone, so that what the removal changed is
// what the clone holds differently.
quill::os::MemoryOs& machine_before() {
  using namespace quill;
  static os::MemoryOs os;
  static const bool made = [] {
    const std::string app = kApp;
    const std::string programs = os.special_folder(os::SpecialFolder::programs);
    for (const std::string& folder : {app, app + "\\data", programs + "\\Tool", programs + "\\Other Group",
                                      std::string("C:\\Program Files\\Other"),
                                      std::string("C:\\Users\\User\\Documents"), std::string("C:\\Empty")}) {
      os.create_folder(folder);
    }
    for (const std::string& file : {app + "\\tool.exe", app + "\\data\\a.dat", programs + "\\Tool\\Tool.lnk",
                                    programs + "\\Other Group\\x.lnk", std::string("C:\\Program Files\\Other\\keep.dat"),
                                    std::string("C:\\Users\\User\\Documents\\keep.dat")}) {
      fuzz::put_file(os, file, "data");
    }
    for (const std::string& folder : protected_folders(os)) fuzz::put_file(os, folder + "\\keep.dat", "keep");
    os.set_read_only(app + "\\data\\a.dat", true);
    for (const auto& [link, target] : planted_links(os)) os.create_link(link, target);
    const std::string uninstall_key = package::kUninstallKey;
    os.registry_write_string(os::RegistryRoot::local_machine, uninstall_key + "\\Tool", "DisplayName", "Tool");
    os.registry_write_string(os::RegistryRoot::local_machine, uninstall_key + "\\Other", "DisplayName", "Other");
    return true;
  }();
  static_cast<void>(made);
  return os;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  os::MemoryOs& before = machine_before();
  static const std::vector<std::string> protected_list = protected_folders(before);
  static const std::string programs_path = fuzz::machine_path(before.special_folder(os::SpecialFolder::programs));
  const std::string log_path = std::string(kApp) + "\\uninstall.ini";
  fuzz::put_file(before, log_path, std::string(reinterpret_cast<const char*>(data), size));

  uninstaller::UninstallLog log;
  if (uninstaller::read_uninstall_log(before, log_path, &log) != uninstaller::LogStatus::ok) return 0;
  os::MemoryOs os = before.clone();
  QuietObserver observer;
  uninstaller::FolderGuard guard(os);
  uninstaller::run_removal(os, log, guard, observer);

  // The places of the installation: the install folder counts only as the
  // log's own folder, since no uninstall entry vouches for another. Compared
  // as Windows compares folders ("Program Files." is "Program Files").
  const bool app_counts = !log.entries.empty() && !log.entries.back().damaged &&
                          uninstaller::comparable_folder_path(log.entries.back().path) ==
                              uninstaller::comparable_folder_path(kApp);
  static const std::string app_path = fuzz::machine_path(kApp);
  static const std::string desktop_path = fuzz::machine_path(before.special_folder(os::SpecialFolder::desktop));
  static const std::string quick_path = fuzz::machine_path(
      before.special_folder(os::SpecialFolder::app_data) + "\\Microsoft\\Internet Explorer\\Quick Launch");
  static const std::string log_machine_path = fuzz::machine_path(log_path);
  auto in_places = [&](const std::string& path) {
    const bool shortcut = path.size() > 4 && path.compare(path.size() - 4, 4, ".LNK") == 0;
    return (app_counts && fuzz::is_within(path, app_path)) || fuzz::is_within(path, programs_path) ||
           (shortcut && (fuzz::is_within(path, desktop_path) || fuzz::is_within(path, quick_path))) ||
           path == log_machine_path;
  };
  const std::vector<std::string> changed = os.changed_paths_since(before);
  static const std::vector<std::pair<std::string, std::string>> links = planted_links(before);
  for (const std::string& path : changed) {
    for (const auto& [link, target] : links) {
      if (fuzz::is_within(path, fuzz::machine_path(target))) fuzz::fail("removal reached " + path + " through the planted link " + link);
    }
    const os::FileStatus was = before.file_status(path);
    if (!was.exists || os.file_status(path).exists) fuzz::fail("removal added or changed " + path);
    if (!in_places(path)) fuzz::fail("removal reached " + path + ", outside the installation's places");
    bool allowed = false;
    for (const uninstaller::LogEntry& entry : log.entries) {
      const std::string listed = fuzz::machine_path(entry.path);
      if (entry.damaged || !fuzz::is_within(path, listed)) continue;
      const bool group = fuzz::is_within(listed, programs_path) && listed != programs_path;
      if (was.is_folder || path == listed || group) allowed = true;
    }
    if (!allowed) fuzz::fail("removal reached " + path + ", which no entry lists");
  }
  for (const std::string& folder : protected_list) {
    if (!os.file_status(folder).is_folder) fuzz::fail("protected folder gone: " + folder);
  }
  const std::string other_key = std::string(package::kUninstallKey) + "\\Other";
  if (!os.registry_key_exists(os::RegistryRoot::local_machine, other_key) &&
      !fuzz::same_name(log.registered_name, "Other")) {
    fuzz::fail("another installation's entry was deleted");
  }
  return 0;
}
