// The window as a desktop user meets it: resizing, its kept placement, title and status line,
// the painted progress window, the keys and the find field.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <set>

#include "ModalDriver.h"
#include "WindowTestBase.h"
#include "app/QtTreeControl.h"
#include "commands/CommandIds.h"

using namespace tessary;

class QtDesktopWindowTest : public test::WindowTestBase {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(OpenWindow()); }
    void cleanup() { CloseWindow(); }
    void growingGivesTheTreesTheRoom();
    void placementIsKeptOutsideThePreferences();
    void titleAndStatusFollowCopySaveAndPartialLoad();
    void progressWindowIsPaintedWhileALoadRuns();
    void keysReachTheFocusedPane();
    void findStepsThroughAHeadOf3400MorphTargets();
    void undoAndRedoKeysActInTheFocusedPane();

  private:
    QWidget& Control(const char* id) {
        auto* control = window_->findChild<QWidget*>(QString::fromLatin1(id));
        Q_ASSERT(control != nullptr);
        return *control;
    }
    void ShowActive() {
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    QString WriteFile(const QString& name, const QByteArray& text) {
        const QString path = QDir(home_->path()).filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
        }
        return path;
    }
    static std::string Example(const char* name) {
        return QDir(QStringLiteral(TESSARY_EXAMPLES_DIR))
            .filePath(QLatin1String(name))
            .toStdString();
    }
};

void QtDesktopWindowTest::growingGivesTheTreesTheRoom() {
    ShowActive();
    const QRect leftTree = Control("1000").geometry();
    const QRect rightTree = Control("1001").geometry();
    const QRect rightLoad = Control("1007").geometry();
    const QRect quit = Control("2").geometry();
    const QRect status = window_->StatusLine().geometry();
    QVERIFY(window_->maximumWidth() > window_->width());

    window_->resize(window_->size() + QSize(400, 300));
    QCOMPARE(Control("1000").geometry(), leftTree.adjusted(0, 0, 200, 300));
    QCOMPARE(Control("1001").geometry(), rightTree.adjusted(200, 0, 400, 300));
    QCOMPARE(Control("1007").geometry(), rightLoad.adjusted(200, 0, 400, 0));
    QCOMPARE(Control("2").geometry(), quit);
    QCOMPARE(window_->StatusLine().geometry(), status.adjusted(0, 300, 400, 300));
    // The columns keep their order from left to right.
    QVERIFY(Control("1000").geometry().right() < Control("1001").geometry().left());

    // The Block Info dialog grows the same way: its tree takes the room.
    window_->Start(Example("figure.cr2"));
    QtTreeControl& tree = window_->Tree(Side::Left);
    ModalDriver driver;
    QSize grown;
    driver.ExpectNamed(QStringLiteral("158"), [&grown](QWidget& dialog) {
        QWidget* inspected = dialog.findChild<QWidget*>(QStringLiteral("1053"));
        const QSize before = inspected->size();
        dialog.resize(dialog.size() + QSize(100, 50));
        grown = inspected->size() - before;
        dialog.close();
    });
    window_->Shell().File(Side::Left).commandItem = tree.FindItemByText(0, "head");
    window_->Shell().Commands(Side::Left).Dispatch(kCmdProperties);
    QCOMPARE(grown, QSize(100, 50));

    // A label cut at the tree's edge shows whole in a tool tip, and the tree scrolls sideways.
    QtTreeControl& right = window_->Tree(Side::Right);
    const QString longName = QStringLiteral("PHMEyesClosed").repeated(8);
    right.InsertItem(0, longName.toStdString(), kImageMorph);
    const QPoint at = right.visualItemRect(right.topLevelItem(0)).center();
    QHelpEvent help(QEvent::ToolTip, at, right.viewport()->mapToGlobal(at));
    QApplication::sendEvent(right.viewport(), &help);
    QCOMPARE(QToolTip::text(), longName);
    QTRY_VERIFY(right.horizontalScrollBar()->maximum() > 0);
}

void QtDesktopWindowTest::placementIsKeptOutsideThePreferences() {
    ShowActive();
    window_->resize(window_->size() + QSize(120, 80));
    const QSize size = window_->size();
    window_->reject();
    QVERIFY(!window_->isVisible());
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessary"),
                       QStringLiteral("tessary-test"));
    QCOMPARE(settings.value(QStringLiteral("Window/Width")).toInt(), size.width());
    QCOMPARE(settings.value(QStringLiteral("Window/Height")).toInt(), size.height());
    settings.beginGroup(QStringLiteral("Preferences"));
    QVERIFY(!settings.contains(QStringLiteral("Width")));
    settings.endGroup();

    // The next window opens as the last one closed.
    QtMainWindow next(*ui_, *store_);
    QCOMPARE(next.size(), size);
}

