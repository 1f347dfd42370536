// The project file's section of the settings for deployment tools.
#include "builder/project/listing_section.h"

#include "builder/project/language_section.h"
#include "builder/project/settings_table.h"

namespace quill::project {

const char kListingSectionMarker[] = "[package listing]";

namespace {

constexpr int kListingLines = kAllSettingLines - kListingFirstLine + 1;

}  // namespace

std::string render_listing_section(const std::string* lines) {
  bool any = false;
  for (int i = 0; i < kListingLines; ++i) any = any || !lines[i].empty();
  if (!any) return std::string();
  std::string out;
  put_section_line(out, kListingSectionMarker);
  for (int i = 0; i < kListingLines; ++i) put_section_line(out, lines[i]);
  put_section_line(out, "|");
  return out;
}

void read_listing_section(LineReader& reader, std::string* lines) {
  std::string line;
  for (int i = 0; reader.next(&line) && !(!line.empty() && line[0] == '|'); ++i) {
    if (i < kListingLines) lines[i] = line;
  }
}

}  // namespace quill::project
