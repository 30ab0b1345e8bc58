#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "app/QtTreeControl.h"

using tessary::QtTreeControl;
using tessary::TreeItem;

class QtTreeControlTest : public QObject {
    Q_OBJECT

  private slots:
    void handlesAreNeverReused();
    void itemTextsKeepTheirBytes_data();
    void itemTextsKeepTheirBytes();
    void navigationFollowsInsertionOrder();
    void deletingAnItemForgetsItsWholeSubtree();
    void sortingOrdersOnlyTheTopLevel();
    void searchesAndStepsAgreeWithTheWidget();
    void deepNestingIsClearedWithoutRecursion();
    void itemsWithoutImageShowTheFirstPicture();
    void labelEditingAsksFirstAndReportsTheText();
    void rightClickReportsTheItemWithoutSelectingIt();
    void insertAndDeleteKeysGoToTheHandler();
    void droppedFilesAreReportedInOrder();
};

void QtTreeControlTest::handlesAreNeverReused() {
    QtTreeControl tree;
    const TreeItem first = tree.InsertItem(0, "BODY", 0);
    const TreeItem child = tree.InsertItem(first, "MORPH TARGETS", 3);
    tree.DeleteAllItems();
    const TreeItem again = tree.InsertItem(0, "BODY", 0);
    QVERIFY(again != first && again != child);
    QVERIFY(tree.ItemOf(first) == nullptr);
    QCOMPARE(tree.GetItemText(first), std::string());
    QCOMPARE(tree.GetParentItem(child), TreeItem{0});
    QCOMPARE(tree.InsertItem(first, "orphan", 1), TreeItem{0});
    QCOMPARE(tree.topLevelItemCount(), 1);
}

void QtTreeControlTest::itemTextsKeepTheirBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii") << QByteArray("lHand") << QStringLiteral("lHand");
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9") << QStringLiteral("caf\u00e9");
    QTest::newRow("latin-1 byte") << QByteArray("caf\xe9") << QStringLiteral("caf\u00e9");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ampersand") << QByteArray("A&B") << QStringLiteral("A&B");
}

void QtTreeControlTest::itemTextsKeepTheirBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QtTreeControl tree;
    const std::string text = bytes.toStdString();
    const TreeItem item = tree.InsertItem(0, text, 1);
    QCOMPARE(tree.GetItemText(item), text);
    QVERIFY(tree.ItemTextEquals(item, text));
    QVERIFY(!tree.ItemTextEquals(item, text + "x"));
    QCOMPARE(tree.ItemOf(item)->text(0), shown);

    tree.SetItemText(item, text + "2");
    QCOMPARE(tree.GetItemText(item), text + "2");
}

void QtTreeControlTest::navigationFollowsInsertionOrder() {
    QtTreeControl tree;
    const TreeItem head = tree.InsertItem(0, "head", 0);
    const TreeItem hand = tree.InsertItem(0, "lHand", 0);
    const TreeItem morphs = tree.InsertItem(head, "MORPH TARGETS", 3);
    const TreeItem blink = tree.InsertItem(morphs, "Blink", 1);
    const TreeItem smile = tree.InsertItem(morphs, "Smile", 1);

    QCOMPARE(tree.GetChildItem(0), head);
    QCOMPARE(tree.GetNextSiblingItem(head), hand);
    QCOMPARE(tree.GetNextSiblingItem(hand), TreeItem{0});
    QCOMPARE(tree.GetChildItem(morphs), blink);
    QCOMPARE(tree.GetNextSiblingItem(blink), smile);
    QCOMPARE(tree.GetParentItem(smile), morphs);
    QCOMPARE(tree.GetParentItem(head), TreeItem{0});
    QVERIFY(tree.ItemHasChildren(head));
    QVERIFY(!tree.ItemHasChildren(hand));
    QCOMPARE(tree.GetItemImage(blink), 1);
    QCOMPARE(tree.GetFirstVisibleItem(), head);

    tree.SelectItem(smile);
    QCOMPARE(tree.GetSelectedItem(), smile);
    tree.SelectItem(0);
    QCOMPARE(tree.GetSelectedItem(), TreeItem{0});
}

