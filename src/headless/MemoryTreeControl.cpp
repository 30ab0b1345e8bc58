#include "headless/MemoryTreeControl.h"

#include <algorithm>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>

namespace tessary {

MemoryTreeControl::Node* MemoryTreeControl::Find(TreeItem item) {
    return const_cast<Node*>(static_cast<const MemoryTreeControl*>(this)->Find(item));
}

const MemoryTreeControl::Node* MemoryTreeControl::Find(TreeItem item) const {
    if (item < base_ || item - base_ >= nodes_.size()) {
        return nullptr;
    }
    const Node& node = nodes_[item - base_];
    return node.alive ? &node : nullptr;
}

TreeItem& MemoryTreeControl::FirstChildOf(TreeItem parent) {
    return parent == 0 ? topFirst_ : Find(parent)->firstChild;
}

TreeItem& MemoryTreeControl::LastChildOf(TreeItem parent) {
    return parent == 0 ? topLast_ : Find(parent)->lastChild;
}

TreeItem MemoryTreeControl::InsertItem(TreeItem parent, std::string_view text, int image) {
    if (parent != 0 && Find(parent) == nullptr) {
        return 0;
    }
    // A handle is 32 bits and never reused: after four billion insertions in one run there is
    // no handle left to give, and the insertion is refused like one under a stale parent.
    const std::uint64_t next = base_ + nodes_.size();
    if (next > std::numeric_limits<TreeItem>::max()) {
        return 0;
    }
    const auto item = static_cast<TreeItem>(next);
    const TreeItem last = LastChildOf(parent);
    Node node;
    node.text.assign(text);
    node.image = image;
    node.parent = parent;
    node.alive = true;
    node.prevSibling = last;
    node.order = nextOrder_++;
    nodes_.push_back(std::move(node));
    if (last != 0) {
        Find(last)->nextSibling = item;
    } else {
        FirstChildOf(parent) = item;
    }
    LastChildOf(parent) = item;
    ++liveCount_;
    return item;
}

void MemoryTreeControl::DeleteAllItems() {
    base_ += nodes_.size();
    nodes_.clear();
    nodes_.shrink_to_fit();
    topFirst_ = topLast_ = 0;
    selected_ = 0;
    liveCount_ = 0;
    index_.clear();
    indexed_ = 0;
}

void MemoryTreeControl::Unlink(TreeItem item) {
    Node& node = *Find(item);
    if (node.prevSibling != 0) {
        Find(node.prevSibling)->nextSibling = node.nextSibling;
    } else {
        FirstChildOf(node.parent) = node.nextSibling;
    }
    if (node.nextSibling != 0) {
        Find(node.nextSibling)->prevSibling = node.prevSibling;
    } else {
        LastChildOf(node.parent) = node.prevSibling;
    }
    node.prevSibling = node.nextSibling = 0;
}

void MemoryTreeControl::DeleteItem(TreeItem item) {
    if (Find(item) == nullptr) {
        return;
    }
    Unlink(item);
    // The subtree is walked by its links, without recursion: a deep subtree cannot exhaust
    // the stack.
    std::vector<TreeItem> pending{item};
    while (!pending.empty()) {
        const TreeItem current = pending.back();
        pending.pop_back();
        Node& node = *Find(current);
        for (TreeItem child = node.firstChild; child != 0; child = Find(child)->nextSibling) {
            pending.push_back(child);
        }
        if (selected_ == current) {
            selected_ = 0;
        }
        node = Node{};
        --liveCount_;
    }
}

std::string MemoryTreeControl::GetItemText(TreeItem item) const {
    const Node* node = Find(item);
    return node != nullptr ? node->text : std::string();
}

bool MemoryTreeControl::ItemTextEquals(TreeItem item, std::string_view text) const {
    const Node* node = Find(item);
    return node != nullptr && node->text == text;
}

void MemoryTreeControl::SetItemText(TreeItem item, std::string_view text) {
    Node* node = Find(item);
    if (node == nullptr || node->text == text) {
        return;
    }
    if (item - base_ < indexed_) {
        std::vector<TreeItem>& old = index_[node->text];
        old.erase(std::remove(old.begin(), old.end(), item), old.end());
        index_[std::string(text)].push_back(item);
    }
    node->text.assign(text);
}

int MemoryTreeControl::GetItemImage(TreeItem item) const {
    const Node* node = Find(item);
    return node != nullptr ? node->image : kNoImage;
}

TreeItem MemoryTreeControl::GetParentItem(TreeItem item) const {
    const Node* node = Find(item);
    return node != nullptr ? node->parent : 0;
}

TreeItem MemoryTreeControl::GetChildItem(TreeItem item) const {
    if (item == 0) {
        return topFirst_;
    }
    const Node* node = Find(item);
    return node != nullptr ? node->firstChild : 0;
}

TreeItem MemoryTreeControl::GetNextSiblingItem(TreeItem item) const {
    const Node* node = Find(item);
    return node != nullptr ? node->nextSibling : 0;
}

bool MemoryTreeControl::ItemHasChildren(TreeItem item) const {
    const Node* node = Find(item);
    return node != nullptr && node->firstChild != 0;
}

void MemoryTreeControl::IndexNewItems() const {
    for (; indexed_ < nodes_.size(); ++indexed_) {
        const Node& node = nodes_[indexed_];
        if (node.alive) {
            auto found = index_.find(std::string_view(node.text));
            if (found == index_.end()) {
                found = index_.emplace(node.text, std::vector<TreeItem>()).first;
            }
            found->second.push_back(static_cast<TreeItem>(base_ + indexed_));
        }
    }
}

bool MemoryTreeControl::DisplayedBefore(TreeItem a, TreeItem b) const {
    // Compare the two chains of ancestors from the top level down; the first pair that
    // differs are siblings, ordered by their numbers. An ancestor comes before its items.
    auto chain = [this](TreeItem item) {
        std::vector<TreeItem> up;
        for (; item != 0; item = Find(item)->parent) {
            up.push_back(item);
        }
        return up;
    };
    const std::vector<TreeItem> chainA = chain(a);
    const std::vector<TreeItem> chainB = chain(b);
    auto ia = chainA.rbegin();
    auto ib = chainB.rbegin();
    for (; ia != chainA.rend() && ib != chainB.rend(); ++ia, ++ib) {
        if (*ia != *ib) {
            return Find(*ia)->order < Find(*ib)->order;
        }
    }
    return ia == chainA.rend() && ib != chainB.rend();
}

TreeItem MemoryTreeControl::FindItemByText(TreeItem start, std::string_view text) const {
    // Below a given item the walk is short (an actor's folders); over the whole control it
    // would visit every item once per search, which a scene of many figures makes quadratic.
    if (start != 0) {
        return TreeControl::FindItemByText(start, text);
    }
    IndexNewItems();
    const auto found = index_.find(text);
    if (found == index_.end()) {
        return 0;
    }
    std::vector<TreeItem>& items = found->second;
    TreeItem best = 0;
    std::size_t kept = 0;
    for (TreeItem item : items) {
        const Node* node = Find(item);
        if (node == nullptr || node->text != text) {
            continue;  // deleted since it was indexed
        }
        items[kept++] = item;
        if (best == 0 || DisplayedBefore(item, best)) {
            best = item;
        }
    }
    items.resize(kept);
    return best;
}

void MemoryTreeControl::SortTopLevel() {
    std::vector<TreeItem> items;
    for (TreeItem item = topFirst_; item != 0; item = Find(item)->nextSibling) {
        items.push_back(item);
    }
    std::stable_sort(items.begin(), items.end(), [this](TreeItem a, TreeItem b) {
        return TreeTextLess(Find(a)->text, Find(b)->text);
    });
    TreeItem previous = 0;
    for (TreeItem item : items) {
        Node& node = *Find(item);
        node.order = nextOrder_++;
        node.prevSibling = previous;
        node.nextSibling = 0;
        if (previous != 0) {
            Find(previous)->nextSibling = item;
        }
        previous = item;
    }
    topFirst_ = items.empty() ? 0 : items.front();
    topLast_ = previous;
}

void MemoryTreeControl::SelectItem(TreeItem item) {
    selected_ = (item == 0 || Find(item) != nullptr) ? item : 0;
}

TreeItem MemoryTreeControl::GetSelectedItem() const {
    return selected_;
}

void MemoryTreeControl::Expand(TreeItem item) {
    if (Node* node = Find(item)) {
        node->expanded = true;
    }
}

TreeItem MemoryTreeControl::GetFirstVisibleItem() const {
    return topFirst_;
}

void MemoryTreeControl::InstallImageList() {
    imageListInstalled_ = true;
}

bool MemoryTreeControl::IsValid(TreeItem item) const {
    return Find(item) != nullptr;
}

bool MemoryTreeControl::IsExpanded(TreeItem item) const {
    const Node* node = Find(item);
    return node != nullptr && node->expanded;
}

namespace {

const char* KindOfImage(int image) {
    switch (image) {
        case kImageActor:
            return "actor";
        case kImageMorph:
            return "morph";
        case kImageProp:
            return "prop";
        case kImageFolder:
            return "folder";
        case kImageChannel:
            return "channel";
        default:
            return "line";
    }
}

}  // namespace

void WriteTreeListing(const TreeControl& control, std::ostream& out) {
    std::size_t depth = 0;
    TreeItem item = control.GetChildItem(0);
    while (item != 0) {
        for (std::size_t i = 0; i < depth; ++i) {
            out << "  ";
        }
        out << '[' << KindOfImage(control.GetItemImage(item)) << "] " << control.GetItemText(item)
            << '\n';
        // Next item in display order: first child, else the next sibling of the nearest
        // ancestor that has one.
        if (TreeItem child = control.GetChildItem(item); child != 0) {
            item = child;
            ++depth;
            continue;
        }
        while (item != 0) {
            if (TreeItem next = control.GetNextSiblingItem(item); next != 0) {
                item = next;
                break;
            }
            item = control.GetParentItem(item);
            if (item != 0) {
                --depth;
            }
        }
    }
}

std::string FormatTreeListing(const TreeControl& control) {
    std::ostringstream out;
    WriteTreeListing(control, out);
    return out.str();
}

}  // namespace tessary
