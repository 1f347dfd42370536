// The tree view mirror.
#include "builder/ui/tree_view.h"

#include <string>
#include <vector>

#include "os/win32_text.h"

namespace quill::ui {

namespace {
// Icons of bitmap 110.
constexpr int kClosedFolderIcon = 0;
constexpr int kOpenFolderIcon = 1;
constexpr int kFileIcon = 2;
}  // namespace

void TreeViewMirror::attach(HWND tree, const project::Tree* model) {
  tree_ = tree;
  model_ = model;
}

void TreeViewMirror::detach() {
  tree_ = nullptr;
  handles_.clear();
}

HTREEITEM TreeViewMirror::handle(project::TreeItem item) const {
  auto it = handles_.find(item);
  return it == handles_.end() ? nullptr : it->second;
}

project::TreeItem TreeViewMirror::item_of(HTREEITEM handle) const {
  if (!handle) return project::kNoItem;
  TVITEMW tv = {};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = handle;
  if (!SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return project::kNoItem;
  return static_cast<project::TreeItem>(tv.lParam);
}

HTREEITEM TreeViewMirror::insert_view_item(project::TreeItem item) {
  const project::TreeItem parent = model_->parent(item);
  const project::TreeItem before = model_->previous_sibling(item);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent == project::kNoItem ? TVI_ROOT : handle(parent);
  HTREEITEM after = before == project::kNoItem ? nullptr : handle(before);
  insert.hInsertAfter = after ? after : TVI_FIRST;
  const bool file = model_->kind(item) == project::NodeKind::file;
  quill::os::WideString label = os::wide(model_->label(item));
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  insert.item.pszText = &label[0];
  insert.item.iImage = file ? kFileIcon : kClosedFolderIcon;
  insert.item.iSelectedImage = file ? kFileIcon : kOpenFolderIcon;
  insert.item.lParam = static_cast<LPARAM>(item);
  HTREEITEM h = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (h) handles_[item] = h;
  return h;
}

void TreeViewMirror::insert_subtree(project::TreeItem item) {
  insert_view_item(item);
  for (project::TreeItem child : model_->children(item)) insert_subtree(child);
}

void TreeViewMirror::node_inserted(project::TreeItem item) {
  if (!tree_) return;
  Quiet quiet(*this);
  insert_view_item(item);
}

void TreeViewMirror::node_removed(project::TreeItem item) {
  if (!tree_) return;
  auto it = handles_.find(item);
  if (it == handles_.end()) return;
  // Not quiet: when the selected item goes, the control selects another one
  // and reports it, and the editor takes that as the new current item.
  TreeView_DeleteItem(tree_, it->second);
  handles_.erase(it);
}

void TreeViewMirror::tree_cleared() {
  if (!tree_) return;
  Quiet quiet(*this);
  TreeView_DeleteAllItems(tree_);
  handles_.clear();
}

void TreeViewMirror::node_label_changed(project::TreeItem item) {
  if (!tree_) return;
  HTREEITEM h = handle(item);
  if (!h) return;
  Quiet quiet(*this);
  // A renamed node keeps its place in the model as in the view; should the
  // two ever disagree, the view's item (with its subtree) is put where the
  // model has it.
  const project::TreeItem before = model_->previous_sibling(item);
  HTREEITEM shown_before = TreeView_GetPrevSibling(tree_, h);
  if (item_of(shown_before) == before) {
    quill::os::WideString label = os::wide(model_->label(item));
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = h;
    tv.pszText = &label[0];
    SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return;
  }
  const bool selected = TreeView_GetSelection(tree_) == h;
  const bool expanded = (TreeView_GetItemState(tree_, h, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  std::vector<project::TreeItem> stale = {item};
  for (std::size_t i = 0; i < stale.size(); ++i) {
    for (project::TreeItem child : model_->children(stale[i])) stale.push_back(child);
  }
  TreeView_DeleteItem(tree_, h);
  for (project::TreeItem gone : stale) handles_.erase(gone);
  insert_subtree(item);
  if (expanded) TreeView_Expand(tree_, handle(item), TVE_EXPAND);
  if (selected) TreeView_SelectItem(tree_, handle(item));
}

void TreeViewMirror::select(project::TreeItem item) {
  if (!tree_) return;
  Quiet quiet(*this);
  HTREEITEM h = item == project::kNoItem ? nullptr : handle(item);
  if (TreeView_GetSelection(tree_) != h) TreeView_SelectItem(tree_, h);
}

void TreeViewMirror::expand(project::TreeItem item) {
  if (HTREEITEM h = handle(item)) {
    Quiet quiet(*this);
    TreeView_Expand(tree_, h, TVE_EXPAND);
  }
}

}  // namespace quill::ui
