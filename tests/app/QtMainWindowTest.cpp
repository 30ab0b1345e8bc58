#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <vector>

#include "ModalDriver.h"
#include "WindowTestBase.h"
#include "app/DialogUnits.h"
#include "app/ProgressWindow.h"
#include "app/QtMainWindow.h"
#include "app/QtProfileStore.h"
#include "app/QtTreeControl.h"
#include "app/QtUi.h"
#include "commands/CommandIds.h"

using namespace tessary;
using test::DataFile;
using test::TestUi;

namespace {}  // namespace

class QtMainWindowTest : public test::WindowTestBase {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void startsWithOnlyTheLoadButtonsUsable();
    void controlsSitAtTheirDialogUnitPlaces();
    void tabOrderFollowsTheWindowsList();
    void startWithoutCommandLineShowsAboutFirst();
    void startWithFigureFileShowsTheObjButton();
    void startWithPoseFileShowsTheOptionsButton();
    void startWithMissingFileReportsAndStaysEmpty();
    void loadButtonShowsTheFileNameLiterally();
    void objButtonNamesTheAttachedFile();
    void quitAsksOnlyWithUnsavedChanges();
    void loadAsksBeforeDiscardingChanges();
    void enterNeverClosesTheWindow();
    void preferencesOkWritesAllSixCancelWritesNone();
    void saveRunsTheRepairsTickedInPreferences();
    void backgroundMenuOffersAbout();
    void progressWindowMovesDuringALargeLoad();
    void screenshot();

  private:
    QtMainWindow& Window();
    QPushButton& Button(const char* id);
};

void QtMainWindowTest::init() {
    QVERIFY(OpenWindow());
}

void QtMainWindowTest::cleanup() {
    CloseWindow();
}

QtMainWindow& QtMainWindowTest::Window() {
    return *window_;
}

QPushButton& QtMainWindowTest::Button(const char* id) {
    auto* button = window_->findChild<QPushButton*>(QString::fromLatin1(id));
    Q_ASSERT(button != nullptr);
    return *button;
}

