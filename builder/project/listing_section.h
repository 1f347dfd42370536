// The project file's section of what a package tells deployment tools: the
// settings lines 49 to 51 (identifier, licence name, short description)
// after a marker line of their own, so that a project that sets none of
// them saves as it did before they existed, and builders that predate them
// read the settings and stop before the section.
#pragma once

#include <string>

#include "common/lines.h"

namespace quill::project {

extern const char kListingSectionMarker[];  // "[package listing]"

// The section for settings lines 49 to 51 (`lines` points at line 49):
// the marker, the three lines, a closing "|". Empty when all three are empty.
std::string render_listing_section(const std::string* lines);
// Reads the section's lines after its marker into `lines` (line 49 on),
// up to the closing line or the end of the file.
void read_listing_section(LineReader& reader, std::string* lines);

}  // namespace quill::project
