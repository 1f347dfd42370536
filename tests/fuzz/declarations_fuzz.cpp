// The declarations reader on any bytes: what it accepts is within its
// limits, passes the same checks one declaration at a time, and writes back
// to a text that reads the same.
#include "package/declarations.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quill;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  package::Declarations d;
  std::string error;
  if (!package::parse_declarations(input, &d, &error)) {
    if (error.empty()) fuzz::fail("refused without a reason");
    return 0;
  }
  const std::size_t count = d.registry_values.size() + d.associations.size() + d.paths.size() + d.variables.size();
  if (count > package::kMaxDeclarations) fuzz::fail("more records than the limit");
  for (const auto& r : d.registry_values) {
    if (!package::declaration_error(r).empty()) fuzz::fail("accepted a bad registry value");
  }
  for (const auto& a : d.associations) {
    if (!package::declaration_error(a).empty()) fuzz::fail("accepted a bad association");
  }
  for (const auto& p : d.paths) {
    if (!package::declaration_error(p).empty()) fuzz::fail("accepted a bad PATH entry");
  }
  for (const auto& v : d.variables) {
    if (!package::declaration_error(v).empty()) fuzz::fail("accepted a bad variable");
  }
  const std::string text = package::declarations_text(d);
  package::Declarations again;
  if (!package::parse_declarations(text, &again, &error) || package::declarations_text(again) != text) {
    fuzz::fail("the written text does not read back the same");
  }
  return 0;
}
