// The file tree's context menu, drag and drop, file properties, the folder
// properties dialog (119) and the macros dialog (107).
#pragma once

#include <windows.h>

#include <functional>

#include "builder/editor/editor.h"
#include "builder/ui/tree_view.h"

namespace quill::ui {

// Posted to the main window after a drop; wParam: the model item the drop
// hit (0: none). Its handler removes the drop highlight and selects it.
// (WM_APP + 1 to + 5 carry the build's reports.)
constexpr UINT kTreeDropMessage = WM_APP + 6;
// Posted by the main window to itself after a move to a screen of another
// resolution: lay out its pixel heights and tree icons again.
constexpr UINT kPlaceAgainMessage = WM_APP + 7;

class TreeMoves {
 public:
  // `bulk` runs a command that may change many tree items with the tree's
  // redraw off.
  TreeMoves(HINSTANCE instance, HWND window, HWND tree, editor::Editor& editor, TreeViewMirror& mirror,
            std::function<void(const std::function<void()>&)> bulk)
      : instance_(instance), window_(window), tree_(tree), editor_(editor), mirror_(mirror), bulk_(std::move(bulk)) {}

  // A notice of the tree (right click, double click, drag start): true when handled.
  bool on_notify(const NMHDR* header);
  // A context menu command, also when posted by someone else: true when it was one.
  bool on_command(int id);
  // Mouse moves, button release, capture loss and the drop message.
  bool on_message(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void context_menu();
  void file_properties();
  void begin_drag(const NMTREEVIEWW* info);
  void end_drag(bool drop);
  project::TreeItem item_at_cursor() const;

  HINSTANCE instance_;
  HWND window_;
  HWND tree_;
  editor::Editor& editor_;
  TreeViewMirror& mirror_;
  std::function<void(const std::function<void()>&)> bulk_;
  bool dragging_ = false;
  project::TreeItem dragged_ = project::kNoItem;
  HIMAGELIST drag_image_ = nullptr;
};

// The macros dialog, modal, owned by `owner`.
void show_macros_dialog(HINSTANCE instance, HWND owner, editor::Editor& editor);
// The folder properties dialog showing `text`, modal, owned by `owner`.
void show_folder_properties(HINSTANCE instance, HWND owner, const std::string& text);
// The languages dialog, modal, owned by `owner`.
void show_languages_dialog(HINSTANCE instance, HWND owner, editor::Editor& editor);

}  // namespace quill::ui
