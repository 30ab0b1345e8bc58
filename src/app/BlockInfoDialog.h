#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace tessary {

class Block;
class FigureFile;
class FigureTree;
class PaneCommands;
class ProfileStore;
class QtTreeControl;
class Ui;
struct CommandContext;

// The Block Info dialog: the inspected Block with all its nested lines, as a raw tree of a
// private copy that the tree's own menu edits (change data, change tag, delete). OK writes the
// copy back over the Block; Cancel and the close box leave the Block untouched.
class BlockInfoDialog : public QDialog {
    Q_OBJECT

  public:
    // `context` is the run's popup state, shared with the panes' trees.
    BlockInfoDialog(Block& block, Ui& ui, ProfileStore& store, CommandContext& context,
                    QWidget* parent);
    ~BlockInfoDialog() override;

    FigureFile& Copy() { return *file_; }
    QtTreeControl& Tree() { return *control_; }
    PaneCommands& Commands() { return *commands_; }

  public slots:
    void accept() override;

  private:
    Block& block_;
    QtTreeControl* control_ = nullptr;
    std::unique_ptr<FigureFile> file_;
    std::unique_ptr<FigureTree> tree_;
    std::unique_ptr<PaneCommands> commands_;
};

// The text size of a Block in thousands of characters, as the dialog shows it: "%10.2f
// Kilobytes" whatever the locale.
std::string KilobytesText(long long characters);

}  // namespace tessary
