#include "QtMainWindow.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

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
    // The Alt letters of the pane's buttons: Load, Save, OBJ, More Options.
    std::array<char, 4> letters;
    const char* name;
};

// The right pane's OBJ button has the lower id of the two.
constexpr std::array<PaneLayout, 2> kPanes = {{
    {"1004", "1005", "1022", "1023", "1000", 60, {'L', 'S', 'O', 'M'}, "left"},
    {"1007", "1008", "1021", "1025", "1001", 205, {'D', 'V', 'G', 'R'}, "right"},
}};

// A file name on a button is shown as it is, not read for mnemonics.
QString ButtonText(const std::string& text) {
    QString shown = DecodeText(text);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
}

// The purpose of a pane button and its Alt key, kept for its tool tip.
const char* const kPurposeProperty = "purpose";

void RenderButton(QPushButton& button, const ButtonState& state) {
    button.setEnabled(state.enabled);
    button.setText(ButtonText(state.text));
    button.setVisible(state.shown);
    // A file name too long for its button is shown whole in the tool tip.
    const QString purpose = button.property(kPurposeProperty).toString();
    const QString text = DecodeText(state.text);
    const bool cut = button.fontMetrics().horizontalAdvance(text) > button.width() - 8;
    button.setToolTip(cut ? text + QLatin1Char('\n') + purpose : purpose);
}

}  // namespace

QtMainWindow::QtMainWindow(Ui& ui, ProfileStore& store, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("tessary"));
    setFont(DialogUnits::DialogFont());
    PaintBlack(*this);
    SetWindowIcon(*this);
    setAcceptDrops(true);
    setSizeGripEnabled(true);
    const DialogUnits units(font());
    baseSize_ = units.Size(362, 319);
    setMinimumSize(baseSize_);
    resize(baseSize_);

    AddPicture(*this, artwork::kFemaleFigure, units.Rect(0, 5, 45, 105));
    Anchored(AddPicture(*this, artwork::kMaleFigure, units.Rect(0, 205, 54, 111)), Share::None,
             Share::None, true, false);
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

    // The status line takes the strip under the trees, across both panes.
    status_ = AddStaticText(*this, QString(), units.Rect(60, 311, 280, 8),
                            Qt::AlignLeft | Qt::AlignVCenter);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(false);
    Anchored(status_, Share::None, Share::Whole, true, false);

    SetTabOrder();

    shell_ = std::make_unique<MainWindow>(ui, store, *trees_[0], *trees_[1]);
    shell_->buttonsChanged = [this] { Render(); };
    ConnectPanes();
    BuildFindBar(Side::Left);
    BuildFindBar(Side::Right);

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
    BuildShortcuts();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { TrackFocus(now); });
    Render();
    RestorePlacement();
}

QtMainWindow::~QtMainWindow() {
    // Focus moves while the child widgets go; this window must not hear of it any more.
    disconnect(qApp, nullptr, this, nullptr);
    // The shell's panes refer to the tree widgets, which the dialog destroys after this body.
    for (Side side : {Side::Left, Side::Right}) {
        DisconnectTreeCommands(*trees_[static_cast<int>(side)], shell_->Commands(side));
    }
    shell_->buttonsChanged = nullptr;
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
    const Share right = side == Side::Left ? Share::None : Share::LeftHalf;
    const Share wider = side == Side::Left ? Share::LeftHalf : Share::RightHalf;
    PaneWidgets& pane = panes_[index];
    pane.load =
        AddButton(layout.loadId, QStringLiteral("Load File"), units.Rect(layout.x, 40, 100, 10));
    pane.save =
        AddButton(layout.saveId, QStringLiteral("Save File"), units.Rect(layout.x, 55, 100, 10));
    pane.obj = AddButton(layout.objId, QStringLiteral("OBJ Geometry File"),
                         units.Rect(layout.x, 70, 100, 10));
    pane.options = AddButton(layout.optionsId, QStringLiteral("More Options"),
                             units.Rect(layout.x, 70, 100, 10));
    for (QPushButton* button : {pane.load, pane.save, pane.obj, pane.options}) {
        Anchored(button, right, wider, false, false);
    }
    auto* tree = new QtTreeControl(this);
    tree->setObjectName(QString::fromLatin1(layout.treeId));
    tree->setGeometry(units.Rect(layout.x, 85, 135, 225));
    Anchored(tree, right, wider, false, true);
    trees_[index] = tree;
}

