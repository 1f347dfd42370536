// An editor over a sandbox machine, a scripted prompter and a view that
// records what the editor asked of the window.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/editor/editor.h"
#include "builder/editor/scripted_prompter.h"
#include "tests/project/sandbox.h"

namespace quill::editor {

using project::SettingId;

class RecordingView : public EditorView, public project::TreeObserver {
 public:
  std::vector<std::string> log;  // "select:<item>", "tab:<n>", "status:<text>", "setting:<key>"
  int inserted = 0, removed = 0, cleared = 0, relabelled = 0;

  void select_item(project::TreeItem item) override { log.push_back("select:" + std::to_string(item)); }
  void select_tab(int tab) override { log.push_back("tab:" + std::to_string(tab)); }
  void set_status(const std::string& text) override { log.push_back("status:" + text); }
  void setting_changed(project::SettingId id) override {
    log.push_back(std::string("setting:") + project::setting_row(id).key);
  }
  void node_inserted(project::TreeItem) override { ++inserted; }
  void node_removed(project::TreeItem item) override {
    ++removed;
    if (on_removed) on_removed(item);
  }
  // Called for each removed node, as a tree view reselects meanwhile.
  std::function<void(project::TreeItem)> on_removed;
  void tree_cleared() override { ++cleared; }
  void node_label_changed(project::TreeItem) override { ++relabelled; }
  bool saw(const std::string& entry) const {
    for (const std::string& line : log) {
      if (line == entry) return true;
    }
    return false;
  }
};

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() {
    box.os().set_module_path("C:\\Quill\\Quillset.exe");
    box.write("C/Quill/uninst.dat", "uninstaller");
    editor = std::make_unique<Editor>(box.os(), prompter, view);
    editor->set_tree_observer(&view);
  }

  const project::Project& project() const { return editor->project(); }
  // The item of a folder path, kNoItem when none.
  project::TreeItem folder_item(const std::string& path) const {
    int slot = project().find_folder_by_path(path);
    return slot == project::kNoSlot ? project::kNoItem : project().folder(slot).item;
  }
  int file_slot(const std::string& name) const {
    for (int slot = 0; slot < project::kFileSlots; ++slot) {
      if (project().file_in_use(slot) && project().file(slot).name == name) return slot;
    }
    return project::kNoSlot;
  }
  // Adds a file of the sandbox through "Add file" into `folder`.
  project::TreeItem add_file(project::TreeItem folder, const std::string& relative) {
    editor->select(folder);
    prompter.files.push_back(box.write(relative, "data"));
    editor->add_file();
    std::string name = relative.substr(relative.find_last_of('/') + 1);
    int slot = project().find_file_by_name_and_folder(name, project().folder(project().find_folder_by_tree_item(folder)).path);
    return slot == project::kNoSlot ? project::kNoItem : project().file(slot).item;
  }

  testing::Sandbox box;
  ScriptedPrompter prompter;
  RecordingView view;
  std::unique_ptr<Editor> editor;
};

}  // namespace quill::editor
