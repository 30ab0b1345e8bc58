// The panes' trees in the window: context menus, keys, label editing, drops and the Block
// Info and Change dialogs that Properties opens.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <cstdio>
#include <deque>
#include <memory>
#include <vector>

#include "ModalDriver.h"
#include "WindowTestBase.h"
#include "app/BlockInfoDialog.h"
#include "app/ChangeDialog.h"
#include "app/QtMainWindow.h"
#include "app/QtProfileStore.h"
#include "app/QtTreeControl.h"
#include "app/QtUi.h"
#include "commands/CommandIds.h"
#include "model/Block.h"
#include "model/ByteStream.h"

using namespace tessary;
using test::DataFile;
using test::TestUi;

namespace {

// What a popup showed: its object name (the menu resource) and its entries, "-" for a
// separator and "[text]" for a grayed entry.
struct Popup {
    QString menu;
    QStringList entries;
};

// Right-clicks a point of a tree's viewport and, if a menu opens, records it and chooses
// the entry `choose` (or dismisses the menu when none is named or it is not there).
Popup RightClick(QTreeWidget& tree, QPoint point, const QString& choose = {}) {
    struct State {
        bool done = false;
        QString choose;
        Popup seen;
    };
    auto state = std::make_shared<State>();
    state->choose = choose;
    auto pollOnce = std::make_shared<std::function<void()>>();
    *pollOnce = [state, pollOnce] {
        QTimer::singleShot(5, [state, pollOnce] {
            if (state->done) {
                return;
            }
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) {
                (*pollOnce)();
                return;
            }
            state->done = true;
            state->seen.menu = menu->objectName();
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                if (action->isSeparator()) {
                    state->seen.entries.append(QStringLiteral("-"));
                    continue;
                }
                state->seen.entries.append(action->isEnabled() ? action->text()
                                                               : "[" + action->text() + "]");
                if (!state->choose.isEmpty() && action->text() == state->choose) {
                    chosen = action;
                }
            }
            if (chosen != nullptr) {
                menu->setActiveAction(chosen);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
    };
    (*pollOnce)();
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, tree.viewport()->mapToGlobal(point));
    QApplication::sendEvent(tree.viewport(), &event);
    state->done = true;
    *pollOnce = nullptr;  // breaks the cycle between the closure and its holder
    return state->seen;
}

// The item reached by the texts in turn (each searched below the one before), with its
// parents opened so that it is on screen; 0 when one is missing.
TreeItem Reveal(QtTreeControl& tree, std::initializer_list<const char*> texts) {
    TreeItem item = 0;
    for (const char* text : texts) {
        item = tree.FindItemByText(item, text);
        if (item == 0) {
            return 0;
        }
    }
    for (TreeItem up = tree.GetParentItem(item); up != 0; up = tree.GetParentItem(up)) {
        tree.Expand(up);
    }
    tree.scrollToItem(tree.ItemOf(item));
    return item;
}

Popup RightClickItem(QtTreeControl& tree, TreeItem item, const QString& choose = {}) {
    return RightClick(tree, tree.visualItemRect(tree.ItemOf(item)).center(), choose);
}

// How many lines of the block tree have this tag and data.
int CountLines(const Block& root, const std::string& tag, const std::string& data) {
    int count = 0;
    std::vector<const Block*> stack{&root};
    while (!stack.empty()) {
        const Block* block = stack.back();
        stack.pop_back();
        if (block->tag == tag && block->data == data) {
            ++count;
        }
        for (const Block& child : block->children) {
            stack.push_back(&child);
        }
    }
    return count;
}

QLineEdit* OpenEditor(QTreeWidget& tree) {
    for (QLineEdit* editor : tree.findChildren<QLineEdit*>()) {
        if (editor->isVisible()) {
            return editor;
        }
    }
    return nullptr;
}

}  // namespace

class QtPaneCommandsTest : public test::WindowTestBase {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void menusGrayWhatCannotBeDone();
    void rightClickOnAnEmptyPaneOrBlankSpaceShowsNothing();
    void deleteKeyAsksOnlyUnderConfirmDelete();
    void exportWithoutAGroupSaysSoBeforeAnyFileDialog();
    void labelEditingOnlyOnMorphTargetsAndPropsOfFigures();
    void labelEditRenamesTheMorphTargetInTheFile();
    void droppedFilesLoadOrAttachGeometry();
    void quittingAfterACopyIntoTheRightPaneAsks();
    void propertiesEditsACopyAndOkWritesItBack();
    void blockInfoCancelLeavesTheFileAsItWas();
    void blockInfoTagChangedToEmptyHidesTheLineButKeepsIt();
    void changeDialogGivesBackExactlyWhatWasTyped();
    void kilobytesAreThousandsOfCharactersInTenPlaces();