void QtMainWindow::BuildFindBar(Side side) {
    const int index = static_cast<int>(side);
    FindBar& find = finds_[index];
    find.bar = new QWidget(this);
    find.bar->setObjectName(QStringLiteral("find-") + QLatin1String(kPanes[index].name));
    auto* row = new QHBoxLayout(find.bar);
    row->setContentsMargins(0, 0, 0, 0);
    find.field = new QLineEdit(find.bar);
    find.field->setObjectName(QStringLiteral("find-field-") + QLatin1String(kPanes[index].name));
    find.field->setPlaceholderText(QStringLiteral("Find (Enter: next, Esc: close)"));
    find.field->setClearButtonEnabled(true);
    find.field->installEventFilter(this);
    KeepNormalColours(*find.field);
    find.count = new QLabel(find.bar);
    PaintWhiteOnBlack(*find.count);
    row->addWidget(find.field, 1);
    row->addWidget(find.count);
    find.bar->hide();
    find.finder = std::make_unique<ItemFinder>(*trees_[index]);
    connect(find.field, &QLineEdit::textChanged, this, [this, index](const QString& text) {
        FindBar& bar = finds_[index];
        bar.finder->Find(EncodeText(text));
        bar.count->setText(DecodeText(bar.finder->Summary()));
    });
}

void QtMainWindow::BuildShortcuts() {
    auto onKey = [this](const QKeySequence& keys, auto action) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
        return shortcut;
    };
    auto pressIfUsable = [](QPushButton* button) {
        if (button->isVisible() && button->isEnabled()) {
            button->click();
        }
    };
    onKey(QKeySequence::Open,
          [this, pressIfUsable] { pressIfUsable(panes_[static_cast<int>(focusedSide_)].load); });
    onKey(QKeySequence::Save,
          [this, pressIfUsable] { pressIfUsable(panes_[static_cast<int>(focusedSide_)].save); });
    onKey(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { reject(); });
    onKey(QKeySequence(Qt::Key_F1), [this] { shell_->OnHelpButton(); });
    onKey(QKeySequence::Find, [this] { OpenFind(focusedSide_); });
    onKey(QKeySequence(Qt::SHIFT | Qt::Key_F10), [this] { ShowItemMenu(); });
    // Undo and redo act on the pane that has (or last had) the focus; a label editor or the
    // find field keeps these keys for its own text.
    onKey(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { shell_->Commands(focusedSide_).Undo(); });
    for (const QKeySequence& redo :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        onKey(redo, [this] { shell_->Commands(focusedSide_).Redo(); });
    }
    // The pane buttons' texts are file names once loaded, so their Alt letters are keys of
    // their own, named in the buttons' tool tips.
    const char* purposes[] = {"Load a file into the %1 pane", "Save the %1 pane's file",
                              "Attach an OBJ geometry file to the %1 pane",
                              "More options for the %1 pane"};
    for (int index = 0; index < 2; ++index) {
        const PaneWidgets& pane = panes_[index];
        const std::array<QPushButton*, 4> buttons = {pane.load, pane.save, pane.obj, pane.options};
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            const QKeySequence keys(QStringLiteral("Alt+") + QLatin1Char(kPanes[index].letters[i]));
            QPushButton* button = buttons[i];
            onKey(keys, [button, pressIfUsable] { pressIfUsable(button); });
            button->setProperty(
                kPurposeProperty,
                QString::fromLatin1(purposes[i]).arg(QLatin1String(kPanes[index].name)) +
                    QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) +
                    QLatin1Char(')'));
        }
    }
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

void QtMainWindow::Render() {
    for (Side side : {Side::Left, Side::Right}) {
        const PaneButtons& state = shell_->Buttons(side);
        const PaneWidgets& pane = panes_[static_cast<int>(side)];
        RenderButton(*pane.load, state.load);
        RenderButton(*pane.save, state.save);
        RenderButton(*pane.obj, state.obj);
        RenderButton(*pane.options, state.options);
    }
    // The title names what Ctrl+Z would undo in the focused pane: no control moves for it.
    setWindowTitle(DecodeText(shell_->Title(focusedSide_)));
    RenderStatus();
}

void QtMainWindow::RenderStatus() {
    // A report longer than the line ends in "..." and shows whole in the tool tip.
    const QString text = DecodeText(shell_->StatusText());
    status_->setText(
        QFontMetrics(status_->font()).elidedText(text, Qt::ElideRight, status_->width()));
    status_->setToolTip(status_->text() == text ? QString() : text);
}

// --- Layout: every control's place at the smallest size, and what it does as the window grows

void QtMainWindow::Anchored(QWidget* widget, Share right, Share wider, bool down, bool taller) {
    anchors_.push_back({widget, widget->geometry(), right, wider, down, taller});
}

int QtMainWindow::Extra(Share share) const {
    switch (share) {
        case Share::None:
            return 0;
        case Share::LeftHalf:
            return extra_.width() / 2;
        case Share::RightHalf:
            return extra_.width() - extra_.width() / 2;
        case Share::Whole:
            return extra_.width();
    }
    return 0;
}

