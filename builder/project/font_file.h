// Fonts that travel with a package: whether the background window's face
// is one every Windows installation has, and where the author's machine
// keeps the font file of a face that is not.
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "os/os.h"

namespace quill::project {

// True for the faces that come with every Windows installation (Arial,
// Tahoma, Times New Roman, ...), compared without regard to letter case.
bool is_standard_face(const std::string& face);

// The font file of the face on this machine, empty when none is found:
// first the system's font list in the registry (the machine's and the
// user's), for the font's style and then its regular style, a bare file
// name meaning a file of the Windows fonts folder; then the files of
// `folders` and their subfolders (three levels deep) whose name, without
// its extension and without blanks, dashes and underscores, is the face's
// (with the style's "Bold" / "Italic" / "BoldItalic", or "Regular", or
// nothing after it).
std::string find_font_file(os::Os& os, const FontLines& font, const std::vector<std::string>& folders);

}  // namespace quill::project
