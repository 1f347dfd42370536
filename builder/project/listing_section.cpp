// The project file's section of the settings for deployment tools.
#include "builder/project/listing_section.h"

#include "builder/project/settings_table.h"
#include "common/text_file.h"

namespace quill::project {

const char kListingSectionMarker[] = "[package listing]";

namespace {

constexpr int kListingLines = kAllSettingLines - kListingFirstLine + 1;

// A line as a reader keeps it: no line end, at most the line limit.
void put(std::string& out, const std::string& value) {
  std::string line = value.substr(0, value.find_first_of("\r\n"));
  LineReader reader(line);
  reader.next(&line);
  add_crlf_line(&out, line);
}

}  // namespace

std::string render_listing_section(const std::string* lines) {
  bool any = false;
  for (int i = 0; i < kListingLines; ++i) any = any || !lines[i].empty();
  if (!any) return std::string();
  std::string out;
  put(out, kListingSectionMarker);
  for (int i = 0; i < kListingLines; ++i) put(out, lines[i]);
  put(out, "|");
  return out;
}

void read_listing_section(LineReader& reader, std::string* lines) {
  std::string line;
  for (int i = 0; reader.next(&line) && !(!line.empty() && line[0] == '|'); ++i) {
    if (i < kListingLines) lines[i] = line;
  }
}

}  // namespace quill::project
