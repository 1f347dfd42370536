// The project's file tree as a portable model: nodes with a parent, a label
// and a kind, children kept in label order. A Win32 tree view mirrors it
// through the observer; records of the project refer to its items.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quill::project {

using TreeItem = std::uint32_t;
constexpr TreeItem kNoItem = 0;  // also "the top level" as a parent

enum class NodeKind { root, folder, file };

// Told about every change, so that a view can follow the model. A view
// puts an inserted node right after previous_sibling(item) under its parent
// (first when there is none), so that its order is always the model's.
class TreeObserver {
 public:
  virtual ~TreeObserver() = default;
  virtual void node_inserted(TreeItem item) = 0;
  // Called for the node itself after all its descendants were reported.
  virtual void node_removed(TreeItem item) = 0;
  virtual void tree_cleared() = 0;
  // The node's label changed; it keeps its place among its siblings.
  virtual void node_label_changed(TreeItem item) { (void)item; }
};

class Tree {
 public:
  Tree() = default;
  // A copy (a build's snapshot, say) has no observer: the view follows the
  // original only.
  Tree(const Tree& other);
  Tree& operator=(const Tree& other);

  // Inserts a node under `parent` (kNoItem: top level), sorted by label as
  // the tree view sorts: ASCII case-insensitive, a new node after equal ones.
  // Returns kNoItem when `parent` is not a node.
  TreeItem insert(TreeItem parent, const std::string& label, NodeKind kind);
  // Removes the node and everything below it.
  void remove(TreeItem item);
  // Changes a label. The node keeps its place, as a tree view leaves an
  // item whose label was edited; later insertions sort around it.
  void set_label(TreeItem item, const std::string& label);
  void clear();

  bool contains(TreeItem item) const { return nodes_.count(item) != 0; }
  TreeItem parent(TreeItem item) const;
  const std::string& label(TreeItem item) const;
  NodeKind kind(TreeItem item) const;
  // Children in display order (kNoItem: the top-level nodes).
  std::vector<TreeItem> children(TreeItem parent) const;
  // The sibling shown just before the node, kNoItem when it is the first.
  TreeItem previous_sibling(TreeItem item) const;
  std::size_t size() const { return nodes_.size(); }

  void set_observer(TreeObserver* observer) { observer_ = observer; }

 private:
  using SortKey = std::pair<std::string, std::uint64_t>;  // folded label, order
  struct Node {
    TreeItem parent = kNoItem;
    std::string label;
    NodeKind kind = NodeKind::folder;
    SortKey key;
    std::map<SortKey, TreeItem> children;
  };
  std::map<SortKey, TreeItem>& children_of(TreeItem parent);
  const std::map<SortKey, TreeItem>* children_of(TreeItem parent) const;

  std::unordered_map<TreeItem, Node> nodes_;
  std::map<SortKey, TreeItem> top_;
  TreeItem next_item_ = 1;
  std::uint64_t next_order_ = 0;
  TreeObserver* observer_ = nullptr;
};

}  // namespace quill::project