void QtMainWindow::LayOut() {
    extra_ = (size() - baseSize_).expandedTo(QSize(0, 0));
    for (const Anchor& anchor : anchors_) {
        QRect place = anchor.base;
        place.translate(Extra(anchor.right), anchor.down ? extra_.height() : 0);
        place.setWidth(place.width() + Extra(anchor.wider));
        place.setHeight(place.height() + (anchor.taller ? extra_.height() : 0));
        anchor.widget->setGeometry(place);
    }
    // An open find field takes the bottom of its tree.
    for (int index = 0; index < 2; ++index) {
        const FindBar& find = finds_[index];
        if (find.bar == nullptr || find.bar->isHidden()) {
            continue;
        }
        QtTreeControl* tree = trees_[index];
        const int height = find.bar->sizeHint().height();
        QRect place = tree->geometry();
        place.setHeight(place.height() - height);
        tree->setGeometry(place);
        find.bar->setGeometry(place.left(), place.bottom() + 1, place.width(), height);
    }
    if (shell_ != nullptr) {
        Render();
    }
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

// --- Placement kept between runs

void QtMainWindow::RestorePlacement() {
    const std::optional<WindowPlacement> kept = shell_->ReadPlacement();
    if (!kept) {
        return;
    }
    resize(QSize(kept->width, kept->height).expandedTo(baseSize_));
    // A window kept on a screen that is gone opens where the system puts it.
    const QPoint corner(kept->x, kept->y);
    if (QGuiApplication::screenAt(corner + QPoint(20, 20)) != nullptr) {
        move(corner);
    }
    if (kept->maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void QtMainWindow::KeepPlacement() {
    WindowPlacement placement;
    const bool maximized = isMaximized();
    const QRect normal = maximized && normalGeometry().isValid() ? normalGeometry() : geometry();
    placement.x = maximized ? normal.x() : pos().x();
    placement.y = maximized ? normal.y() : pos().y();
    placement.width = normal.width();
    placement.height = normal.height();
    placement.maximized = maximized;
    shell_->WritePlacement(placement);
}

// --- Keys and find

void QtMainWindow::TrackFocus(QWidget* now) {
    for (int index = 0; index < 2; ++index) {
        const PaneWidgets& pane = panes_[index];
        for (QWidget* own :
             {static_cast<QWidget*>(trees_[index]), finds_[index].bar,
              static_cast<QWidget*>(pane.load), static_cast<QWidget*>(pane.save),
              static_cast<QWidget*>(pane.obj), static_cast<QWidget*>(pane.options)}) {
            if (now != nullptr && own != nullptr && (now == own || own->isAncestorOf(now))) {
                if (focusedSide_ != static_cast<Side>(index)) {
                    focusedSide_ = static_cast<Side>(index);
                    setWindowTitle(DecodeText(shell_->Title(focusedSide_)));
                }
                return;
            }
        }
    }
}

void QtMainWindow::OpenFind(Side side) {
    FindBar& find = finds_[static_cast<int>(side)];
    find.bar->show();
    LayOut();
    find.field->setFocus(Qt::ShortcutFocusReason);
    find.field->selectAll();
}

void QtMainWindow::CloseFind(Side side) {
    const int index = static_cast<int>(side);
    FindBar& find = finds_[index];
    find.bar->hide();
    LayOut();
    trees_[index]->setFocus(Qt::OtherFocusReason);
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (int index = 0; index < 2; ++index) {
            FindBar& find = finds_[index];
            if (watched != find.field) {
                continue;
            }
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                // Escape closes the field here; it quits only from the window itself.
                CloseFind(static_cast<Side>(index));
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                key->key() == Qt::Key_F3) {
                if (key->modifiers() & Qt::ShiftModifier) {
                    find.finder->Previous();
                } else {
                    find.finder->Next();
                }
                find.count->setText(DecodeText(find.finder->Summary()));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void QtMainWindow::ShowItemMenu() {
    // As the menu key does: the selected item's menu, at its label.
    QtTreeControl* tree = trees_[static_cast<int>(focusedSide_)];
    if (QTreeWidgetItem* selected = tree->ItemOf(tree->GetSelectedItem())) {
        tree->scrollToItem(selected);
    }
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(tree, &event);
}

void QtMainWindow::ShowRegionMenu(Side side) {
    const QPushButton& button = *panes_[static_cast<int>(side)].options;
    const Menu menu = shell_->OnOptionsButton(side);
    const std::optional<int> command = ShowPopup(menu, this, button.mapToGlobal(QPoint(0, 0)));
    if (command) {
        shell_->Commands(side).Dispatch(*command);
    }
}

// --- Start and end

void QtMainWindow::Start(const std::string& commandLine) {
    shell_->Start(commandLine);
}

void QtMainWindow::Start(const std::vector<std::string>& files) {
    shell_->Start(files);
}

void QtMainWindow::accept() {
    // The default command of this window does nothing.
}

void QtMainWindow::reject() {
    if (shell_->OnQuit()) {
        KeepPlacement();
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
