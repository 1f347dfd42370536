// The file tree control as a mirror of the project's tree model: every
// insertion, removal, new label and clearing of the model is repeated in the
// tree view, in the model's order. Each view item carries its model item in
// its lParam. Runs on the main window's thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <unordered_map>

#include "builder/project/tree.h"

namespace quill::ui {

class TreeViewMirror : public project::TreeObserver {
 public:
  TreeViewMirror() = default;
  // Mirrors `model` into `tree` (a tree view control). The owner of the
  // model makes this its observer, which replays the model's nodes.
  void attach(HWND tree, const project::Tree* model);
  // Stops touching the control (it is being destroyed).
  void detach();

  void node_inserted(project::TreeItem item) override;
  void node_removed(project::TreeItem item) override;
  void tree_cleared() override;
  void node_label_changed(project::TreeItem item) override;

  HTREEITEM handle(project::TreeItem item) const;
  project::TreeItem item_of(HTREEITEM handle) const;
  // True while the mirror itself changes the view (inserting, clearing,
  // relabelling): selection notices the control sends then are not the
  // author's. Removals are not covered: the control's choice of a new
  // selection when the selected item goes is reported as any other.
  bool changing() const { return changing_ > 0; }
  // Selects the view item of `item` (nothing when kNoItem) without telling
  // anyone; the caller already knows.
  void select(project::TreeItem item);
  void expand(project::TreeItem item);

 private:
  struct Quiet {
    explicit Quiet(TreeViewMirror& m) : mirror(m) { ++mirror.changing_; }
    ~Quiet() { --mirror.changing_; }
    TreeViewMirror& mirror;
  };
  HTREEITEM insert_view_item(project::TreeItem item);
  void insert_subtree(project::TreeItem item);

  HWND tree_ = nullptr;
  const project::Tree* model_ = nullptr;
  std::unordered_map<project::TreeItem, HTREEITEM> handles_;
  int changing_ = 0;
};

}  // namespace quill::ui
