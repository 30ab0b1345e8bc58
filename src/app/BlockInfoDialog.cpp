#include "BlockInfoDialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <charconv>
#include <system_error>

#include "ChangeDialog.h"
#include "DialogUnits.h"
#include "QtTreeControl.h"
#include "TextCodec.h"
#include "TreeCommands.h"
#include "commands/PaneCommands.h"
#include "model/Block.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace tessary {

namespace {

QLabel* AddLabel(QDialog& dialog, const char* id, const QString& text, const QRect& rect,
                 bool sunken) {
    auto* label = new QLabel(text, &dialog);
    if (id != nullptr) {
        label->setObjectName(QString::fromLatin1(id));
    }
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(rect);
    if (sunken) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
    }
    return label;
}

}  // namespace

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

BlockInfoDialog::BlockInfoDialog(Block& block, Ui& ui, ProfileStore& store, CommandContext& context,
                                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      block_(block) {
    setObjectName(QStringLiteral("158"));
    setWindowTitle(QStringLiteral("Block Info"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(222, 301));

    AddLabel(*this, "1050", DecodeText(block.tag + " " + block.data), units.Rect(5, 5, 110, 13),
             true);
    control_ = new QtTreeControl(this);
    control_->setObjectName(QStringLiteral("1053"));
    control_->setGeometry(units.Rect(5, 25, 155, 270));
    control_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.Rect(165, 5, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(units.Rect(165, 22, 50, 14));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    AddLabel(*this, nullptr, QStringLiteral("Memory Usage"), units.Rect(165, 50, 50, 10), false);
    // The number leads; " Kilobytes" wraps under it, out of the field, where the "K" beside
    // it says the same.
    QLabel* size = AddLabel(*this, "1052", QString::fromLatin1(KilobytesText(block.TextSize())),
                            units.Rect(165, 65, 40, 10), true);
    size->setWordWrap(true);
    size->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    AddLabel(*this, nullptr, QStringLiteral("K"), units.Rect(210, 65, 8, 8), false);

    // The copy is a file of its own: raw view, no window and no other pane, the preferences
    // as they are now.
    file_ = std::make_unique<FigureFile>(ui, store);
    file_->root = block;
    file_->viewKind = kRawView;
    tree_ = std::make_unique<FigureTree>(*control_, *file_);
    commands_ = std::make_unique<PaneCommands>(*tree_, context, false);
    commands_->runChangeDialog = [this](const std::string& label, const std::string& value) {
        ChangeDialog change(label, value, this);
        if (change.exec() != QDialog::Accepted) {
            return std::optional<std::string>();
        }
        return std::optional<std::string>(change.Value());
    };
    ConnectTreeCommands(*control_, *commands_);
    tree_->Refresh();

    QWidget::setTabOrder(control_, ok);
    QWidget::setTabOrder(ok, cancel);
}

BlockInfoDialog::~BlockInfoDialog() {
    // The tree widget goes after this body, the commands it calls before it.
    DisconnectTreeCommands(*control_, *commands_);
}

void BlockInfoDialog::accept() {
    // The copy's items belong to this dialog's tree; the pane finds the Block again by its
    // own item until it refreshes, so the inspected Block keeps its handles and its lines
    // lose theirs.
    const TreeItem item = block_.treeItem;
    const TreeItem morphs = block_.morphsItem;
    const TreeItem props = block_.propsItem;
    block_ = file_->root;
    block_.ClearTreeItems();
    block_.treeItem = item;
    block_.morphsItem = morphs;
    block_.propsItem = props;
    QDialog::accept();
}

}  // namespace tessary
