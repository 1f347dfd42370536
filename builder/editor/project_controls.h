// The main window controls whose contents belong to the project: which
// setting each holds and how it is read and written. The settings live in
// the project record; the window mirrors them.
//
// Win32 side: on EN_CHANGE of a text control in project_text_controls()
// call Editor::set_control_text(id, text); on BN_CLICKED of a check or radio
// in project_check_controls() call Editor::set_checked(id, state). After
// EditorView::controls_changed() fill them all from Editor::control_text()
// and Editor::is_checked(). Limit every edit to 259 characters.
#pragma once

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace quill::editor {

// 1030, 1025, 1032, 1036, 1027, 1033, 1090, 1089, 1006.
const std::vector<int>& project_text_controls();
// 1154, 1069, 1108, 1100, 1103.
const std::vector<int>& project_check_controls();

// The text of a project text control; empty for any other control.
std::string project_control_text(const project::Project& project, int control);
// Stores the text (cut to 259 characters); false for any other control.
bool set_project_control_text(project::Project& project, int control, const std::string& text);
bool project_control_checked(const project::Project& project, int control);
// Checks and radios other than 1069 (which adds or removes a file and is
// the editor's); false for any other control.
bool set_project_control_checked(project::Project& project, int control, bool on);

}  // namespace quill::editor
