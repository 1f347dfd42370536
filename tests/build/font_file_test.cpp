// Fonts that travel: which faces are looked up and where their files are found.
#include "builder/project/font_file.h"

#include <gtest/gtest.h>

#include "../project/sandbox.h"

namespace quill::project {
namespace {

using quill::testing::Sandbox;

TEST(FontFile, StandardFacesRegistryAndFolderSearch) {
  for (const char* face : {"Arial", "arial", "Times New Roman", "timesnewroman", "Tahoma"}) {
    EXPECT_TRUE(is_standard_face(face)) << face;
  }
  for (const char* face : {"Quill Script", "DejaVu Sans", "Arial Narrow", ""}) {
    EXPECT_FALSE(is_standard_face(face)) << face;
  }

  Sandbox box;
  FontLines font;
  font.face = "Quill Script";
  font.weight = "700";
  const std::string fonts = box.root() + "/fonts";
  std::vector<std::string> folders = {box.root() + "/none", fonts};
  EXPECT_EQ(find_font_file(box.os(), font, folders), "");
  // A regular file, deep down; then the bold one, which wins for a bold font.
  box.write("fonts/a/b/QuillScript-Regular.ttf", "regular");
  box.write("fonts/a/notes.txt", "Quill Script");
  box.write("fonts/QuillScript.pdf", "no font");
  EXPECT_EQ(find_font_file(box.os(), font, folders), fonts + "/a/b/QuillScript-Regular.ttf");
  box.write("fonts/z/quill_script_bold.TTF", "bold");
  EXPECT_EQ(find_font_file(box.os(), font, folders), fonts + "/z/quill_script_bold.TTF");
  font.weight = "400";
  EXPECT_EQ(find_font_file(box.os(), font, folders), fonts + "/a/b/QuillScript-Regular.ttf");
  // Too deep to be searched.
  box.write("fonts/1/2/3/4/Deep Face.ttf", "deep");
  font.face = "Deep Face";
  EXPECT_EQ(find_font_file(box.os(), font, folders), "");

  // The system's font list names the file: bare names lie in the fonts folder.
  const char key[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
  box.write("C/Windows/Fonts/qscript.ttf", "listed");
  font.face = "Quill Script";
  box.os().registry_create_key(os::RegistryRoot::local_machine, key);
  box.os().registry_write_string(os::RegistryRoot::local_machine, key, "Quill Script (TrueType)", "qscript.ttf");
  EXPECT_EQ(find_font_file(box.os(), font, folders), "C:\\Windows\\Fonts\\qscript.ttf");
  // A listed file that is gone is passed over.
  box.os().registry_write_string(os::RegistryRoot::local_machine, key, "Quill Script (TrueType)", "gone.ttf");
  EXPECT_EQ(find_font_file(box.os(), font, folders), fonts + "/a/b/QuillScript-Regular.ttf");
}

}  // namespace
}  // namespace quill::project
