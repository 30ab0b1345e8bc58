// The Combine Morph Targets dialog: clicks toggle list entries, Select All / None, the two
// radio buttons, Enter and Escape; and the dialog opened from a pane's MORPH TARGETS folder.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "ModalDriver.h"
#include "WindowTestBase.h"
#include "app/CombineDialog.h"
#include "app/QtTreeControl.h"
#include "commands/CommandIds.h"
#include "commands/PaneCommands.h"
#include "model/Block.h"
#include "pane/FigureFile.h"
#include "shell/MainWindow.h"

using namespace tessary;
using test::DataFile;

namespace {

void ClickEntry(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
}

QList<int> SelectedRows(const QListWidget& list) {
    QList<int> rows;
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->isSelected()) {
            rows.append(row);
        }
    }
    return rows;
}

}  // namespace

class QtCombineDialogTest : public test::WindowTestBase {
    Q_OBJECT

  private slots:
    void cleanup() { CloseWindow(); }
    void clicksToggleEntriesAndEnterCombines();
    void escapeCancels();
    void combineFromTheMorphTargetsFolder();
};

void QtCombineDialogTest::clicksToggleEntriesAndEnterCombines() {
    CombineDialog dialog({{"Smile", "Blink", "Frown", "Smile"}, "head"}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto& list = *dialog.findChild<QListWidget*>(QStringLiteral("1010"));
    auto& name = *dialog.findChild<QLineEdit*>(QStringLiteral("1013"));
    auto& add = *dialog.findChild<QRadioButton*>(QStringLiteral("1029"));
    auto& subtract = *dialog.findChild<QRadioButton*>(QStringLiteral("1030"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Combine Morph Targets"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("1012"))->text(), QStringLiteral("head"));
    QCOMPARE(list.count(), 4);
    QCOMPARE(list.item(3)->text(), QStringLiteral("Smile"));  // not sorted, duplicates kept
    QCOMPARE(name.text(), QStringLiteral("New Morph Target"));
    QVERIFY(add.isChecked() && !subtract.isChecked());

    ClickEntry(list, 2);
    ClickEntry(list, 0);
    ClickEntry(list, 2);  // a second click clears the entry again
    ClickEntry(list, 3);
    QCOMPARE(SelectedRows(list), (QList<int>{0, 3}));
    dialog.findChild<QPushButton*>(QStringLiteral("3"))->click();
    QCOMPARE(SelectedRows(list), (QList<int>{0, 1, 2, 3}));
    dialog.findChild<QPushButton*>(QStringLiteral("4"))->click();
    QCOMPARE(SelectedRows(list), QList<int>());
    ClickEntry(list, 1);
    ClickEntry(list, 2);

    QTest::mouseClick(&subtract, Qt::LeftButton);
    QVERIFY(!add.isChecked() && subtract.isChecked());
    QTest::mouseClick(&subtract, Qt::LeftButton);  // stays on
    QVERIFY(!add.isChecked() && subtract.isChecked());
    QTest::mouseClick(&add, Qt::LeftButton);
    QTest::mouseClick(&subtract, Qt::LeftButton);

    name.setFocus();
    name.selectAll();
    QTest::keyClicks(&name, QStringLiteral("Grin 2"));
    QTest::keyClick(&name, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const CombineChoice choice = dialog.Choice();
    QCOMPARE(choice.newName, std::string("Grin 2"));
    QCOMPARE(choice.selected, (std::vector<std::size_t>{1, 2}));
    QVERIFY(!choice.addMode);
}

void QtCombineDialogTest::escapeCancels() {
    CombineDialog dialog({{"A", "B"}, "hip"}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.findChild<QPushButton*>(QStringLiteral("3"))->click();
    QTest::keyClick(dialog.findChild<QListWidget*>(QStringLiteral("1010")), Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
}

void QtCombineDialogTest::combineFromTheMorphTargetsFolder() {
    QVERIFY(OpenWindow());
    window_->Start(DataFile("figure.cr2"));
    QtTreeControl& tree = window_->Tree(Side::Left);
    FigureFile& file = window_->Shell().File(Side::Left);
    const TreeItem folder = tree.FindItemByText(tree.FindItemByText(0, "head"), "MORPH TARGETS");
    QVERIFY(folder != 0);

    ModalDriver driver;
    QStringList entries;
    driver.ExpectNamed(QStringLiteral("140"), [&](QWidget& modal) {
        auto& list = *modal.findChild<QListWidget*>(QStringLiteral("1010"));
        for (int row = 0; row < list.count(); ++row) {
            entries.append(list.item(row)->text());
        }
        modal.findChild<QPushButton*>(QStringLiteral("3"))->click();
        modal.findChild<QPushButton*>(QStringLiteral("2"))->click();
    });
    PaneCommands& commands = window_->Shell().Commands(Side::Left);
    commands.OpenContextMenu(folder);
    commands.Dispatch(kCmdCombineMorphTargets);
    QVERIFY(driver.Seen());
    QCOMPARE(entries, (QStringList{"Blink", "Smile"}));
    QCOMPARE(file.modified, 0);

    driver.ExpectNamed(QStringLiteral("140"), [&](QWidget& modal) {
        modal.findChild<QPushButton*>(QStringLiteral("3"))->click();
        modal.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    commands.OpenContextMenu(tree.FindItemByText(tree.FindItemByText(0, "head"), "MORPH TARGETS"));
    commands.Dispatch(kCmdCombineMorphTargets);
    QVERIFY(driver.Seen());
    QCOMPARE(file.modified, 1);
    const Block* head = file.BlockOfItem(tree.FindItemByText(0, "head"));
    QVERIFY(head != nullptr);
    QCOMPARE(head->FindNthChild("channels", 0, Match::Tag)->children.front().LineKey(),
             std::string("targetGeom New Morph Target"));
    QVERIFY(tree.FindItemByText(0, "New Morph Target") != 0);  // the pane was rebuilt
}

QTEST_MAIN(QtCombineDialogTest)
#include "QtCombineDialogTest.moc"
