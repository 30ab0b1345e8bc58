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
    if (block->tag != "prop") {
        const std::string suffix(NameSuffix(block->data));
        block->data = suffix.empty() ? std::string(newName) : std::string(newName) + ":" + suffix;
        file.modified = 1;
        return;
    }

    const std::string oldName = block->data;  // `block` may move during the renames below
    if (Block* settings = file.root.FindNthChild("prop " + oldName, 1, false)) {
        if (Block* nameLine = settings->FindNthChild("name", 0, true)) {
            nameLine->tag = "name";
            nameLine->data = std::string(newName);
        }
    }
    if (oldName.empty()) {
        // Renaming every Block whose data (or tag) is empty would rewrite half the file: a
        // prop without a name is renamed in its own "prop" Blocks only.
        ReplaceDataExactly(file.root, "prop", "", newName);
    } else {
        file.root.RenameData(oldName, newName);
        file.root.RenameTag(oldName, newName);
    }
    file.modified = 1;
}

}  // namespace tessary
