// Macro expansion: the input is both the macro table ("macros.txt") and the
// text, expanded as a string and as a file in place. Registry macros read a
// value the machine holds.
#include "package/data_files.h"
#include "package/macros.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string input(reinterpret_cast<const char*>(data), size);
  os::MemoryOs os;
  os.registry_write_string(os::RegistryRoot::local_machine, "SOFTWARE\\Tool", "Path", "C:\\Tool %x%");
  fuzz::put_file(os, "C:\\macros.txt", input);
  const std::vector<package::MacroRecord> table = package::read_macro_records(os, "C:\\macros.txt");
  const std::string expanded = package::expand_macros(os, table, input, "C:\\Program Files\\Tool\\");
  // Each replacement is inserted once and never rescanned: the result is
  // bounded by the text times the longest replacement.
  std::size_t longest = 300;
  for (const package::MacroRecord& record : table) longest = std::max(longest, record.value.size());
  if (expanded.size() > (input.size() + 1) * longest) fuzz::fail("expansion grew without bound");
  package::expand_macros_in_file(os, table, "C:\\macros.txt", "C:\\Program Files\\Tool");
  return 0;
}
