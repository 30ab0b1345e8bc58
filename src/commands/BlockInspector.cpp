#include "commands/BlockInspector.h"

#include <charconv>
#include <iterator>
#include <system_error>

#include "commands/PaneCommands.h"
#include "model/Block.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace tessary {

std::string KilobytesText(long long characters) {
    // A thousand characters to the "kilobyte", worked out in single precision and shown with
    // two decimals right-aligned in ten places.
    const float kilobytes = static_cast<float>(characters) * 0.001f;
    char digits[64];
    const auto [end, error] =
        std::to_chars(std::begin(digits), std::end(digits), static_cast<double>(kilobytes),
                      std::chars_format::fixed, 2);
    std::string number = error == std::errc() ? std::string(digits, end) : std::string("0.00");
    if (number.size() < 10) {
        number.insert(0, 10 - number.size(), ' ');
    }
    return number + " Kilobytes";
}

BlockInspector::BlockInspector(Block& block, TreeControl& control, Ui& ui, ProfileStore& store,
                               CommandContext& context)
    : block_(block),
      control_(control),
      title_(block.tag + " " + block.data),
      size_(KilobytesText(block.TextSize())),
      file_(std::make_unique<FigureFile>(ui, store)) {
    file_->root = block;
    file_->viewKind = kRawView;
    tree_ = std::make_unique<FigureTree>(control_, *file_);
    // No drops: the dialog's tree takes no files.
    commands_ = std::make_unique<PaneCommands>(*tree_, context, false);
    tree_->Refresh();
}

BlockInspector::~BlockInspector() = default;

void BlockInspector::Accept() {
    // The copy's items belong to the dialog's tree; the pane finds the Block (and its folders)
    // again by its own item until it refreshes, so the inspected Block keeps its handle and its
    // lines lose theirs.
    const TreeItem item = block_.treeItem;
    block_ = file_->root;
    block_.ClearTreeItems();
    block_.treeItem = item;
}

}  // namespace tessary
