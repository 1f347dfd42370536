// The install's side of the declarations on any bytes: the first byte picks
// the package's scope, the rest is "declarations.txt". What the plan
// accepts stays within the package's rights (its scope's hive, PATH entries
// below the install folder, values within the system's limits), and every
// planned value's log record reads back as written. The same bytes read as
// the uninstall log's record lines give only records of the user's or the
// machine's hive with a usable key.
#include "text/unicode.h"
#include "package/declaration_records.h"
#include "package/declarations_check.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  if (size == 0) return 0;
  const std::string folder = "C:\\Program Files\\App";
  package::InstallScope scope;
  scope.scope = (data[0] & 1) ? package::Scope::user : package::Scope::machine;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::vector<std::string> lines;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  for (const package::DeclarationRecord& r : package::declaration_records(lines)) {
    if (r.root != os::RegistryRoot::current_user && r.root != os::RegistryRoot::local_machine) {
      fuzz::fail("a record outside the two hives");
    }
    if (r.key.empty() || r.key.front() == '\\' || r.key.back() == '\\') fuzz::fail("a record with a bad key");
  }

  package::Declarations declarations;
  if (!package::parse_declarations(text, &declarations, nullptr)) return 0;
  auto expand = [&](const std::string& field) {
    std::string out = field;
    for (const char* name : {"%install path%", "%grow%"}) {
      const std::string with = name[1] == 'i' ? folder : std::string(9000, 'g');
      for (std::size_t at = out.find(name); at != std::string::npos; at = out.find(name, at + with.size())) {
        out.replace(at, std::char_traits<char>::length(name), with);
      }
    }
    return out;
  };
  package::DeclarationPlan plan;
  std::string error;
  if (!package::plan_declarations(declarations, scope, folder, expand, &plan, &error)) {
    if (error.empty()) fuzz::fail("refused without a reason");
    return 0;
  }
  const bool per_user = scope.scope == package::Scope::user;
  for (const package::PlannedValue& v : plan.values) {
    if (per_user && v.root == os::RegistryRoot::local_machine) fuzz::fail("a per-user plan writes the machine's hive");
    if (text::utf8_to_utf16(v.value.text).size() > package::kMaxValueData) fuzz::fail("an over-long value");
    package::DeclarationRecord record;
    record.what = static_cast<char>(v.kind);
    record.root = v.root;
    record.key = v.key;
    record.name = v.name;
    record.previous = v.value;
    const auto back = package::declaration_records(package::declaration_record_lines(record));
    if (back.size() != 1 || back[0].key != v.key || back[0].name != v.name ||
        back[0].previous.text != v.value.text || back[0].previous.dword != v.value.dword ||
        back[0].previous.type != v.value.type) {
      fuzz::fail("a record does not read back as written");
    }
  }
  for (const package::PlannedPath& p : plan.paths) {
    if (per_user && p.root == os::RegistryRoot::local_machine) fuzz::fail("a per-user plan changes the machine's PATH");
    if (!package::is_install_folder_or_below(p.folder, folder) || p.folder.find(';') != std::string::npos) {
      fuzz::fail("a PATH entry outside the install folder");
    }
  }
  return 0;
}