void QtTreeControlTest::deletingAnItemForgetsItsWholeSubtree() {
    QtTreeControl tree;
    const TreeItem head = tree.InsertItem(0, "head", 0);
    const TreeItem morphs = tree.InsertItem(head, "MORPH TARGETS", 3);
    const TreeItem blink = tree.InsertItem(morphs, "Blink", 1);
    const TreeItem props = tree.InsertItem(head, "PROPS", 3);

    tree.DeleteItem(morphs);
    QVERIFY(tree.ItemOf(morphs) == nullptr);
    QVERIFY(tree.ItemOf(blink) == nullptr);
    QCOMPARE(tree.GetChildItem(head), props);
    // Deleting a stale handle is harmless.
    tree.DeleteItem(blink);
    tree.DeleteItem(head);
    QCOMPARE(tree.topLevelItemCount(), 0);
    QVERIFY(tree.ItemOf(props) == nullptr);
}

void QtTreeControlTest::sortingOrdersOnlyTheTopLevel() {
    QtTreeControl tree;
    const TreeItem upper = tree.InsertItem(0, "rHand", 0);
    tree.InsertItem(upper, "zeta", 1);
    tree.InsertItem(upper, "alpha", 1);
    tree.InsertItem(0, "BODY", 0);
    const TreeItem lower = tree.InsertItem(0, "lHand", 0);
    tree.InsertItem(lower, "x", 1);
    tree.InsertItem(0, "abdomen", 0);
    tree.Expand(upper);
    tree.SelectItem(lower);

    tree.SortTopLevel();

    std::vector<std::string> top;
    for (TreeItem item = tree.GetChildItem(0); item != 0; item = tree.GetNextSiblingItem(item)) {
        top.push_back(tree.GetItemText(item));
    }
    QCOMPARE(top, (std::vector<std::string>{"abdomen", "BODY", "lHand", "rHand"}));
    QCOMPARE(tree.GetItemText(tree.GetChildItem(upper)), std::string("zeta"));
    QVERIFY(tree.ItemOf(upper)->isExpanded());
    QCOMPARE(tree.GetSelectedItem(), lower);
}

void QtTreeControlTest::searchesAndStepsAgreeWithTheWidget() {
    QtTreeControl tree;
    const TreeItem hip = tree.InsertItem(0, "hip", 0);
    const TreeItem head = tree.InsertItem(0, "head", 0);
    const TreeItem hipMorphs = tree.InsertItem(hip, "MORPH TARGETS", 3);
    const TreeItem headMorphs = tree.InsertItem(head, "MORPH TARGETS", 3);
    const TreeItem gone = tree.InsertItem(hipMorphs, "Smile", 1);
    const TreeItem smile = tree.InsertItem(headMorphs, "Smile", 1);
    const TreeItem renamed = tree.InsertItem(headMorphs, "Blink", 1);
    QCOMPARE(tree.FindItemByText(0, "MORPH TARGETS"), hipMorphs);
    QCOMPARE(tree.FindItemByText(0, "Smile"), gone);

    // After sorting, deleting and renaming, searches of the whole tree follow what it shows.
    tree.SortTopLevel();
    tree.DeleteItem(gone);
    tree.SetItemText(renamed, "Wink");
    QCOMPARE(tree.FindItemByText(0, "MORPH TARGETS"), headMorphs);
    QCOMPARE(tree.FindItemByText(0, "Smile"), smile);
    QCOMPARE(tree.FindItemByText(0, "Blink"), TreeItem{0});
    QCOMPARE(tree.FindItemByText(0, "Wink"), renamed);
    QCOMPARE(tree.ItemOf(renamed)->text(0), QStringLiteral("Wink"));
    QCOMPARE(tree.HandleOf(tree.ItemOf(headMorphs)->child(1)), renamed);
    std::vector<TreeItem> top;
    for (TreeItem item = tree.GetChildItem(0); item != 0; item = tree.GetNextSiblingItem(item)) {
        QCOMPARE(tree.HandleOf(tree.topLevelItem(static_cast<int>(top.size()))), item);
        top.push_back(item);
    }
    QCOMPARE(top, (std::vector<TreeItem>{head, hip}));
    QVERIFY(!tree.ItemHasChildren(hipMorphs));
}

