#include "QtMainWindow.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

#include "Artwork.h"
#include "BlockInfoDialog.h"
#include "DialogUnits.h"
#include "QtTreeControl.h"
#include "TextCodec.h"
#include "TreeCommands.h"

namespace tessary {

namespace {

struct PaneLayout {
    const char* loadId;
    const char* saveId;
    const char* objId;
    const char* optionsId;
    const char* treeId;
    int x;
};

// The right pane's OBJ button has the lower id of the two.
constexpr std::array<PaneLayout, 2> kPanes = {{
    {"1004", "1005", "1022", "1023", "1000", 60},
    {"1007", "1008", "1021", "1025", "1001", 205},
}};

// A file name on a button is shown as it is, not read for mnemonics.
QString ButtonText(const std::string& text) {
    QString shown = DecodeText(text);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
}

void Render(QPushButton& button, const ButtonState& state) {
    button.setEnabled(state.enabled);
    button.setText(ButtonText(state.text));
    button.setVisible(state.shown);
}

}  // namespace

QtMainWindow::QtMainWindow(Ui& ui, ProfileStore& store, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("tessary"));
    setFont(DialogUnits::DialogFont());
    PaintBlack(*this);
    SetWindowIcon(*this);
    setAcceptDrops(true);
    const DialogUnits units(font());
    setFixedSize(units.Size(362, 319));

    AddPicture(*this, artwork::kFemaleFigure, units.Rect(0, 5, 45, 105));
    AddPicture(*this, artwork::kMaleFigure, units.Rect(0, 205, 54, 111));
    AddPicture(*this, artwork::kBanner, units.Rect(50, 0, 231, 38));
    AddStaticText(*this, QStringLiteral("V 4.0"), units.Rect(285, 25, 18, 8),
                  Qt::AlignLeft | Qt::AlignTop)
        ->setWordWrap(false);

    preferences_ = AddButton("1024", QStringLiteral("&Preferences"), units.Rect(5, 125, 50, 10));
    about_ = AddButton("3", QStringLiteral("&About"), units.Rect(5, 140, 50, 10));
    help_ = AddButton("5", QStringLiteral("&Help"), units.Rect(5, 155, 50, 10));
    quit_ = AddButton("2", QStringLiteral("&Quit"), units.Rect(5, 185, 50, 10));
    BuildPane(Side::Left);
    BuildPane(Side::Right);
    SetTabOrder();

    shell_ = std::make_unique<MainWindow>(ui, store, *trees_[0], *trees_[1]);
    shell_->buttonsChanged = [this] { RenderButtons(); };
    ConnectPanes();

    connect(preferences_, &QPushButton::clicked, this, [this] { shell_->OnPreferencesButton(); });
    connect(about_, &QPushButton::clicked, this, [this] { shell_->OnAboutButton(); });
    connect(help_, &QPushButton::clicked, this, [this] { shell_->OnHelpButton(); });
    connect(quit_, &QPushButton::clicked, this, &QtMainWindow::reject);
    for (Side side : {Side::Left, Side::Right}) {
        const PaneWidgets& pane = panes_[static_cast<int>(side)];
        connect(pane.load, &QPushButton::clicked, this,
                [this, side] { shell_->OnLoadButton(side); });
        connect(pane.save, &QPushButton::clicked, this,
                [this, side] { shell_->OnSaveButton(side); });
        connect(pane.obj, &QPushButton::clicked, this, [this, side] { shell_->OnObjButton(side); });
        connect(pane.options, &QPushButton::clicked, this, [this, side] { ShowRegionMenu(side); });
    }
    RenderButtons();
}

QtMainWindow::~QtMainWindow() {
    // The shell's panes refer to the tree widgets, which the dialog destroys after this body.
    for (Side side : {Side::Left, Side::Right}) {
        DisconnectTreeCommands(*trees_[static_cast<int>(side)], shell_->Commands(side));
    }
    shell_.reset();
}

