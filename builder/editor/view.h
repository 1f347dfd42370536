// What the editor asks of the main window after a change it made itself.
// The tree view follows the model through project::TreeObserver (insert,
// remove, label change, clear); this interface covers everything else.
//
// Win32 side: implement it on the main dialog. Each call comes on the main
// window's thread from inside an Editor command; render from the editor's
// getters (Editor::panel(), Editor::setting(), ...). Never call back
// into an Editor command from here. The defaults do nothing, so a test
// overrides only what it watches.
#pragma once

#include <string>

#include "builder/project/settings_table.h"
#include "builder/project/tree.h"

namespace quill::editor {

class EditorView {
 public:
  virtual ~EditorView() = default;
  // The selection panel changed: re-render 1002-1005, 1013, 1068 and the
  // shortcut fields 1156-1161 (texts only from here, never on a timer tick).
  virtual void panel_changed() {}
  // Make `item` the tree view's selection (kNoItem: select nothing). The
  // editor has already made it the current item; the view's own selection
  // notification that follows may call Editor::select() again harmlessly.
  virtual void select_item(project::TreeItem item) { (void)item; }
  virtual void expand_item(project::TreeItem item) { (void)item; }
  // Select tab page `tab` in the tab control and lay it out.
  virtual void select_tab(int tab) { (void)tab; }
  // The project's settings changed (new project, load): re-read every
  // control that shows a main window setting with Editor::setting(), and
  // the enabled states.
  virtual void controls_changed() {}
  // One main window setting changed (a Browse... result, the uninstaller
  // check): re-read the controls that show it.
  virtual void setting_changed(project::SettingId setting) { (void)setting; }
  // Editor::title() changed.
  virtual void title_changed() {}
  // Text for the build page's status edit 1010 ("Ready", "Aborting build...").
  virtual void set_status(const std::string& text) { (void)text; }
  // Editor::build_page() changed (a build started or ended).
  virtual void build_page_changed() {}
};

}  // namespace quill::editor
