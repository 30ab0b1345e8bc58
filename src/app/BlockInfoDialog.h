#pragma once

#include <QDialog>
#include <QRect>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "commands/BlockInspector.h"

namespace tessary {

class QtTreeControl;

// The Block Info dialog: the widgets over a BlockInspector, which holds the private copy and
// its raw tree. OK writes the copy back over the Block; Cancel and the close box leave the
// Block untouched.
class BlockInfoDialog : public QDialog {
    Q_OBJECT

  public:
    // `context` is the run's popup state, shared with the panes' trees.
    BlockInfoDialog(Block& block, Ui& ui, ProfileStore& store, CommandContext& context,
                    QWidget* parent);
    ~BlockInfoDialog() override;

    FigureFile& Copy() { return inspector_->Copy(); }
    QtTreeControl& Tree() { return *control_; }
    PaneCommands& Commands() { return inspector_->Commands(); }

  public slots:
    void accept() override;

  protected:
    // The dialog opens at its layout and can grow: the tree takes the room, the column of
    // buttons and fields on its right moves with the right edge.
    void resizeEvent(QResizeEvent* event) override;

  private:
    QSize baseSize_;
    QRect treeBase_;
    std::vector<std::pair<QWidget*, QRect>> rightColumn_;
    QtTreeControl* control_ = nullptr;
    std::unique_ptr<BlockInspector> inspector_;
};

}  // namespace tessary
