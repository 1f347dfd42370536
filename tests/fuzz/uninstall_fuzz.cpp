// Uninstall log reading and removal on an installed machine with the user's
// own files beside the installation. Properties: nothing changes that is not
// a listed entry or inside one; files go only when listed themselves or
// inside a listed program group; no protected folder goes; another
// installation's uninstall entry stays.
#include "tests/fuzz/fuzz_common.h"
#include "package/uninstall_key.h"
#include "uninstaller/removal.h"

namespace {

class QuietObserver : public quill::uninstall::RemovalObserver {
 public:
  void set_progress_range(std::uint64_t) override {}
  void set_progress(std::uint64_t) override {}
  void set_status(const std::string&) override {}
  void finished() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string input(reinterpret_cast<const char*>(data), size);
  os::MemoryOs os;
  const std::string programs = os.special_folder(os::SpecialFolder::programs);
  const std::string app = "C:\\Program Files\\Tool";
  std::vector<std::string> protected_folders;
  for (auto which : {os::SpecialFolder::program_files, os::SpecialFolder::windows, os::SpecialFolder::system,
                     os::SpecialFolder::desktop, os::SpecialFolder::programs, os::SpecialFolder::app_data,
                     os::SpecialFolder::profile}) {
    protected_folders.push_back(os.special_folder(which));
  }
  protected_folders.push_back(os.temp_folder());
  for (const std::string& folder : {app, app + "\\data", programs + "\\Tool", programs + "\\Other Group",
                                    std::string("C:\\Program Files\\Other"), std::string("C:\\Users\\User\\Documents"),
                                    std::string("C:\\Empty")}) {
    os.create_folder(folder);
  }
  for (const std::string& file : {app + "\\tool.exe", app + "\\data\\a.dat", programs + "\\Tool\\Tool.lnk",
                                  programs + "\\Other Group\\x.lnk", std::string("C:\\Program Files\\Other\\keep.dat"),
                                  std::string("C:\\Users\\User\\Documents\\keep.dat")}) {
    fuzz::put_file(os, file, "data");
  }
  for (const std::string& folder : protected_folders) fuzz::put_file(os, folder + "\\keep.dat", "keep");
  os.set_read_only(app + "\\data\\a.dat", true);
  const std::string uninstall_key = package::kUninstallKey;
  os.registry_write_string(os::RegistryRoot::local_machine, uninstall_key + "\\Tool", "DisplayName", "Tool");
  os.registry_write_string(os::RegistryRoot::local_machine, uninstall_key + "\\Other", "DisplayName", "Other");
  fuzz::put_file(os, app + "\\uninstall.ini", input);

  uninstall::UninstallLog log;
  if (uninstall::read_uninstall_log(os, app + "\\uninstall.ini", &log) != uninstall::LogStatus::ok) return 0;
  const auto before = fuzz::snapshot(os);
  QuietObserver observer;
  uninstall::FolderGuard guard(os);
  uninstall::run_removal(os, log, guard, observer);
  const auto after = fuzz::snapshot(os);

  const std::string programs_path = fuzz::machine_path(programs);
  for (const std::string& path : fuzz::changed_paths(before, after)) {
    auto was = before.find(path);
    if (was == before.end() || after.count(path) != 0) fuzz::fail("removal added or changed " + path);
    const bool is_file = was->second != "<folder>";
    bool allowed = false;
    for (const uninstall::LogEntry& entry : log.entries) {
      const std::string listed = fuzz::machine_path(entry.path);
      if (entry.damaged || !fuzz::is_within(path, listed)) continue;
      const bool group = fuzz::is_within(listed, programs_path) && listed != programs_path;
      if (!is_file || path == listed || group) allowed = true;
    }
    if (!allowed) fuzz::fail("removal reached " + path + ", which no entry lists");
  }
  for (const std::string& folder : protected_folders) {
    if (!os.file_status(folder).is_folder) fuzz::fail("protected folder gone: " + folder);
  }
  if (!os.registry_key_exists(os::RegistryRoot::local_machine, uninstall_key + "\\Other") &&
      !fuzz::same_name(log.registered_name, "Other")) {
    fuzz::fail("another installation's entry was deleted");
  }
  return 0;
}
