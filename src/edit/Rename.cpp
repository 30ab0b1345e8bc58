// Renaming a morph target, channel or prop from its tree item's label.

#include <string>

#include "edit/LineWalks.h"
#include "model/Block.h"
#include "model/Names.h"
#include "pane/FigureFile.h"

namespace tessary {

void FigureFile::RenameItem(TreeItem item, std::string_view newName) {
    if (item == 0) {
        return;
    }
    Block* block = root.FindByTreeItem(item);
    if (block == nullptr) {
        return;
    }
    const std::string renamed = RenamedName(newName, block->data);
    if (block->tag != "prop") {
        if (block->data != renamed) {
            block->data = renamed;
            modified = 1;
        }
        return;
    }

    const std::string oldName = block->data;  // `block` may move during the renames below
    if (Block* settings = root.FindNthChild("prop " + oldName, 1, false)) {
        if (Block* nameLine = settings->FindNthChild("name", 0, true)) {
            if (nameLine->data != newName) {
                nameLine->data = std::string(newName);
                modified = 1;
            }
        }
    }
    if (renamed == oldName) {
        return;  // every other line that names the prop already reads so
    }
    if (oldName.empty()) {
        // Renaming every Block whose data (or tag) is empty would rewrite half the file: a
        // prop without a name is renamed in its own "prop" Blocks and in the lines that refer
        // to it ("parent" and "addChild"), the lines its deletion touches.
        ReplaceDataExactly(root, "prop", "", renamed);
        ReplaceDataExactly(root, "parent", "", renamed);
        ReplaceDataExactly(root, "addChild", "", renamed);
    } else {
        root.RenameData(oldName, newName);
        root.RenameTag(oldName, newName);
    }
    modified = 1;
}

}  // namespace tessary
