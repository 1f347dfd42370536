// Macro expansion over os::Os: special folders, registry values, data files.
#include "package/macros.h"

#include <cstring>

#include "common/text_file.h"
#include "common/limits.h"

namespace quill::package {

namespace {

struct BuiltIn {
  const char* name;
  bool is_install_folder;
  os::SpecialFolder folder;
  const char* below = "";  // appended to the special folder
};

// Tried in this order at every '%'.
const BuiltIn kBuiltIns[] = {
    {"%program files%", false, os::SpecialFolder::program_files},
    {"%windows%", false, os::SpecialFolder::windows},
    {"%system%", false, os::SpecialFolder::system},
    {"%install path%", true, os::SpecialFolder::program_files},
    // The user's own programs folder, where a per-user install goes.
    {"%user programs%", false, os::SpecialFolder::local_app_data, "\\Programs"},
};

std::string registry_text(os::Os& os, const MacroRecord& record) {
  os::RegistryRoot root;
  if (!registry_root_from_name(record.value, &root)) return std::string();
  std::string value;
  if (os.registry_read_string(root, record.key, record.value_name, &value, kMaxPathLength) !=
      os::Error::none) {
    return std::string();
  }
  // The value's text ends at its first zero byte and never exceeds 259 characters.
  value.resize(strnlen(value.c_str(), kMaxPathLength));
  // A line break (or any other control character) in a value that a user
  // may write would add lines to the data file it lands in: such a value
  // reads as one that cannot be read.
  for (char c : value) {
    if (static_cast<unsigned char>(c) < 0x20) return std::string();
  }
  return value;
}

}  // namespace

bool registry_root_from_name(const std::string& name, os::RegistryRoot* root) {
  static const struct {
    const char* name;
    os::RegistryRoot root;
  } kRoots[] = {
      {"HKEY_CLASSES_ROOT", os::RegistryRoot::classes_root},
      {"HKEY_CURRENT_USER", os::RegistryRoot::current_user},
      {"HKEY_LOCAL_MACHINE", os::RegistryRoot::local_machine},
      {"HKEY_USERS", os::RegistryRoot::users},
      {"HKEY_CURRENT_CONFIG", os::RegistryRoot::current_config},
  };
  for (const auto& entry : kRoots) {
    if (name == entry.name) {
      *root = entry.root;
      return true;
    }
  }
  return false;
}

std::string expand_macros(os::Os& os, const std::vector<MacroRecord>& table,
                          const std::string& text, std::string install_folder) {
  // Replacements only ever touch text before the scan position, so the scan
  // reads the input as it is and the result is built behind it: linear in
  // the text's length however many macros it holds.
  std::string out;
  out.reserve(text.size() + text.size() / 8);

  std::size_t done = 0;  // input consumed so far
  std::size_t p = text.find('%');
  while (p != std::string::npos) {
    out.append(text, done, p - done);
    done = p;
    bool unmatched = true;
    for (const BuiltIn& macro : kBuiltIns) {
      std::size_t length = std::strlen(macro.name);
      if (text.compare(done, length, macro.name) != 0) continue;
      if (macro.is_install_folder) {
        // The shortened path is kept for the rest of this expansion.
        if (!install_folder.empty() && install_folder.back() == '\\') install_folder.pop_back();
        out += install_folder;
      } else {
        const std::string folder = os.special_folder(macro.folder);
        out += folder;
        if (!folder.empty()) out += macro.below;
      }
      done += length;
      unmatched = false;
      break;
    }

    // One walk of the table at the current position; each replacement moves
    // the position behind the inserted text for the records that follow.
    // Only names that begin with '%' can ever stand at a macro's start.
    for (const MacroRecord& record : table) {
      if (record.name.empty() || record.name[0] != '%') continue;
      if (text.compare(done, record.name.size(), record.name) != 0) continue;
      out += record.is_registry_macro() ? registry_text(os, record) : record.value;
      done += record.name.size();
      unmatched = false;
    }

    if (unmatched) {
      out += '%';
      done += 1;
    }
    p = text.find('%', done);
  }
  out.append(text, done, std::string::npos);
  return out;
}

void expand_macros_in_file(os::Os& os, const std::vector<MacroRecord>& table,
                           const std::string& file_path, const std::string& install_folder) {
  os::FileStatus status = os.file_status(file_path);
  if (!status.exists || status.is_folder) return;
  // Larger files than the classic 128 KiB buffer are expanded fully: a long
  // file list must not keep literal macros in its destination folders.
  std::string text;
  if (!read_text_file(os, file_path, static_cast<std::size_t>(status.size), &text)) return;
  write_text_file(os, file_path, expand_macros(os, table, text, install_folder));
}

std::string expand_data_file(os::Os& os, const std::vector<MacroRecord>& table,
                             const std::string& bytes, const std::string& install_folder) {
  const std::string text = text_from_bytes(bytes, std::string::npos);
  return crlf_line_ends(expand_macros(os, table, text, install_folder));
}

}  // namespace quill::package
