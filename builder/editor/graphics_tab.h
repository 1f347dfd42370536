// The "Installer graphics" page: the list of pictures, the selected
// picture's step, background flag and placement, and when its controls are
// enabled. The Editor owns one GraphicsPage and changes it through its
// picture commands (Editor::add_image() and the others, graphics_tab.cpp).
//
// Win32 side: after every picture command, re-render the page:
//  - list 1011 from `items` (text, item data = slot) when `list_version`
//    changed, 1012 from `image_file`;
//  - the detail fields (1155's entry step - 1, 1114 / 1115 with x and y,
//    check 1109, the radio of the mode) from Editor::selected_image() only
//    when `shown_version` changed, so that typing in 1114 / 1115 is never
//    overwritten;
//  - check 1109 from the selected image after a background click (a "No"
//    to the question clears it again);
//  - enabled states from graphics_enabled().
// Timer 1 also calls Editor::image_sync_tick(text of 1114, text of 1115).
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace quill::editor {

struct ImageListItem {
  std::string text;  // the path after its last backslash
  int slot;          // the project's image slot
};

struct GraphicsPage {
  std::vector<ImageListItem> items;  // list 1011, in the order of adding
  int selected = -1;                 // list position, -1: none
  int slot = project::kImageSlots;   // the selected position's slot
  std::string image_file;            // 1012
  bool sync = false;                 // timer 1 writes X and Y back
  int list_version = 0;              // grows whenever `items` changes
  int shown_version = 0;             // grows whenever the details are shown anew
};

// The page for a new or loaded project: every picture listed in slot
// order, nothing selected, the sync switch off.
GraphicsPage graphics_page_for(const project::Project& project, const GraphicsPage& previous);

// The enabling rule of 1155, 1109, 1110, 1022, 1012, the three radios,
// 1166, 1114 and 1115; true for every other control.
bool graphics_enabled(const project::Project& project, const GraphicsPage& page, int control);

// The display mode of a placement radio (1116 = 0, 1164 = 1, 1169 = 2); -1 for others.
int image_mode_of_radio(int control);
int image_radio_of_mode(int mode);

// The unsigned number at the start of a text; 0 when there is none.
unsigned leading_number(const std::string& text);

namespace text {
extern const char kImageFilter[];
extern const char kImagePattern[];
extern const char kBackgroundQuestion[];
extern const char kImageTableFull[];
}  // namespace text

}  // namespace quill::editor
