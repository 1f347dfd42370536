// The file tree's context menu, file properties and drag and drop.
#include "builder/ui/moves_ui.h"

#include <commctrl.h>
#include <shellapi.h>

#include "os/win32_text.h"
#include "quillset_resource.h"

namespace quill::ui {

bool TreeMoves::on_notify(const NMHDR* header) {
  switch (header->code) {
    case NM_RCLICK:
      context_menu();
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return true;
    case NM_DBLCLK:
      file_properties();
      return false;
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
      begin_drag(reinterpret_cast<const NMTREEVIEWW*>(header));
      return false;
    default: return false;
  }
}

bool TreeMoves::on_command(int id) {
  switch (id) {
    case IDM_TREE_CUT:
    case IDM_TREE_COPY:
    case IDM_TREE_PASTE:
    case IDM_TREE_MOVE_ALL_OUT:
      bulk_([&] { editor_.context_command(id); });
      return true;
    case IDM_TREE_PROPERTIES:
      file_properties();
      return true;
    case IDM_TREE_FOLDER_PROPERTIES: {
      std::string text = editor_.folder_properties();
      if (!text.empty()) show_folder_properties(instance_, window_, text);
      return true;
    }
    default: return false;
  }
}

void TreeMoves::context_menu() {
  // The item under the mouse (the tree drop-highlights it during a right
  // click) becomes the current item; the tree's selection stays.
  HTREEITEM hot = TreeView_GetDropHilight(tree_);
  project::TreeItem item = hot ? mirror_.item_of(hot) : item_at_cursor();
  if (item != project::kNoItem) editor_.point_at(item);
  HMENU menu = CreatePopupMenu();
  for (const editor::Editor::ContextEntry& entry : editor_.context_menu()) {
    if (entry.separator_before) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.command), os::wide(entry.caption).c_str());
  }
  POINT at;
  GetCursorPos(&at);
  int command = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x,
                                 at.y, window_, nullptr);
  DestroyMenu(menu);
  if (command != 0) on_command(command);
}

void TreeMoves::file_properties() {
  const project::Project& project = editor_.project();
  int slot = project.find_file_by_tree_item(editor_.current_item());
  if (editor_.current_item() == project::kNoItem || slot == project::kNoSlot) return;
  const quill::os::WideString source = os::wide(project.file(slot).source);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = window_;
  info.lpVerb = L"properties";
  info.lpFile = source.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExW(&info);
}

project::TreeItem TreeMoves::item_at_cursor() const {
  TVHITTESTINFO hit = {};
  GetCursorPos(&hit.pt);
  ScreenToClient(tree_, &hit.pt);
  HTREEITEM h = TreeView_HitTest(tree_, &hit);
  return h ? mirror_.item_of(h) : project::kNoItem;
}

void TreeMoves::begin_drag(const NMTREEVIEWW* info) {
  project::TreeItem item = mirror_.item_of(info->itemNew.hItem);
  if (!editor_.begin_drag(item)) return;
  dragged_ = item;
  drag_image_ = TreeView_CreateDragImage(tree_, info->itemNew.hItem);
  if (drag_image_) ImageList_BeginDrag(drag_image_, 0, 0, 0);
  ShowCursor(FALSE);
  SetCapture(window_);
  dragging_ = true;
  POINT at = info->ptDrag;
  ClientToScreen(tree_, &at);
  if (drag_image_) ImageList_DragEnter(nullptr, at.x, at.y);
}

void TreeMoves::end_drag(bool drop) {
  // Cleared first: releasing the capture reports its loss here again.
  dragging_ = false;
  if (drag_image_) {
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
    ImageList_Destroy(drag_image_);
    drag_image_ = nullptr;
  }
  if (GetCapture() == window_) ReleaseCapture();
  ShowCursor(TRUE);
  if (!drop) {
    TreeView_SelectDropTarget(tree_, nullptr);
    return;
  }
  const project::TreeItem target = item_at_cursor();
  const project::TreeItem dragged = dragged_;
  bulk_([&] { editor_.drop(dragged, target); });
  PostMessageW(window_, kTreeDropMessage, static_cast<WPARAM>(target), 0);
}

bool TreeMoves::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEMOVE: {
      if (!dragging_) return false;
      POINT at = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      ClientToScreen(window_, &at);
      ImageList_DragShowNolock(FALSE);
      TVHITTESTINFO hit = {};
      hit.pt = at;
      ScreenToClient(tree_, &hit.pt);
      if (HTREEITEM h = TreeView_HitTest(tree_, &hit)) TreeView_SelectDropTarget(tree_, h);
      ImageList_DragMove(at.x, at.y);
      ImageList_DragShowNolock(TRUE);
      return true;
    }
    case WM_LBUTTONUP:
      if (!dragging_) return false;
      end_drag(true);
      return true;
    case WM_CAPTURECHANGED:
      // A drag whose capture went elsewhere ends without a drop.
      if (!dragging_) return false;
      end_drag(false);
      return true;
    default:
      if (message != kTreeDropMessage) return false;
      TreeView_SelectDropTarget(tree_, nullptr);
      editor_.select(static_cast<project::TreeItem>(wparam));
      mirror_.select(static_cast<project::TreeItem>(wparam));
      return true;
  }
}

}  // namespace quill::ui
