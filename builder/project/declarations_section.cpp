// The declarations section of the project file.
#include "builder/project/declarations_section.h"

#include <memory>

#include "common/text_file.h"

namespace quill::project {
namespace {

// A record line starts with a kind word and a tab, so neither marker can be
// a record.
const char kStart[] = "[declarations]";
const char kEnd[] = "[end of declarations]";

// The start of the line that ends at `end` (exclusive of its line end).
std::size_t line_start(const std::string& bytes, std::size_t end) {
  const std::size_t lf = end == 0 ? std::string::npos : bytes.rfind('\n', end - 1);
  return lf == std::string::npos ? 0 : lf + 1;
}

// `bytes` without the line end at its end.
std::size_t content_end(const std::string& bytes, std::size_t end) {
  if (end > 0 && bytes[end - 1] == '\n') --end;
  if (end > 0 && bytes[end - 1] == '\r') --end;
  return end;
}

}  // namespace

void append_declarations_section(const package::Declarations& declarations, std::string* out) {
  if (declarations.empty()) return;
  add_crlf_line(out, kStart);
  *out += to_crlf(package::declarations_text(declarations));
  add_crlf_line(out, kEnd);
}

bool read_project_bytes(os::Os& os, const std::string& path, std::string* bytes) {
  bytes->clear();
  std::unique_ptr<os::File> file = os.open_file(path, os::OpenMode::read);
  if (!file) return false;
  char buffer[65536];
  for (std::size_t got; (got = file->read(buffer, sizeof buffer)) > 0;) bytes->append(buffer, got);
  return true;
}

bool take_declarations_section(std::string* bytes, package::Declarations* declarations, std::string* error) {
  *declarations = package::Declarations();
  std::size_t end = content_end(*bytes, bytes->size());
  std::size_t at = line_start(*bytes, end);
  if (bytes->compare(at, end - at, kEnd) != 0) return true;
  const std::size_t records_end = at;
  // Back to the nearest start line: no record line can look like one.
  for (;;) {
    if (at == 0) {
      *error = "the declarations section has no start";
      return false;
    }
    end = content_end(*bytes, at);
    at = line_start(*bytes, end);
    if (bytes->compare(at, end - at, kStart) == 0) break;
  }
  const std::size_t records_start = bytes->find('\n', at) + 1;
  const bool ok = package::parse_declarations(
      std::string_view(*bytes).substr(records_start, records_end - records_start), declarations, error);
  bytes->resize(at);
  return ok;
}

}  // namespace quill::project
