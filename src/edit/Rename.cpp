// Renaming a morph target, channel or prop from its tree item's label.

#include "edit/Rename.h"

#include <string>

#include "edit/LineWalks.h"
#include "model/Block.h"
#include "model/Names.h"
#include "pane/FigureFile.h"

namespace tessary {

void RenameItem(FigureFile& file, TreeItem item, std::string_view newName) {
    if (item == 0) {
        return;
    }
    Block* block = file.root.FindByTreeItem(item);
    if (block == nullptr) {
        return;
    }
    const std::string renamed = RenamedName(newName, block->data);
    if (block->tag != "prop") {
        if (block->data != renamed) {
            block->data = renamed;
            file.modified = 1;
        }
        return;
    }

    const std::string oldName = block->data;  // `block` may move during the renames below
    if (Block* settings = file.root.FindNthChild("prop " + oldName, 1, Match::LineKey)) {
        if (Block* nameLine = settings->FindNthChild("name", 0, Match::Tag)) {
            if (nameLine->data != newName) {
                nameLine->data = std::string(newName);
                file.modified = 1;
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
        ReplaceDataExactly(file.root, "prop", "", renamed);
        ReplaceDataExactly(file.root, "parent", "", renamed);
        ReplaceDataExactly(file.root, "addChild", "", renamed);
    } else {
        file.root.RenameData(oldName, newName);
        file.root.RenameTag(oldName, newName);
    }
    file.modified = 1;
}

}  // namespace tessary