void QtMainWindowTest::startsWithOnlyTheLoadButtonsUsable() {
    QCOMPARE(Window().windowTitle(), QStringLiteral("tessary"));
    QCOMPARE(Window().objectName(), QStringLiteral("102"));
    for (const char* load : {"1004", "1007"}) {
        QVERIFY(Button(load).isEnabled());
        QCOMPARE(Button(load).text(), QStringLiteral("Load File"));
    }
    for (const char* save : {"1005", "1008"}) {
        QVERIFY(!Button(save).isEnabled());
        QVERIFY(!Button(save).isHidden());
    }
    for (const char* hidden : {"1022", "1021", "1023", "1025"}) {
        QVERIFY2(Button(hidden).isHidden(), hidden);
    }
    QVERIFY(!Button("1022").isEnabled());
    QCOMPARE(Window().palette().color(QPalette::Window), QColor(Qt::black));
    const auto labels = Window().findChildren<QLabel*>();
    const auto version = std::find_if(labels.begin(), labels.end(), [](QLabel* label) {
        return label->text() == QStringLiteral("V 4.0");
    });
    QVERIFY(version != labels.end());
    QCOMPARE((*version)->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(!Window().windowIcon().isNull());
}

void QtMainWindowTest::controlsSitAtTheirDialogUnitPlaces() {
    const DialogUnits units(Window().font());
    QCOMPARE(Window().size(), units.Size(362, 319));
    // It opens at its layout, which is also the smallest it gets.
    QCOMPARE(Window().minimumSize(), Window().size());
    struct Place {
        const char* id;
        int x, y, w, h;
    };
    const Place places[] = {
        {"1004", 60, 40, 100, 10},   {"1007", 205, 40, 100, 10}, {"1005", 60, 55, 100, 10},
        {"1008", 205, 55, 100, 10},  {"1022", 60, 70, 100, 10},  {"1021", 205, 70, 100, 10},
        {"1023", 60, 70, 100, 10},   {"1025", 205, 70, 100, 10}, {"1000", 60, 85, 135, 225},
        {"1001", 205, 85, 135, 225}, {"1024", 5, 125, 50, 10},   {"3", 5, 140, 50, 10},
        {"5", 5, 155, 50, 10},       {"2", 5, 185, 50, 10},
    };
    for (const Place& place : places) {
        auto* control = Window().findChild<QWidget*>(QString::fromLatin1(place.id));
        QVERIFY2(control != nullptr, place.id);
        QCOMPARE(control->geometry(), units.Rect(place.x, place.y, place.w, place.h));
    }
}

void QtMainWindowTest::tabOrderFollowsTheWindowsList() {
    const QStringList expected = {"1024", "3",    "5",    "1004", "1005", "1022", "1000",
                                  "1007", "1008", "1021", "1001", "2",    "1023", "1025"};
    QStringList order;
    QWidget* widget = Window().findChild<QWidget*>(QStringLiteral("1024"));
    for (int step = 0; step < 200 && order.size() < expected.size(); ++step) {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName())) {
            order.append(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    }
    QCOMPARE(order, expected);
}

void QtMainWindowTest::startWithoutCommandLineShowsAboutFirst() {
    ModalDriver driver;
    QString about;
    QStringList texts;
    driver.Expect([&](QWidget& modal) {
        about = modal.objectName() + QLatin1Char('|') + modal.windowTitle();
        for (QLabel* label : modal.findChildren<QLabel*>()) {
            texts.append(label->text());
        }
        modal.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    Window().Start("");
    QVERIFY(driver.Seen());
    QCOMPARE(about, QStringLiteral("100|About tessary"));
    QVERIFY(texts.contains(QStringLiteral("Version 4.0")));
    QVERIFY(texts.contains(QStringLiteral("Copyright (c) 2026 the Tessary developers")));
    QVERIFY(!Window().isVisible());  // shown only after the About box
    QVERIFY(!Button("1005").isEnabled());
    QVERIFY(Button("1022").isHidden() && Button("1023").isHidden());
}

void QtMainWindowTest::startWithFigureFileShowsTheObjButton() {
    Window().Start(DataFile("figure.cr2"));
    QCOMPARE(Button("1004").text(), QStringLiteral("figure.cr2"));
    QVERIFY(Button("1005").isEnabled());
    QVERIFY(!Button("1022").isHidden());
    QVERIFY(Button("1022").isEnabled());
    QCOMPARE(Button("1022").text(), QStringLiteral("OBJ Geometry File"));
    QVERIFY(Button("1023").isHidden());
    // The other pane is untouched.
    QCOMPARE(Button("1007").text(), QStringLiteral("Load File"));
    QVERIFY(!Button("1008").isEnabled());
    QtTreeControl& left = Window().Tree(Side::Left);
    QStringList top;
    for (int i = 0; i < left.topLevelItemCount(); ++i) {
        top.append(left.topLevelItem(i)->text(0));
    }
    QCOMPARE(top, (QStringList{"BODY", "head", "lHand"}));
    QCOMPARE(Window().Tree(Side::Right).topLevelItemCount(), 0);
    QVERIFY(ui_->Progress() == nullptr);
}

void QtMainWindowTest::startWithPoseFileShowsTheOptionsButton() {
    Window().Start(DataFile("pose.pz2"));
    QCOMPARE(Button("1004").text(), QStringLiteral("pose.pz2"));
    QVERIFY(Button("1005").isEnabled());
    QVERIFY(Button("1022").isHidden());
    QVERIFY(!Button("1023").isHidden());
    QVERIFY(Window().Tree(Side::Left).topLevelItemCount() > 0);
}

void QtMainWindowTest::startWithMissingFileReportsAndStaysEmpty() {
    ModalDriver driver;
    QString message;
    driver.Expect([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        QVERIFY(box != nullptr);
        message = box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|') +
                  box->detailedText();
        box->button(QMessageBox::Ok)->click();
    });
    // Quotes are part of the path, as the whole command line is.
    const std::string quoted = "\"" + DataFile("figure.cr2") + "\"";
    Window().Start(quoted);
    QVERIFY(driver.Seen());
    // The box's text stays as it was; the file and the reason are in its details.
    QCOMPARE(message, QStringLiteral("FileOpenError|Error opening file.|") +
                          QString::fromStdString(quoted) +
                          QStringLiteral(": No such file or directory"));
    QVERIFY(!Button("1005").isEnabled());
    QCOMPARE(Window().Tree(Side::Left).topLevelItemCount(), 0);
}

void QtMainWindowTest::loadButtonShowsTheFileNameLiterally() {
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("R&D pose.pz2"));
    QVERIFY(QFile::copy(QString::fromStdString(DataFile("pose.pz2")), copy));
    ui_->openAnswers.push_back(copy.toStdString());
    Button("1007").click();
    QCOMPARE(Button("1007").text(), QStringLiteral("R&&D pose.pz2"));
    QVERIFY(!Button("1025").isHidden());
    QVERIFY(Button("1021").isHidden());

    // A cancelled dialog changes nothing.
    Button("1007").click();
    QCOMPARE(Button("1007").text(), QStringLiteral("R&&D pose.pz2"));
}

void QtMainWindowTest::objButtonNamesTheAttachedFile() {
    Window().Start(DataFile("figure.cr2"));
    ui_->openAnswers.push_back(DataFile("mannequin.obj"));
    Button("1022").click();
    QCOMPARE(Button("1022").text(), QStringLiteral("mannequin.obj"));
    QVERIFY(Window().Shell().File(Side::Left).objMesh != nullptr);
    QVERIFY(ui_->Progress() == nullptr);
    // Loading the figure again names the geometry the file itself asks for.
    ui_->openAnswers.push_back(DataFile("figure.cr2"));
    Button("1004").click();
    QCOMPARE(Button("1022").text(), QStringLiteral("Mannequin.obj"));
}

void QtMainWindowTest::quitAsksOnlyWithUnsavedChanges() {
    Window().Start(DataFile("figure.cr2"));
    Window().show();
    {
        ModalDriver unexpected;
        unexpected.Refuse();
        Button("2").click();
        QVERIFY(!unexpected.Seen());
        QVERIFY(!Window().isVisible());
    }

    Window().show();
    Window().Shell().File(Side::Right).modified = 1;
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

    driver.Expect([](QWidget& modal) {
        qobject_cast<QMessageBox*>(&modal)->button(QMessageBox::No)->click();
    });
    Window().close();  // the close box
    QVERIFY(driver.Seen());
    QVERIFY(Window().isVisible());

    driver.Expect([](QWidget& modal) {
        qobject_cast<QMessageBox*>(&modal)->button(QMessageBox::Yes)->click();
    });
    QTest::keyClick(&Window(), Qt::Key_Escape);
    QVERIFY(driver.Seen());
    QVERIFY(!Window().isVisible());
    QCOMPARE(Window().result(), int(QDialog::Rejected));
}

void QtMainWindowTest::loadAsksBeforeDiscardingChanges() {
    Window().Start(DataFile("figure.cr2"));
    Window().Shell().File(Side::Left).modified = 1;
    ui_->openAnswers.push_back(DataFile("pose.pz2"));
    ModalDriver driver;
    QString question;
    driver.Expect([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        question = box->windowTitle() + QLatin1Char('|') + box->text();
        QCOMPARE(box->icon(), QMessageBox::Warning);
        box->button(QMessageBox::No)->click();
    });
    Button("1004").click();
    QVERIFY(driver.Seen());
    QCOMPARE(question, QStringLiteral("WARNING!|You have made changes. Are you sure you wish to "
                                      "discard them?"));
    QCOMPARE(ui_->openAnswers.size(), std::size_t{1});  // No: no open dialog either
    QCOMPARE(Window().Shell().File(Side::Left).fileName, std::string("figure.cr2"));

    driver.Expect([](QWidget& modal) {
        qobject_cast<QMessageBox*>(&modal)->button(QMessageBox::Yes)->click();
    });
    Button("1004").click();
    QVERIFY(driver.Seen());
    QCOMPARE(Window().Shell().File(Side::Left).fileName, std::string("pose.pz2"));
    QCOMPARE(Window().Shell().File(Side::Left).modified, 0);
}

void QtMainWindowTest::enterNeverClosesTheWindow() {
    Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    ModalDriver unexpected;
    unexpected.Refuse();
    for (const char* focus : {"1024", "3", "2", "1004"}) {
        Button(focus).setFocus();
        QTest::keyClick(&Button(focus), Qt::Key_Return);
        QTest::keyClick(&Button(focus), Qt::Key_Enter);
        QTest::qWait(20);
    }
    QTest::keyClick(&Window(), Qt::Key_Return);
    QTest::qWait(20);
    QVERIFY(!unexpected.Seen());
    QVERIFY(Window().isVisible());
}

void QtMainWindowTest::preferencesOkWritesAllSixCancelWritesNone() {
    Window().Start(DataFile("figure.cr2"));
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessary"),
                       QStringLiteral("tessary-test"));
    ModalDriver driver;
    driver.Expect([](QWidget& modal) {
        modal.findChild<QCheckBox*>(QStringLiteral("1027"))->click();  // AutoName on
        modal.findChild<QPushButton*>(QStringLiteral("2"))->click();   // Cancel
    });
    Button("1024").click();
    QVERIFY(driver.Seen());
    settings.sync();
    QVERIFY(settings.allKeys().isEmpty());
    QCOMPARE(Window().Shell().File(Side::Left).autoName, 0);

    driver.Expect([](QWidget& modal) {
        modal.findChild<QCheckBox*>(QStringLiteral("1028"))->click();  // ConfirmDelete off
        modal.findChild<QCheckBox*>(QStringLiteral("1058"))->click();  // AutoAddMaterials on
        modal.findChild<QPushButton*>(QStringLiteral("1"))->click();   // OK
    });
    Button("1024").click();
    QVERIFY(driver.Seen());
    settings.sync();
    settings.beginGroup(QStringLiteral("Preferences"));
    const QStringList expectedKeys = {"AutoAddMaterials",    "AutoFixStorageOffset", "AutoName",
                                      "AutoRemoveMaterials", "ConfirmDelete",        "ConfirmMove"};
    QStringList keys = settings.childKeys();
    keys.sort();
    QCOMPARE(keys, expectedKeys);
    QCOMPARE(settings.value(QStringLiteral("ConfirmDelete")).toInt(), 0);
    QCOMPARE(settings.value(QStringLiteral("ConfirmMove")).toInt(), 1);
    QCOMPARE(settings.value(QStringLiteral("AutoAddMaterials")).toInt(), 1);
    QCOMPARE(settings.value(QStringLiteral("AutoName")).toInt(), 0);
    for (Side side : {Side::Left, Side::Right}) {
        QCOMPARE(Window().Shell().File(side).confirmDelete, 0);
        QCOMPARE(Window().Shell().File(side).autoAddMaterials, 1);
    }
}

void QtMainWindowTest::saveRunsTheRepairsTickedInPreferences() {
    QTemporaryDir folder;
    const QString obj = folder.filePath(QStringLiteral("hair.obj"));
    {
        QFile file(obj);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("v 0 0 0\nusemtl Skin\nf 1 1 1\nusemtl Hair\nf 1 1 1\n");
    }
    Window().Start(DataFile("figure.cr2"));
    ModalDriver driver;
    driver.Expect([](QWidget& modal) {
        for (const char* box : {"1029", "1057", "1058"}) {  // all three repairs on
            modal.findChild<QCheckBox*>(QString::fromLatin1(box))->click();
        }
        modal.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    Button("1024").click();
    QVERIFY(driver.Seen());
    ui_->openAnswers.push_back(obj.toStdString());
    Button("1022").click();
    const QString saved = folder.filePath(QStringLiteral("saved.cr2"));
    ui_->saveAnswers.push_back(saved.toStdString());
    Button("1005").click();
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains(" material Skin\r\n"));
    QVERIFY(text.contains(" material Hair\r\n"));  // added from the OBJ file
    QCOMPARE(Window().Shell().File(Side::Left).modified, 0);
}

void QtMainWindowTest::backgroundMenuOffersAbout() {
    Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    QStringList entries;
    QTimer::singleShot(20, [&entries] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (QAction* action : menu->actions()) {
            entries.append(action->text());
        }
        menu->close();
    });
    const QPoint background(5, 5);  // above the female figure
    QContextMenuEvent event(QContextMenuEvent::Mouse, background, Window().mapToGlobal(background));
    QApplication::sendEvent(&Window(), &event);
    QCOMPARE(entries, QStringList{QStringLiteral("&About tessary...")});
}

void QtMainWindowTest::progressWindowMovesDuringALargeLoad() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.cr2"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray text = "{\nversion\n\t{\n\tnumber 4\n\t}\n";
        for (int actor = 0; actor < 400; ++actor) {
            text += "actor part" + QByteArray::number(actor) + ":1\n\t{\n\tchannels\n\t\t{\n";
            for (int morph = 0; morph < 20; ++morph) {
                text += "\t\ttargetGeom m" + QByteArray::number(morph) +
                        "\n\t\t\t{\n\t\t\tk 0 0\n\t\t\tdeltas\n\t\t\t\t{\n";
                for (int delta = 0; delta < 12; ++delta) {
                    text +=
                        "\t\t\t\td " + QByteArray::number(delta) + " 0.000100 0.000200 0.000300\n";
                }
                text += "\t\t\t\t}\n\t\t\t}\n";
            }
            text += "\t\t}\n\t}\n";
        }
        text += "}\n";
        QVERIFY(text.size() > 3'000'000);
        QCOMPARE(file.write(text), text.size());
    }
    Window().show();
    Window().Start(path.toStdString());
    const std::vector<int>& moves = ui_->positions;
    QVERIFY2(moves.size() >= 10, qPrintable(QString::number(moves.size())));
    QVERIFY(std::is_sorted(moves.begin(), moves.end()));
    QVERIFY(moves.front() < 50);
    QVERIFY(moves.back() >= 90);
    QVERIFY(ui_->shownWhileMoving);
    QVERIFY(ui_->Progress() == nullptr);  // closed once the tree is filled
    QCOMPARE(Window().Tree(Side::Left).topLevelItemCount(), 400);
}

