#include "BlockInfoDialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include "ChangeDialog.h"
#include "DialogUnits.h"
#include "QtTreeControl.h"
#include "TextCodec.h"
#include "TreeCommands.h"
#include "commands/PaneCommands.h"

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

BlockInfoDialog::BlockInfoDialog(Block& block, Ui& ui, ProfileStore& store, CommandContext& context,
                                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("158"));
    setWindowTitle(QStringLiteral("Block Info"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    baseSize_ = units.Size(222, 301);
    setMinimumSize(baseSize_);
    resize(baseSize_);
    setSizeGripEnabled(true);

    control_ = new QtTreeControl(this);
    control_->setObjectName(QStringLiteral("1053"));
    control_->setGeometry(units.Rect(5, 25, 155, 270));
    control_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    inspector_ = std::make_unique<BlockInspector>(block, *control_, ui, store, context);
    AddLabel(*this, "1050", DecodeText(inspector_->TitleText()), units.Rect(5, 5, 110, 13), true);

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
    QLabel* size = AddLabel(*this, "1052", QString::fromLatin1(inspector_->SizeText()),
                            units.Rect(165, 65, 40, 10), true);
    size->setWordWrap(true);
    size->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    AddLabel(*this, nullptr, QStringLiteral("K"), units.Rect(210, 65, 8, 8), false);

    PaneCommands& commands = inspector_->Commands();
    commands.runChangeDialog = [this](const std::string& label, const std::string& value) {
        ChangeDialog change(label, value, this);
        if (change.exec() != QDialog::Accepted) {
            return std::optional<std::string>();
        }
        return std::optional<std::string>(change.Value());
    };
    ConnectTreeCommands(*control_, commands);

    QWidget::setTabOrder(control_, ok);
    QWidget::setTabOrder(ok, cancel);

    treeBase_ = control_->geometry();
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child != control_ && child->geometry().left() >= treeBase_.right()) {
            rightColumn_.emplace_back(child, child->geometry());
        }
    }
}

void BlockInfoDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (baseSize_.isEmpty()) {
        return;
    }
    const QSize extra = (size() - baseSize_).expandedTo(QSize(0, 0));
    control_->setGeometry(treeBase_.adjusted(0, 0, extra.width(), extra.height()));
    for (const auto& [widget, base] : rightColumn_) {
        widget->setGeometry(base.translated(extra.width(), 0));
    }
}

BlockInfoDialog::~BlockInfoDialog() {
    // The tree widget goes after this body, the commands it calls before it.
    DisconnectTreeCommands(*control_, inspector_->Commands());
}

void BlockInfoDialog::accept() {
    inspector_->Accept();
    QDialog::accept();
}

}  // namespace tessary
