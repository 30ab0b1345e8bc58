#pragma once

#include <memory>
#include <string>

#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;
class FigureTree;
class PaneCommands;
class ProfileStore;
class Ui;
struct CommandContext;

// What the Block Info dialog does, apart from its widgets: a private copy of the inspected
// Block, shown as a raw tree in the control the face gives, edited through that tree's own
// menu (change data, change tag, delete). Accept writes the copy back over the Block; dropping
// the inspector without Accept is Cancel and leaves the Block untouched.
//
// The copy is a file of its own: raw view, no window and no other pane, the preferences as
// they are when the inspector opens (so deleting asks under ConfirmDelete as it was then).
class BlockInspector {
  public:
    // Opens on `block`: copies it, fills `control` (the copy's own line as the one expanded
    // top-level item) and works out the title and size texts. `block` and `control` must
    // outlive the inspector; `context` is the run's popup state, shared with the panes.
    BlockInspector(Block& block, TreeControl& control, Ui& ui, ProfileStore& store,
                   CommandContext& context);
    ~BlockInspector();
    BlockInspector(const BlockInspector&) = delete;
    BlockInspector& operator=(const BlockInspector&) = delete;

    // The Block's tag, one blank and its data, as they were on opening.
    const std::string& TitleText() const { return title_; }
    // The Memory Usage field, as set on opening.
    const std::string& SizeText() const { return size_; }

    FigureFile& Copy() { return *file_; }
    FigureTree& Tree() { return *tree_; }
    PaneCommands& Commands() { return *commands_; }
    TreeControl& Control() { return control_; }

    // OK: the inspected Block becomes equal to the copy, its own tag and data included.
    void Accept();

  private:
    Block& block_;
    TreeControl& control_;
    std::string title_;
    std::string size_;
    std::unique_ptr<FigureFile> file_;
    std::unique_ptr<FigureTree> tree_;
    std::unique_ptr<PaneCommands> commands_;
};

// The text size of a Block in thousands of characters, as the dialog shows it: "%10.2f
// Kilobytes" whatever the locale.
std::string KilobytesText(long long characters);

}  // namespace tessary