void QtMainWindowTest::screenshot() {
    const QString target = qEnvironmentVariable("TESSARY_SCREENSHOT");
    if (target.isEmpty()) {
        QSKIP("set TESSARY_SCREENSHOT to a PNG path to take the window's picture");
    }
    const QString examples =
        qEnvironmentVariable("TESSARY_EXAMPLES", QStringLiteral(TESSARY_EXAMPLES_DIR));
    const std::string figure = QDir(examples).filePath(QStringLiteral("figure.cr2")).toStdString();
    Window().Start(std::vector<std::string>{figure, figure});
    Window().resize(Window().size() * 5 / 4);
    Window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window()));
    // The figure opened down to its morph targets and props; the head's morph targets copied
    // into the right pane, which shows them.
    QtTreeControl& left = Window().Tree(Side::Left);
    left.expandAll();
    const auto head =
        left.findItems(QStringLiteral("MORPH TARGETS"), Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY(head.size() == 2);
    Window().Shell().File(Side::Left).commandItem = left.HandleOf(head.last());
    Window().Shell().Commands(Side::Left).Dispatch(kCmdCopyAllMorphTargets);
    left.setCurrentItem(head.last());
    QTest::qWait(50);
    QVERIFY(Window().grab().save(target, "PNG"));
}

QTEST_MAIN(QtMainWindowTest)
#include "QtMainWindowTest.moc"
