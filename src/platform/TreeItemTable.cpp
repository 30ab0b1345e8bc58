#include "platform/TreeItemTable.h"

#include <algorithm>
#include <limits>

namespace tessary {

TreeItemTable::Node* TreeItemTable::Find(TreeItem item) {
    return const_cast<Node*>(static_cast<const TreeItemTable*>(this)->Find(item));
}

const TreeItemTable::Node* TreeItemTable::Find(TreeItem item) const {
    if (item < base_ || item - base_ >= nodes_.size()) {
        return nullptr;
    }
    const Node& node = nodes_[item - base_];
    return node.alive ? &node : nullptr;
}

TreeItem& TreeItemTable::FirstChildOf(TreeItem parent) {
    return parent == 0 ? topFirst_ : Find(parent)->firstChild;
}

TreeItem& TreeItemTable::LastChildOf(TreeItem parent) {
    return parent == 0 ? topLast_ : Find(parent)->lastChild;
}

TreeItem TreeItemTable::Insert(TreeItem parent, std::string_view text, int image) {
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
    Node& node = nodes_.emplace_back();
    node.text.assign(text);
    node.image = image;
    node.parent = parent;
    node.alive = true;
    node.prevSibling = last;
    node.order = nextOrder_++;
    if (last != 0) {
        Find(last)->nextSibling = item;
    } else {
        FirstChildOf(parent) = item;
    }
    LastChildOf(parent) = item;
    ++liveCount_;
    return item;
}

void TreeItemTable::Clear() {
    base_ += nodes_.size();
    nodes_.clear();
    nodes_.shrink_to_fit();
    topFirst_ = topLast_ = 0;
    liveCount_ = 0;
    index_.clear();
    indexed_ = 0;
}

void TreeItemTable::Unlink(TreeItem item) {
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

std::vector<TreeItem> TreeItemTable::Remove(TreeItem item) {
    std::vector<TreeItem> removed;
    if (Find(item) == nullptr) {
        return removed;
    }
    Unlink(item);
    // The subtree is walked by its links, without recursion: a deep subtree cannot exhaust
    // the stack.
    removed.push_back(item);
    for (std::size_t i = 0; i < removed.size(); ++i) {
        for (TreeItem child = Find(removed[i])->firstChild; child != 0;
             child = Find(child)->nextSibling) {
            removed.push_back(child);
        }
    }
    for (TreeItem gone : removed) {
        *Find(gone) = Node{};
    }
    liveCount_ -= removed.size();
    return removed;
}

void TreeItemTable::SetText(TreeItem item, std::string_view text) {
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

std::vector<TreeItem> TreeItemTable::SortTopLevel() {
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
    return items;
}

void TreeItemTable::IndexNewItems() const {
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

bool TreeItemTable::DisplayedBefore(TreeItem a, TreeItem b) const {
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

TreeItem TreeItemTable::FindByText(std::string_view text) const {
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

}  // namespace tessary