void QtDesktopWindowTest::titleAndStatusFollowCopySaveAndPartialLoad() {
    window_->Start(std::vector<std::string>{Example("figure.cr2"), Example("figure.cr2")});
    QCOMPARE(window_->windowTitle(), QStringLiteral("figure.cr2 | figure.cr2 - tessary"));
    QCOMPARE(window_->StatusLine().text(), QStringLiteral("Loaded figure.cr2"));

    QtTreeControl& left = window_->Tree(Side::Left);
    QtTreeControl& right = window_->Tree(Side::Right);
    const TreeItem head = left.FindItemByText(0, "head");
    window_->Shell().File(Side::Left).commandItem = left.FindItemByText(head, "MORPH TARGETS");
    window_->Shell().Commands(Side::Left).Dispatch(kCmdCopyAllMorphTargets);
    QCOMPARE(window_->StatusLine().text(), QStringLiteral("Copied 2 morph targets to head"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("figure.cr2 | figure.cr2* - tessary"));
    // The copy is selected in the other tree, its parents opened.
    QTreeWidgetItem* selected = right.currentItem();
    QVERIFY(selected != nullptr && selected->isSelected());
    QCOMPARE(selected->text(0), QStringLiteral("Smile"));
    QVERIFY(selected->parent()->isExpanded() && selected->parent()->parent()->isExpanded());

    const QString saved = QDir(home_->path()).filePath(QStringLiteral("saved.cr2"));
    ui_->saveAnswers.push_back(saved.toStdString());
    qobject_cast<QPushButton*>(&Control("1008"))->click();
    QCOMPARE(window_->StatusLine().text(), QStringLiteral("Saved saved.cr2"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("figure.cr2 | saved.cr2 - tessary"));

    const QString partial =
        WriteFile(QStringLiteral("partial.cr2"), "{\nactor a\n\t{\n\t}\n}\nactor b\n\t{\n\t}\n");
    ui_->openAnswers.push_back(partial.toStdString());
    qobject_cast<QPushButton*>(&Control("1004"))->click();
    QCOMPARE(window_->StatusLine().text(),
             QStringLiteral("Read 5 of 8 lines; the rest is not part of the file's tree"));
    // A report longer than the line is cut there and whole in the tool tip.
    window_->resize(window_->minimumSize());
    QVERIFY(window_->StatusLine().text().endsWith(QChar(0x2026)) ||
            window_->StatusLine().toolTip().isEmpty());
}

void QtDesktopWindowTest::progressWindowIsPaintedWhileALoadRuns() {
    QByteArray text = "{\n";
    for (int actor = 0; actor < 3000; ++actor) {
        text += "actor part" + QByteArray::number(actor) + ":1\n\t{\n\tchannels\n\t\t{\n";
        for (int line = 0; line < 40; ++line) {
            text += "\t\tk " + QByteArray::number(line) + " 0.000100 0.000200\n";
        }
        text += "\t\t}\n\t}\n";
    }
    text += "}\n";
    const QString path = WriteFile(QStringLiteral("large.cr2"), text);
    ShowActive();
    int painted = 0;
    bool waiting = true;
    ui_->onProgress = [&](ProgressWindow& progress) {
        // What the window shows at this moment of the load: text and bar on its face.
        // What is on the screen, not a fresh rendering: only a window painted while the work
        // runs shows its text and bar there.
        const QImage face = progress.screen()->grabWindow(progress.winId()).toImage();
        std::set<QRgb> colours;
        for (int y = 0; y < face.height(); y += 2) {
            for (int x = 0; x < face.width(); x += 2) {
                colours.insert(face.pixel(x, y));
            }
        }
        painted += progress.isVisible() && colours.size() > 8 ? 1 : 0;
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waiting = waiting && cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    };
    window_->Start(path.toStdString());
    QVERIFY2(painted >= 10, qPrintable(QString::number(painted)));
    QVERIFY(waiting);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void QtDesktopWindowTest::keysReachTheFocusedPane() {
    ShowActive();
    QtTreeControl& right = window_->Tree(Side::Right);
    right.setFocus();
    QCOMPARE(window_->FocusedSide(), Side::Right);

    // Ctrl+O loads into the focused pane, Ctrl+S saves it; Alt+L is the left Load button.
    ui_->openAnswers.push_back(Example("figure.cr2"));
    QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(window_->Shell().File(Side::Right).loaded, 1);
    QCOMPARE(window_->Shell().File(Side::Left).loaded, 0);
    ui_->saveAnswers.push_back(QDir(home_->path()).filePath(QStringLiteral("k.cr2")).toStdString());
    // The offscreen platform activates the progress window whatever it is told, and nothing
    // once it closes; a desktop gives the window back its activation.
    ShowActive();
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(QDir(home_->path()).filePath(QStringLiteral("k.cr2"))));
    ShowActive();
    ui_->openAnswers.push_back(Example("pose.pz2"));
    QTest::keyClick(window_.get(), Qt::Key_L, Qt::AltModifier);
    ShowActive();
    QCOMPARE(window_->Shell().File(Side::Left).fileName, std::string("pose.pz2"));

    // Shift+F10 opens the selected item's menu.
    right.SelectItem(right.FindItemByText(0, "head"));
    right.setFocus();
    QString menuName;
    QTimer::singleShot(50, [&menuName] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuName = popup->objectName();
            popup->close();
        }
    });
    QTest::keyClick(window_.get(), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(!menuName.isEmpty());

    // F1 without a help page says so.
    ModalDriver driver;
    QString said;
    driver.Expect([&said](QWidget& box) {
        said = qobject_cast<QMessageBox*>(&box)->text();
        box.close();
    });
    QTest::keyClick(window_.get(), Qt::Key_F1);
    QVERIFY2(said.startsWith(QStringLiteral("The help page could not be opened")),
             qPrintable(said));

    // Ctrl+F opens the find field of the focused pane; Escape there closes it, not the window.
    ShowActive();
    right.setFocus();
    QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
    QLineEdit& find = window_->FindField(Side::Right);
    QVERIFY(find.isVisible() && find.hasFocus());
    QTest::keyClick(&find, Qt::Key_Escape);
    QVERIFY(!find.isVisible());
    QVERIFY(window_->isVisible());
    // Escape in the window still quits (after the question, as there are unsaved changes).
    driver.Expect(
        [](QWidget& box) { qobject_cast<QMessageBox*>(&box)->button(QMessageBox::Yes)->click(); });
    window_->Shell().File(Side::Left).modified = 1;
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    QVERIFY(!window_->isVisible());
}

void QtDesktopWindowTest::findStepsThroughAHeadOf3400MorphTargets() {
    QByteArray text = "{\nactor head:1\n\t{\n\tchannels\n\t\t{\n";
    for (int morph = 0; morph < 3400; ++morph) {
        text +=
            "\t\ttargetGeom m" + QByteArray::number(morph) + "\n\t\t\t{\n\t\t\tk 0 0\n\t\t\t}\n";
    }
    text += "\t\t}\n\t}\n}\n";
    window_->Start(WriteFile(QStringLiteral("head.cr2"), text).toStdString());
    ShowActive();
    QtTreeControl& tree = window_->Tree(Side::Left);
    tree.setFocus();
    QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
    QLineEdit& find = window_->FindField(Side::Left);
    QTest::keyClicks(&find, QStringLiteral("M33"));
    // m33, m330..m339, m3300..m3399
    QTreeWidgetItem* current = tree.currentItem();
    QCOMPARE(current->text(0), QStringLiteral("m33"));
    QVERIFY(current->parent()->isExpanded());
    QTest::keyClick(&find, Qt::Key_Return);
    QCOMPARE(tree.currentItem()->text(0), QStringLiteral("m330"));
    QTest::keyClick(&find, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(&find, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(tree.currentItem()->text(0), QStringLiteral("m3399"));
    auto* count = find.parentWidget()->findChild<QLabel*>();
    QCOMPARE(count->text(), QStringLiteral("111 of 111"));
}

void QtDesktopWindowTest::undoAndRedoKeysActInTheFocusedPane() {
    window_->Start(Example("figure.cr2"));
    ShowActive();
    QtTreeControl& left = window_->Tree(Side::Left);
    FigureFile& file = window_->Shell().File(Side::Left);
    file.confirmDelete = 0;
    const auto smile = [&left] {
        return left.FindItemByText(left.FindItemByText(0, "head"), "Smile");
    };
    left.setFocus();
    left.SelectItem(smile());
    QTest::keyClick(&left, Qt::Key_Delete);
    QCOMPARE(smile(), TreeItem(0));
    QCOMPARE(window_->windowTitle(),
             QStringLiteral("figure.cr2* | (empty) - tessary - Undo Delete (Smile)"));

    // The user's place stays: the item selected after the deletion is selected again.
    const std::string place = left.GetItemText(left.GetSelectedItem());
    QVERIFY(!place.empty());
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(smile() != 0);
    QCOMPARE(left.GetItemText(left.GetSelectedItem()), place);
    QCOMPARE(file.modified, 0);
    QCOMPARE(window_->windowTitle(),
             QStringLiteral("figure.cr2 | (empty) - tessary - Redo Delete (Smile)"));
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(smile(), TreeItem(0));
    QCOMPARE(file.modified, 1);
    QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window_.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(smile(), TreeItem(0));
    QCOMPARE(window_->StatusLine().text(), QStringLiteral("Redid Delete (Smile)"));
}

QTEST_MAIN(QtDesktopWindowTest)
#include "QtDesktopWindowTest.moc"