  private:
    QtMainWindow& Window() { return *window_; }
    QtTreeControl& Tree(Side side) { return window_->Tree(side); }
    FigureFile& File(Side side) { return window_->Shell().File(side); }
    QPushButton& Button(const char* id) {
        return *window_->findChild<QPushButton*>(QString::fromLatin1(id));
    }
    void LoadRight(const char* name) {
        ui_->openAnswers.push_back(DataFile(name));
        Button("1007").click();
    }
};

void QtPaneCommandsTest::init() {
    QVERIFY(OpenWindow());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void QtPaneCommandsTest::cleanup() {
    CloseWindow();
}

void QtPaneCommandsTest::menusGrayWhatCannotBeDone() {
    Window().Start(DataFile("figure.cr2"));
    QtTreeControl& left = Tree(Side::Left);
    struct Case {
        std::initializer_list<const char*> path;
        const char* menu;
        QStringList entries;
    };
    // No OBJ file attached and nothing in the right pane.
    const Case cases[] = {
        {{"head", "Blink"},
         "146",
         {"[Copy]", "Rename", "Delete", "[Export To OBJ]", "Properties", "-", "Cancel"}},
        {{"head", "hat_1"},
         "146",
         {"[Copy]", "Rename", "Delete", "Export To OBJ", "Properties", "-", "Cancel"}},
        {{"head"}, "148", {"&Export To OBJ", "&Properties", "-", "&Cancel"}},
        {{"head", "MORPH TARGETS"},
         "149",
         {"[Copy All Morph Targets]", "Delete All Morph Targets", "Combine Morph Targets",
          "[Export All Morph Targets]", "-", "Cancel"}},
        {{"head", "PROPS"},
         "147",
         {"[Copy All Props]", "Delete All Props ", "Export All to Obj", "-", "Cancel"}},
    };
    for (const Case& c : cases) {
        const TreeItem item = Reveal(left, c.path);
        QVERIFY(item != 0);
        const Popup popup = RightClickItem(left, item);
        QCOMPARE(popup.menu, QString::fromLatin1(c.menu));
        QCOMPARE(popup.entries, c.entries);
        QCOMPARE(left.GetSelectedItem(), item);  // the right-click selects the item
    }

    LoadRight("figure.cr2");
    const Popup withOther = RightClickItem(left, Reveal(left, {"head", "Blink"}));
    QCOMPARE(withOther.entries.first(), QStringLiteral("Copy"));
}

void QtPaneCommandsTest::rightClickOnAnEmptyPaneOrBlankSpaceShowsNothing() {
    const Popup empty = RightClick(Tree(Side::Right), QPoint(10, 10));
    QVERIFY(empty.menu.isEmpty());

    Window().Start(DataFile("figure.cr2"));
    QtTreeControl& left = Tree(Side::Left);
    const TreeItem head = Reveal(left, {"head"});
    left.SelectItem(head);
    const QPoint blank(10, left.viewport()->height() - 3);
    QVERIFY(left.ItemAt(blank) == 0);
    const Popup below = RightClick(left, blank);
    QVERIFY(below.menu.isEmpty());
    QCOMPARE(left.GetSelectedItem(), head);
}

void QtPaneCommandsTest::deleteKeyAsksOnlyUnderConfirmDelete() {
    struct Case {
        const char* name;
        int confirmDelete;
        QMessageBox::StandardButton answer;
        bool removed;
    };
    const Case cases[] = {
        {"ConfirmDelete off: at once", 0, QMessageBox::NoButton, true},
        {"refused", 1, QMessageBox::Cancel, false},
        {"confirmed", 1, QMessageBox::Ok, true},
    };
    for (const Case& c : cases) {
        Window().Start(DataFile("figure.cr2"));
        QtTreeControl& left = Tree(Side::Left);
        File(Side::Left).confirmDelete = c.confirmDelete;
        left.SelectItem(Reveal(left, {"head", "Blink"}));
        ModalDriver driver;
        QString question;
        bool arrowWhileAsking = false;
        if (c.confirmDelete == 0) {
            driver.Refuse();
        } else {
            driver.Expect([&](QWidget& modal) {
                auto* box = qobject_cast<QMessageBox*>(&modal);
                question = box->windowTitle() + QLatin1Char('|') + box->text();
                const QCursor* cursor = QGuiApplication::overrideCursor();
                arrowWhileAsking = cursor != nullptr && cursor->shape() == Qt::ArrowCursor;
                box->button(c.answer)->click();
            });
        }
        left.setFocus();
        QTest::keyClick(&left, Qt::Key_Delete);
        QVERIFY2(driver.Seen() == (c.confirmDelete != 0), c.name);
        if (c.confirmDelete != 0) {
            QCOMPARE(question,
                     QStringLiteral("Delete?|Are you sure you wish to delete morph target Blink?"));
            QVERIFY2(arrowWhileAsking, c.name);
        }
        QVERIFY2(QGuiApplication::overrideCursor() == nullptr, c.name);  // the arrow again
        QVERIFY2((left.FindItemByText(0, "Blink") == 0) == c.removed, c.name);
        QVERIFY2(CountLines(File(Side::Left).root, "targetGeom", "Blink") == (c.removed ? 0 : 1),
                 c.name);
        QVERIFY2(left.FindItemByText(0, "Smile") != 0, c.name);
    }
}

void QtPaneCommandsTest::exportWithoutAGroupSaysSoBeforeAnyFileDialog() {
    Window().Start(DataFile("figure.cr2"));  // no OBJ file attached
    ModalDriver driver;
    QString message;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    driver.Expect([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        if (box == nullptr) {
            modal.close();  // a file dialog: the test fails below
            return;
        }
        message = box->windowTitle() + QLatin1Char('|') + box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    QtTreeControl& left = Tree(Side::Left);
    RightClickItem(left, Reveal(left, {"head"}), QStringLiteral("&Export To OBJ"));
    QVERIFY(driver.Seen());
    QCOMPARE(message, QStringLiteral("OBJ Export|The OBJ file has no group named head."));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(File(Side::Left).modified, 0);
}

void QtPaneCommandsTest::labelEditingOnlyOnMorphTargetsAndPropsOfFigures() {
    Window().Start(DataFile("figure.cr2"));
    LoadRight("pose.pz2");
    QtTreeControl& left = Tree(Side::Left);
    QtTreeControl& right = Tree(Side::Right);
    struct Case {
        QtTreeControl* tree;
        std::initializer_list<const char*> path;
        bool editable;
    };
    const Case cases[] = {
        {&left, {"head"}, false},         {&left, {"head", "MORPH TARGETS"}, false},
        {&left, {"head", "Blink"}, true}, {&left, {"head", "hat_1"}, true},
        {&right, {"head"}, false},        {&right, {"head", "Blink"}, false},
    };
    for (const Case& c : cases) {
        const TreeItem item = Reveal(*c.tree, c.path);
        QVERIFY(item != 0);
        // Insert is the key that starts the editor on the selected item.
        c.tree->SelectItem(item);
        c.tree->setFocus();
        QTest::keyClick(c.tree, Qt::Key_Insert);
        QLineEdit* editor = OpenEditor(*c.tree);
        QCOMPARE(editor != nullptr, c.editable);
        if (editor != nullptr) {
            QTest::keyClick(editor, Qt::Key_Escape);
            QTRY_VERIFY(OpenEditor(*c.tree) == nullptr);
        }
    }
    QCOMPARE(CountLines(File(Side::Left).root, "targetGeom", "Blink"), 1);
}

void QtPaneCommandsTest::labelEditRenamesTheMorphTargetInTheFile() {
    Window().Start(DataFile("figure.cr2"));
    QtTreeControl& left = Tree(Side::Left);
    const TreeItem blink = Reveal(left, {"head", "Blink"});
    left.SelectItem(blink);
    left.setFocus();
    QTest::keyClick(&left, Qt::Key_Insert);
    QLineEdit* editor = OpenEditor(left);
    QVERIFY(editor != nullptr);
    editor->setText(QStringLiteral("  Wink \t"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(left.GetItemText(blink), std::string("Wink"));
    QCOMPARE(CountLines(File(Side::Left).root, "targetGeom", "Wink"), 1);
    QCOMPARE(CountLines(File(Side::Left).root, "targetGeom", "Blink"), 0);

    // "Rename" from the menu opens the same editor; blanks only, or Escape, change nothing.
    RightClickItem(left, blink, QStringLiteral("Rename"));
    editor = OpenEditor(left);
    QVERIFY(editor != nullptr);
    editor->setText(QStringLiteral("   "));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(OpenEditor(left) == nullptr);
    RightClickItem(left, blink, QStringLiteral("Rename"));
    editor = OpenEditor(left);
    QVERIFY(editor != nullptr);
    editor->setText(QStringLiteral("Gone"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(OpenEditor(left) == nullptr);
    QCOMPARE(left.GetItemText(blink), std::string("Wink"));
    QCOMPARE(CountLines(File(Side::Left).root, "targetGeom", "Wink"), 1);
    QCOMPARE(CountLines(File(Side::Left).root, "targetGeom", "Gone"), 0);
}

void QtPaneCommandsTest::droppedFilesLoadOrAttachGeometry() {
    auto drop = [](QWidget& target, const QStringList& files) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& file : files) {
            urls.append(QUrl::fromLocalFile(file));
        }
        mime.setUrls(urls);
        const QPoint inside = target.rect().center();
        QDragEnterEvent enter(inside, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&target, &enter);
        QDropEvent event(QPointF(inside), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&target, &event);
    };
    const QString pose = QString::fromStdString(DataFile("pose.pz2"));
    const QString figure = QString::fromStdString(DataFile("figure.cr2"));

    // Beside the trees a drop is taken and nothing happens.
    drop(Window(), {pose});
    QCOMPARE(File(Side::Left).loaded, 0);
    QCOMPARE(File(Side::Right).loaded, 0);

    // Only the first file counts.
    drop(*Tree(Side::Right).viewport(), {pose, figure});
    QCOMPARE(File(Side::Right).fileName, std::string("pose.pz2"));
    QCOMPARE(File(Side::Right).viewKind, int(kPoseView));
    QVERIFY(Tree(Side::Right).FindItemByText(0, "lHand") != 0);
    QCOMPARE(Button("1007").text(), QStringLiteral("pose.pz2"));
    QVERIFY(!Button("1025").isHidden());
    QCOMPARE(File(Side::Left).loaded, 0);

    // An OBJ file in capitals is geometry, not a pose file; the OBJ button keeps its text.
    Window().Start(figure.toStdString());
    QTemporaryDir folder;
    const QString obj = folder.filePath(QStringLiteral("MANNEQUIN.OBJ"));
    QVERIFY(QFile::copy(QString::fromStdString(DataFile("mannequin.obj")), obj));
    drop(*Tree(Side::Left).viewport(), {obj});
    QVERIFY(File(Side::Left).objMesh != nullptr);
    QCOMPARE(File(Side::Left).objFileName, std::string("MANNEQUIN.OBJ"));
    QCOMPARE(File(Side::Left).fileName, std::string("figure.cr2"));
    QCOMPARE(Button("1022").text(), QStringLiteral("OBJ Geometry File"));

    // A compressed character is recognised by its content and shown as a character.
    QFile plain(figure);
    QVERIFY(plain.open(QIODevice::ReadOnly));
    const QByteArray text = plain.readAll();
    const QString packed = folder.filePath(QStringLiteral("figure.crz"));
    std::FILE* out = std::fopen(QFile::encodeName(packed).constData(), "wb");
    QVERIFY(out != nullptr);
    {
        const auto sink = GzipSink(out);
        QVERIFY(sink->Write(text.constData(), static_cast<std::size_t>(text.size())));
        QVERIFY(sink->Finish());
    }
    std::fclose(out);
    drop(*Tree(Side::Right).viewport(), {packed});
    QCOMPARE(File(Side::Right).fileName, std::string("figure.crz"));
    QCOMPARE(File(Side::Right).viewKind, int(kFigureView));
    QVERIFY(Tree(Side::Right).FindItemByText(0, "Smile") != 0);
    QCOMPARE(Button("1007").text(), QStringLiteral("figure.crz"));
}

void QtPaneCommandsTest::quittingAfterACopyIntoTheRightPaneAsks() {
    Window().Start(DataFile("figure.cr2"));
    LoadRight("figure.cr2");
    QCOMPARE(File(Side::Right).modified, 0);
    QtTreeControl& left = Tree(Side::Left);
    {
        ModalDriver unexpected;
        unexpected.Refuse();
        const Popup popup = RightClickItem(left, Reveal(left, {"head", "Blink"}), "Copy");
        QCOMPARE(popup.menu, QStringLiteral("146"));
        QVERIFY(!unexpected.Seen());  // copying asks nothing
    }
    QCOMPARE(CountLines(File(Side::Right).root, "targetGeom", "Blink"), 1);
    QCOMPARE(File(Side::Left).modified, 0);
    QVERIFY(File(Side::Right).modified != 0);

    ModalDriver driver;
    QString question;
    driver.Expect([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        question = box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(QMessageBox::No)->click();
    });
    Button("2").click();
    QVERIFY(driver.Seen());
    QCOMPARE(question,
             QStringLiteral("WARNING!|You have made changes. Are you sure you wish to quit?"));
    QVERIFY(Window().isVisible());
}

void QtPaneCommandsTest::propertiesEditsACopyAndOkWritesItBack() {
    Window().Start(DataFile("figure.cr2"));
    QtTreeControl& left = Tree(Side::Left);
    const Block* blink = nullptr;
    {
        const TreeItem item = Reveal(left, {"head", "Blink"});
        blink = File(Side::Left).BlockOfItem(item);
        QVERIFY(blink != nullptr);
    }
    const long long size = blink->TextSize();

    ModalDriver driver;
    QString title, sizeText, top;
    int topCount = -1;
    bool expanded = false;
    Popup inspectorMenu;
    bool paneUnchangedMeanwhile = false;
    driver.ExpectNamed(QStringLiteral("158"), [&](QWidget& modal) {
        auto& dialog = static_cast<BlockInfoDialog&>(modal);
        title = dialog.windowTitle() + QLatin1Char('|') +
                dialog.findChild<QLabel*>(QStringLiteral("1050"))->text();
        sizeText = dialog.findChild<QLabel*>(QStringLiteral("1052"))->text();
        QtTreeControl& tree = dialog.Tree();
        topCount = tree.topLevelItemCount();
        top = tree.topLevelItem(0)->text(0);
        expanded = tree.topLevelItem(0)->isExpanded();
        dialog.Commands().runChangeDialog = [](const std::string& label, const std::string& value) {
            return label == "Change Data:" && value == "Blink" ? std::optional<std::string>("Wink")
                                                               : std::nullopt;
        };
        inspectorMenu = RightClickItem(tree, tree.HandleOf(tree.topLevelItem(0)),
                                       QStringLiteral("Change &Data"));
        paneUnchangedMeanwhile = CountLines(File(Side::Left).root, "targetGeom", "Blink") == 1 &&
                                 CountLines(dialog.Copy().root, "targetGeom", "Wink") == 1;
        dialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    RightClickItem(left, Reveal(left, {"head", "Blink"}), QStringLiteral("Properties"));
    QVERIFY(driver.Seen());
    QCOMPARE(title, QStringLiteral("Block Info|targetGeom Blink"));
    QCOMPARE(sizeText, QString::fromStdString(KilobytesText(size)));
    QCOMPARE(topCount, 1);
    QCOMPARE(top, QStringLiteral("targetGeom Blink"));
    QVERIFY(expanded);
    QCOMPARE(inspectorMenu.menu, QStringLiteral("159"));
    QCOMPARE(inspectorMenu.entries,
             (QStringList{"Change &Data", "Change &Tag", "Delete", "-", "&Cancel"}));
    QVERIFY(paneUnchangedMeanwhile);

    QCOMPARE(CountLines(File(Side::Left).root, "targetGeom", "Wink"), 1);
    QCOMPARE(CountLines(File(Side::Left).root, "targetGeom", "Blink"), 0);
    QVERIFY(left.FindItemByText(0, "Wink") != 0);  // the pane's tree was refreshed
}

void QtPaneCommandsTest::blockInfoCancelLeavesTheFileAsItWas() {
    Window().Start(DataFile("figure.cr2"));
    QtTreeControl& left = Tree(Side::Left);
    ModalDriver driver;
    bool deletedInCopy = false;
    QString question;
    bool askedOverTheDialog = false;
    driver.ExpectNamed(QStringLiteral("158"), [&](QWidget& modal) {
        auto& dialog = static_cast<BlockInfoDialog&>(modal);
        QVERIFY(!dialog.Tree().acceptDrops());
        QCOMPARE(dialog.Copy().confirmDelete, 1);
        QtTreeControl& tree = dialog.Tree();
        tree.SelectItem(tree.FindItemByText(0, "k 0 0.5"));
        tree.setFocus();
        ModalDriver asked;
        asked.ExpectWhere([](QWidget& box) { return qobject_cast<QMessageBox*>(&box) != nullptr; },
                          [&](QWidget& box) {
                              auto* message = qobject_cast<QMessageBox*>(&box);
                              question =
                                  message->windowTitle() + QLatin1Char('|') + message->text();
                              askedOverTheDialog = message->parentWidget() == &dialog;
                              message->button(QMessageBox::Ok)->click();
                          });
        QTest::keyClick(&tree, Qt::Key_Delete);
        QVERIFY(asked.Seen());
        deletedInCopy = tree.FindItemByText(0, "k 0 0.5") == 0 &&
                        CountLines(dialog.Copy().root, "k", "0 0.5") == 0;
        dialog.findChild<QPushButton*>(QStringLiteral("2"))->click();
    });
    RightClickItem(left, Reveal(left, {"head", "Blink"}), QStringLiteral("Properties"));
    QVERIFY(driver.Seen());
    QCOMPARE(question, QStringLiteral("Delete?|Are you sure you wish to delete k 0 0.5?"));
    QVERIFY(askedOverTheDialog);
    QVERIFY(deletedInCopy);
    QCOMPARE(CountLines(File(Side::Left).root, "k", "0 0.5"), 1);
    QCOMPARE(File(Side::Left).modified, 0);
}

void QtPaneCommandsTest::blockInfoTagChangedToEmptyHidesTheLineButKeepsIt() {
    Window().Start(DataFile("figure.cr2"));
    const TreeItem item = Reveal(Tree(Side::Left), {"head", "Blink"});
    Block& blink = *File(Side::Left).BlockOfItem(item);
    BlockInfoDialog dialog(blink, *ui_, *store_, Window().Shell().commandContext, &Window());
    dialog.show();
    QtTreeControl& tree = dialog.Tree();
    dialog.Commands().runChangeDialog = [](const std::string&, const std::string&) {
        return std::optional<std::string>("");
    };
    dialog.Copy().commandItem = tree.HandleOf(tree.topLevelItem(0));
    dialog.Commands().Dispatch(kCmdChangeTag);
    QVERIFY(tree.FindItemByText(0, "targetGeom Blink") == 0);
    QVERIFY(tree.FindItemByText(0, "name Blink") != 0);  // its lines move up
    QCOMPARE(dialog.Copy().root.tag, std::string());
    QCOMPARE(dialog.Copy().root.data, std::string("Blink"));
    QCOMPARE(blink.tag, std::string("targetGeom"));  // the pane's Block waits for OK
    dialog.accept();
    QCOMPARE(blink.tag, std::string());
    QCOMPARE(blink.treeItem, item);  // the pane still finds it until it refreshes
}

void QtPaneCommandsTest::changeDialogGivesBackExactlyWhatWasTyped() {
    ChangeDialog dialog("Change Tag: Warning! Very Dangerous!", "caf\xe9 au lait", nullptr);
    QCOMPARE(dialog.objectName(), QStringLiteral("160"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("1056"))->text(),
             QStringLiteral("Change Tag: Warning! Very Dangerous!"));
    // Left as shown, a text that is not UTF-8 comes back byte for byte.
    QCOMPARE(dialog.Value(), std::string("caf\xe9 au lait"));
    struct Case {
        QString typed;
        std::string value;
    };
    const std::string longText(40000, 'x');
    const Case cases[] = {
        {QStringLiteral("  two  words "), "  two  words "},
        {QString(), ""},
        {QString::fromUtf8("caf\xc3\xa9"), "caf\xc3\xa9"},
        {QString::fromStdString(longText), longText},
    };
    for (const Case& c : cases) {
        dialog.Field()->setText(c.typed);
        QCOMPARE(dialog.Value(), c.value);
    }
    ChangeDialog longValue("Change Data:", longText, nullptr);
    QCOMPARE(longValue.Value().size(), longText.size());
}

void QtPaneCommandsTest::kilobytesAreThousandsOfCharactersInTenPlaces() {
    const std::pair<long long, const char*> cases[] = {
        {0, "      0.00 Kilobytes"},
        {12345, "     12.35 Kilobytes"},
        {999, "      1.00 Kilobytes"},
        {123456789012LL, "123456800.00 Kilobytes"},  // single precision, wider than ten
    };
    for (const auto& [characters, text] : cases) {
        QCOMPARE(QString::fromStdString(KilobytesText(characters)), QString::fromLatin1(text));
    }
}

QTEST_MAIN(QtPaneCommandsTest)
#include "QtPaneCommandsTest.moc"