void QtMainWindow::ConnectPanes() {
    for (Side side : {Side::Left, Side::Right}) {
        PaneCommands& commands = shell_->Commands(side);
        ConnectTreeCommands(*trees_[static_cast<int>(side)], commands);
        commands.runBlockInfoDialog = [this](Block& block) {
            BlockInfoDialog dialog(block, shell_->ui, shell_->store, shell_->commandContext, this);
            return dialog.exec() == QDialog::Accepted;
        };
    }
}

QPushButton* QtMainWindow::AddButton(const char* id, const QString& text, const QRect& rect) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(id));
    button->setGeometry(rect);
    // Enter never presses a button of this window.
    button->setAutoDefault(false);
    button->setDefault(false);
    KeepNormalColours(*button);
    return button;
}

void QtMainWindow::BuildPane(Side side) {
    const int index = static_cast<int>(side);
    const PaneLayout& layout = kPanes[index];
    const DialogUnits units(font());
    PaneWidgets& pane = panes_[index];
    pane.load =
        AddButton(layout.loadId, QStringLiteral("Load File"), units.Rect(layout.x, 40, 100, 10));
    pane.save =
        AddButton(layout.saveId, QStringLiteral("Save File"), units.Rect(layout.x, 55, 100, 10));
    pane.obj = AddButton(layout.objId, QStringLiteral("OBJ Geometry File"),
                         units.Rect(layout.x, 70, 100, 10));
    pane.options = AddButton(layout.optionsId, QStringLiteral("More Options"),
                             units.Rect(layout.x, 70, 100, 10));
    auto* tree = new QtTreeControl(this);
    tree->setObjectName(QString::fromLatin1(layout.treeId));
    tree->setGeometry(units.Rect(layout.x, 85, 135, 225));
    trees_[index] = tree;
}

void QtMainWindow::SetTabOrder() {
    const PaneWidgets& left = panes_[0];
    const PaneWidgets& right = panes_[1];
    const std::array<QWidget*, 14> order = {
        preferences_, about_,     help_,     left.load, left.save, left.obj,     trees_[0],
        right.load,   right.save, right.obj, trees_[1], quit_,     left.options, right.options};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
}

void QtMainWindow::RenderButtons() {
    for (Side side : {Side::Left, Side::Right}) {
        const PaneButtons& state = shell_->Buttons(side);
        const PaneWidgets& pane = panes_[static_cast<int>(side)];
        Render(*pane.load, state.load);
        Render(*pane.save, state.save);
        Render(*pane.obj, state.obj);
        Render(*pane.options, state.options);
    }
}

void QtMainWindow::ShowRegionMenu(Side side) {
    const QPushButton& button = *panes_[static_cast<int>(side)].options;
    const Menu menu = shell_->OnOptionsButton(side);
    const std::optional<int> command = ShowPopup(menu, this, button.mapToGlobal(QPoint(0, 0)));
    if (command) {
        shell_->Commands(side).Dispatch(*command);
    }
}

void QtMainWindow::Start(const std::string& commandLine) {
    shell_->Start(commandLine);
}

void QtMainWindow::accept() {
    // The default command of this window does nothing.
}

void QtMainWindow::reject() {
    if (shell_->OnQuit()) {
        QDialog::reject();
    }
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QtMainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The window's own menu; the trees and buttons keep theirs.
    QWidget* under = childAt(event->pos());
    if (under != nullptr && qobject_cast<QLabel*>(under) == nullptr) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    menu.addAction(QStringLiteral("&About tessary..."), this, [this] { shell_->OnAboutButton(); });
    menu.exec(event->globalPos());
    event->accept();
}

void QtMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void QtMainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void QtMainWindow::dropEvent(QDropEvent* event) {
    // Files dropped beside the trees are taken and left alone.
    event->acceptProposedAction();
}

}  // namespace tessary
