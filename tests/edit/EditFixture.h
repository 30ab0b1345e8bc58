#pragma once

// Helpers for tests of the editing operations and the dispatcher: block trees from short
// snippets, trees dumped as indented text, and fakes of the ports.

#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "edit/Copy.h"
#include "edit/Delete.h"
#include "edit/Rename.h"
#include "edit/Zero.h"
#include "model/Block.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "platform/ProfileStore.h"
#include "platform/Ui.h"

namespace tessary::testing {

// Answers message boxes from a queue (OK when it is empty) and logs every one.
class FakeUi : public Ui {
  public:
    std::deque<MessageAnswer> answers;
    std::vector<std::string> log;  // "[caption] text"
    int waitCursors = 0;
    int arrowCursors = 0;

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons,
                              MessageIcon) override {
        log.push_back("[" + caption + "] " + text);
        if (answers.empty()) {
            return MessageAnswer::Ok;
        }
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void OpenProgress(const std::string&, bool) override {}
    void SetProgressText(const std::string&) override {}
    void SetProgressPosition(int) override {}
    void CloseProgress() override {}
    void SetWaitCursor() override { ++waitCursors; }
    void SetArrowCursor() override { ++arrowCursors; }
    std::optional<Preferences> RunPreferencesDialog(const Preferences&) override {
        return std::nullopt;
    }
    void ShowAbout() override {}
    void OpenHelpPage() override {}
};

class FakeStore : public ProfileStore {
  public:
    std::int32_t ReadNumber(const std::string&, const std::string& key,
                            std::int32_t defaultValue) override {
        const auto found = values.find(key);
        return found == values.end() ? defaultValue : found->second;
    }
    void WriteNumber(const std::string&, const std::string& key, std::int32_t value) override {
        values[key] = value;
    }
    std::map<std::string, std::int32_t> values;
};

// The block tree of a file's text, read as a load reads it.
inline Block ParseTree(std::string text) {
    Block root;
    LineSource source(text.data(), text.size());
    std::string_view line;
    while (source.ReadLine(line)) {
        if (line.find('{') != std::string_view::npos) {
            break;
        }
    }
    root.ParseBlock(source);
    root.hasBlock = 1;
    return root;
}

// The lines of a subtree (the root's own line left out), four spaces per level; braces are
// not shown.
inline std::string Dump(const Block& root) {
    std::string out;
    struct Entry {
        const Block* block;
        int depth;
    };
    std::vector<Entry> pending;
    for (auto it = root.children.rbegin(); it != root.children.rend(); ++it) {
        pending.push_back({&*it, 0});
    }
    while (!pending.empty()) {
        const Entry entry = pending.back();
        pending.pop_back();
        out += std::string(static_cast<std::size_t>(entry.depth) * 4, ' ') + entry.block->tag;
        if (!entry.block->data.empty()) {
            out += " " + entry.block->data;
        }
        out += "\n";
        const auto& children = entry.block->children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            pending.push_back({&*it, entry.depth + 1});
        }
    }
    return out;
}

// The Block reached from `root` by line keys ("actor lHand:1", "channels ", ...), or none.
inline Block* At(Block& root, std::initializer_list<std::string_view> keys) {
    Block* block = &root;
    for (std::string_view key : keys) {
        block = block->FindNthChild(key, 0, Match::LineKey);
        if (block == nullptr) {
            return nullptr;
        }
    }
    return block;
}

// Gives the Block at `keys` the tree item `item`, as a pane's tree would; returns the item.
inline TreeItem Mark(Block& root, std::initializer_list<std::string_view> keys, TreeItem item) {
    Block* block = At(root, keys);
    if (block != nullptr) {
        block->treeItem = item;
    }
    return block != nullptr ? item : 0;
}

// Two linked panes holding block trees, as after two loads.
struct TwoPanes {
    FakeUi ui;
    FakeStore store;
    FigureFile left{ui, store};
    FigureFile right{ui, store};

    TwoPanes() {
        left.otherPane = &right;
        right.otherPane = &left;
    }

    static void Fill(FigureFile& file, const std::string& text, std::int32_t viewKind,
                     std::string suffix = "") {
        file.root = ParseTree(text);
        file.viewKind = viewKind;
        file.loaded = 1;
        file.figureSuffix = std::move(suffix);
    }
};

}  // namespace tessary::testing
