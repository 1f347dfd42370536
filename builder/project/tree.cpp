// The portable file tree.
#include "builder/project/tree.h"

#include <cassert>

namespace quill::project {

namespace {

std::string fold(const std::string& label) {
  std::string folded = label;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

const std::string kEmpty;

}  // namespace

Tree::Tree(const Tree& other)
    : nodes_(other.nodes_), top_(other.top_), next_item_(other.next_item_), next_order_(other.next_order_) {}

Tree& Tree::operator=(const Tree& other) {
  if (this == &other) return *this;
  TreeObserver* observer = observer_;
  nodes_ = other.nodes_;
  top_ = other.top_;
  next_item_ = other.next_item_;
  next_order_ = other.next_order_;
  observer_ = observer;
  if (observer_) {
    // The view starts over from the new content, parents before children.
    observer_->tree_cleared();
    std::vector<TreeItem> pending = children(kNoItem);
    for (std::size_t i = 0; i < pending.size(); ++i) {
      observer_->node_inserted(pending[i]);
      for (TreeItem child : children(pending[i])) pending.push_back(child);
    }
  }
  return *this;
}

std::map<Tree::SortKey, TreeItem>& Tree::children_of(TreeItem parent) {
  if (parent == kNoItem) return top_;
  return nodes_.at(parent).children;
}

const std::map<Tree::SortKey, TreeItem>* Tree::children_of(TreeItem parent) const {
  if (parent == kNoItem) return &top_;
  auto it = nodes_.find(parent);
  return it == nodes_.end() ? nullptr : &it->second.children;
}

TreeItem Tree::insert(TreeItem parent, const std::string& label, NodeKind kind) {
  if (parent != kNoItem && !contains(parent)) return kNoItem;
  TreeItem item = next_item_++;
  Node node;
  node.parent = parent;
  node.label = label;
  node.kind = kind;
  node.key = SortKey(fold(label), next_order_++);
  children_of(parent).emplace(node.key, item);
  nodes_.emplace(item, std::move(node));
  if (observer_) observer_->node_inserted(item);
  return item;
}

void Tree::remove(TreeItem item) {
  auto it = nodes_.find(item);
  if (it == nodes_.end()) return;
  // Children first, depth first; copy the list because removal edits it.
  std::vector<TreeItem> kids;
  for (const auto& child : it->second.children) kids.push_back(child.second);
  for (TreeItem kid : kids) remove(kid);
  it = nodes_.find(item);
  children_of(it->second.parent).erase(it->second.key);
  nodes_.erase(it);
  if (observer_) observer_->node_removed(item);
}

void Tree::set_label(TreeItem item, const std::string& label) {
  auto it = nodes_.find(item);
  if (it == nodes_.end()) return;
  it->second.label = label;
  if (observer_) observer_->node_label_changed(item);
}

void Tree::clear() {
  nodes_.clear();
  top_.clear();
  if (observer_) observer_->tree_cleared();
}

TreeItem Tree::parent(TreeItem item) const {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? kNoItem : it->second.parent;
}

const std::string& Tree::label(TreeItem item) const {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? kEmpty : it->second.label;
}

NodeKind Tree::kind(TreeItem item) const {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? NodeKind::file : it->second.kind;
}

std::vector<TreeItem> Tree::children(TreeItem parent) const {
  std::vector<TreeItem> result;
  const auto* kids = children_of(parent);
  if (kids) {
    result.reserve(kids->size());
    for (const auto& child : *kids) result.push_back(child.second);
  }
  return result;
}

TreeItem Tree::previous_sibling(TreeItem item) const {
  auto it = nodes_.find(item);
  if (it == nodes_.end()) return kNoItem;
  const auto* siblings = children_of(it->second.parent);
  assert(siblings);
  auto pos = siblings->find(it->second.key);
  if (pos == siblings->begin()) return kNoItem;
  return std::prev(pos)->second;
}

}  // namespace quill::project