void QtTreeControlTest::deepNestingIsClearedWithoutRecursion() {
    QtTreeControl tree;
    TreeItem parent = 0;
    TreeItem middle = 0;
    constexpr int kDepth = 200000;
    for (int depth = 0; depth < kDepth; ++depth) {
        parent = tree.InsertItem(parent, "level", -1);
        QVERIFY(parent != 0);
        if (depth == kDepth / 2) {
            middle = parent;
        }
    }
    tree.DeleteItem(middle);
    QVERIFY(tree.ItemOf(parent) == nullptr);
    tree.DeleteAllItems();
    QCOMPARE(tree.topLevelItemCount(), 0);
}

void QtTreeControlTest::itemsWithoutImageShowTheFirstPicture() {
    QtTreeControl tree;
    const TreeItem raw = tree.InsertItem(0, "version", tessary::kNoImage);
    const TreeItem prop = tree.InsertItem(0, "hat", tessary::kImageProp);
    QVERIFY(tree.ItemOf(raw)->icon(0).isNull());
    tree.InstallImageList();
    QCOMPARE(tree.GetItemImage(raw), int(tessary::kNoImage));
    const QImage first = tree.ItemOf(raw)->icon(0).pixmap(16, 16).toImage();
    const QImage ball =
        tree.ItemOf(tree.InsertItem(0, "BODY", 0))->icon(0).pixmap(16, 16).toImage();
    QVERIFY(!first.isNull());
    QCOMPARE(first, ball);
    QVERIFY(tree.ItemOf(prop)->icon(0).pixmap(16, 16).toImage() != ball);
    // White is the transparent colour of the pictures.
    QCOMPARE(qAlpha(first.pixel(0, 0)), 0);
}

void QtTreeControlTest::labelEditingAsksFirstAndReportsTheText() {
    QtTreeControl tree;
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    const TreeItem actor = tree.InsertItem(0, "head", 0);
    const TreeItem morph = tree.InsertItem(actor, "Blink", 1);
    tree.Expand(actor);

    QVERIFY(!tree.EditLabel(morph));  // nobody allows it

    std::vector<TreeItem> asked;
    tree.beginLabelEdit = [&](TreeItem item) {
        asked.push_back(item);
        return item != actor;
    };
    std::vector<std::pair<TreeItem, std::optional<std::string>>> edited;
    tree.labelEdited = [&](TreeItem item, const std::optional<std::string>& text) {
        edited.emplace_back(item, text);
    };
    QVERIFY(!tree.EditLabel(actor));
    QVERIFY(tree.EditLabel(morph));
    asked.erase(std::unique(asked.begin(), asked.end()), asked.end());
    QCOMPARE(asked, (std::vector<TreeItem>{actor, morph}));

    auto* editor = tree.findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->setText(QStringLiteral("  Wink "));
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over from the event loop.
    QTRY_COMPARE(edited.size(), std::size_t{1});
    QCOMPARE(edited[0].first, morph);
    QCOMPARE(edited[0].second, std::optional<std::string>("  Wink "));
    // The label changes only when the handler says so.
    QCOMPARE(tree.GetItemText(morph), std::string("Blink"));

    QVERIFY(tree.EditLabel(morph));
    editor = tree.findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->setText(QStringLiteral("Gone"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(tree.findChild<QLineEdit*>() == nullptr ||
                !tree.findChild<QLineEdit*>()->isVisible());
    // A cancelled edit ends with no text.
    QCOMPARE(edited.size(), std::size_t{2});
    QCOMPARE(edited[1].first, morph);
    QVERIFY(!edited[1].second.has_value());

    // A label inside a collapsed parent is not on screen: no editor.
    tree.collapseItem(tree.ItemOf(actor));
    QVERIFY(!tree.EditLabel(morph));
}

void QtTreeControlTest::rightClickReportsTheItemWithoutSelectingIt() {
    QtTreeControl tree;
    tree.resize(200, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    const TreeItem first = tree.InsertItem(0, "first", 0);
    const TreeItem second = tree.InsertItem(0, "second", 0);
    tree.SelectItem(first);

    std::vector<TreeItem> clicked;
    tree.contextMenuRequested = [&](TreeItem item, QPoint) { clicked.push_back(item); };
    const QPoint onSecond = tree.visualItemRect(tree.ItemOf(second)).center();
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, onSecond);
    QTest::mouseRelease(tree.viewport(), Qt::RightButton, {}, onSecond);
    QCOMPARE(tree.GetSelectedItem(), first);

    QContextMenuEvent onItem(QContextMenuEvent::Mouse, onSecond,
                             tree.viewport()->mapToGlobal(onSecond));
    QApplication::sendEvent(tree.viewport(), &onItem);
    const QPoint blank(5, tree.viewport()->height() - 5);
    QContextMenuEvent onBlank(QContextMenuEvent::Mouse, blank, tree.viewport()->mapToGlobal(blank));
    QApplication::sendEvent(tree.viewport(), &onBlank);
    QCOMPARE(clicked, (std::vector<TreeItem>{second, 0}));

    // The menu key means the selected item wherever the event says it is.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, blank, tree.viewport()->mapToGlobal(blank));
    QApplication::sendEvent(tree.viewport(), &key);
    QCOMPARE(clicked, (std::vector<TreeItem>{second, 0, first}));
    tree.SelectItem(0);
    QApplication::sendEvent(tree.viewport(), &key);
    QCOMPARE(clicked.size(), std::size_t{3});
}

void QtTreeControlTest::insertAndDeleteKeysGoToTheHandler() {
    QtTreeControl tree;
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    const TreeItem first = tree.InsertItem(0, "first", 0);
    tree.InsertItem(0, "second", 0);
    tree.SelectItem(first);
    std::vector<int> keys;
    tree.keyPressed = [&](int key) {
        keys.push_back(key);
        return true;
    };
    QTest::keyClick(&tree, Qt::Key_Insert);
    QTest::keyClick(&tree, Qt::Key_Delete);
    QTest::keyClick(&tree, Qt::Key_Down);
    QCOMPARE(keys, (std::vector<int>{Qt::Key_Insert, Qt::Key_Delete}));
    QVERIFY(tree.GetSelectedItem() != first);  // other keys move as usual
}

void QtTreeControlTest::droppedFilesAreReportedInOrder() {
    QtTreeControl tree;
    tree.resize(200, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.cr2")),
                  QUrl(QStringLiteral("https://example.invalid/b.cr2")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/C.OBJ"))});
    const QPoint inside(20, 20);

    QDragEnterEvent refused(inside, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(tree.viewport(), &refused);
    QVERIFY(!refused.isAccepted());  // nobody takes drops yet

    QStringList dropped;
    tree.filesDropped = [&](const QStringList& paths) { dropped = paths; };
    QDragEnterEvent enter(inside, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(tree.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(inside), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(tree.viewport(), &drop);
    QCOMPARE(dropped, (QStringList{QStringLiteral("/tmp/a.cr2"), QStringLiteral("/tmp/C.OBJ")}));
}

QTEST_MAIN(QtTreeControlTest)
#include "QtTreeControlTest.moc"
