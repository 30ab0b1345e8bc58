#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ModalDriver.h"
#include "app/ProgressWindow.h"
#include "app/QtUi.h"

using namespace tessary;

class QtUiTest : public QObject {
    Q_OBJECT

  private slots:
    void filtersBecomeQtNameFilters_data();
    void filtersBecomeQtNameFilters();
    void defaultExtensionOnlyWhenTheNameHasNone_data();
    void defaultExtensionOnlyWhenTheNameHasNone();
    void saveDialogCompletesABareNameWithThePickedKind();
    void helpNeedsBothThePageAndTheOpener();
    void messageBoxesAnswerWithTheButtonPressed_data();
    void messageBoxesAnswerWithTheButtonPressed();
    void progressWindowShowsTextAndMoves();
    void preferencesDialogReturnsTheBoxesOnlyOnOk();
    void exportingWindowNamesTheFile();
};

void QtUiTest::filtersBecomeQtNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("pose files")
        << "Character Files (*.cr2)|*.cr2|Poser Scene Files (*.pz3)|*.pz3|Pose Files "
           "(*.pz2)|*.pz2|Hand Files (*.hd2)|*.hd2|Face Files (*.fc2)|*.fc2||"
        << QStringList{"Character Files (*.cr2)", "Poser Scene Files (*.pz3)", "Pose Files (*.pz2)",
                       "Hand Files (*.hd2)", "Face Files (*.fc2)"};
    QTest::newRow("description without patterns")
        << "Files|*.obj||" << QStringList{"Files (*.obj)"};
    QTest::newRow("several patterns")
        << "Meshes (*.obj;*.OBJ)|*.obj;*.OBJ||" << QStringList{"Meshes (*.obj *.OBJ)"};
    QTest::newRow("missing pattern") << "All|" << QStringList{"All (*)"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("stops at the double bar") << "A|*.a||B|*.b" << QStringList{"A (*.a)"};
}

void QtUiTest::filtersBecomeQtNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(NameFilters(filter.toStdString()), expected);
}

void QtUiTest::defaultExtensionOnlyWhenTheNameHasNone_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("result");
    QTest::newRow("bare name") << "/tmp/out"
                               << "obj"
                               << "/tmp/out.obj";
    QTest::newRow("own extension") << "/tmp/out.pz2"
                                   << "cr2"
                                   << "/tmp/out.pz2";
    QTest::newRow("dot in folder") << "/tmp/v1.2/out"
                                   << "cr2"
                                   << "/tmp/v1.2/out.cr2";
    QTest::newRow("no default") << "/tmp/out"
                                << ""
                                << "/tmp/out";
    QTest::newRow("folder only") << "/tmp/"
                                 << "obj"
                                 << "/tmp/";
}

void QtUiTest::defaultExtensionOnlyWhenTheNameHasNone() {
    QFETCH(QString, typed);
    QFETCH(QString, extension);
    QFETCH(QString, result);
    QCOMPARE(WithDefaultExtension(typed, extension.toStdString()), result);
}

void QtUiTest::saveDialogCompletesABareNameWithThePickedKind() {
    QCOMPARE(ExtensionOfNameFilter(QStringLiteral("Compressed Files (*.crz)"), "cr2"),
             std::string("crz"));
    QCOMPARE(ExtensionOfNameFilter(QStringLiteral("Meshes (*.obj *.OBJ)"), "obj"),
             std::string("obj"));
    QCOMPARE(ExtensionOfNameFilter(QStringLiteral("All (*)"), "cr2"), std::string("cr2"));

    QTemporaryDir folder;
    FileDialogRequest request;
    request.filter = "Files (*.cr2)|*.cr2|Compressed Files (*.crz)|*.crz||";
    request.defaultExtension = "cr2";
    QtUi ui;
    ModalDriver driver;
    driver.Expect([&](QWidget& modal) {
        auto* types = modal.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = modal.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(types != nullptr && name != nullptr);
        types->setCurrentIndex(1);
        name->setText(folder.filePath(QStringLiteral("figure")));
        QMetaObject::invokeMethod(&modal, "accept", Qt::QueuedConnection);
    });
    const std::optional<std::string> chosen = ui.SaveFileDialog(request);
    QVERIFY(driver.Seen());
    QVERIFY(chosen.has_value());
    QCOMPARE(QString::fromStdString(*chosen), folder.filePath(QStringLiteral("figure.crz")));
}

void QtUiTest::helpNeedsBothThePageAndTheOpener() {
    QTemporaryDir programDir;
    QTemporaryDir binDir;
    QVERIFY(programDir.isValid() && binDir.isValid());
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", binDir.path().toLocal8Bit());

    QVERIFY(!FindHelpLaunch(programDir.path()));  // neither
    QFile opener(binDir.filePath(QStringLiteral("xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!FindHelpLaunch(programDir.path()));  // no page
    QVERIFY(!FindHelpLaunch(QString()));

    // Installed: bin/tessary finds share/tessary/help.html.
    const QDir prefix(programDir.path());
    QVERIFY(prefix.mkpath(QStringLiteral("bin")) && prefix.mkpath(QStringLiteral("share/tessary")));
    QFile installed(prefix.filePath(QStringLiteral("share/tessary/help.html")));
    QVERIFY(installed.open(QIODevice::WriteOnly));
    installed.close();
    QCOMPARE(FindHelpPage(prefix.filePath(QStringLiteral("bin"))), installed.fileName());

    QFile page(programDir.filePath(QStringLiteral("help.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    const auto launch = FindHelpLaunch(programDir.path());
    qputenv("PATH", oldPath);
    QVERIFY(launch.has_value());
    QCOMPARE(launch->program, opener.fileName());
    // The page is one argument of its own: a folder with blanks needs no quoting.
    QCOMPARE(launch->arguments, QStringList{page.fileName()});
}

void QtUiTest::messageBoxesAnswerWithTheButtonPressed_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");  // a QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<int>("answer");
    const auto row = [](const char* name, MessageButtons buttons, int press, MessageAnswer answer) {
        QTest::newRow(name) << int(buttons) << press << int(answer);
    };
    row("yes", MessageButtons::YesNo, QMessageBox::Yes, MessageAnswer::Yes);
    row("no", MessageButtons::YesNo, QMessageBox::No, MessageAnswer::No);
    row("escape on yes/no", MessageButtons::YesNo, 0, MessageAnswer::No);
    row("ok", MessageButtons::OkCancel, QMessageBox::Ok, MessageAnswer::Ok);
    row("cancel", MessageButtons::OkCancel, QMessageBox::Cancel, MessageAnswer::Cancel);
    row("escape on ok/cancel", MessageButtons::OkCancel, 0, MessageAnswer::Cancel);
    row("escape on ok", MessageButtons::Ok, 0, MessageAnswer::Ok);
}

void QtUiTest::messageBoxesAnswerWithTheButtonPressed() {
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    QtUi ui;
    ModalDriver driver;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    driver.Expect([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        QVERIFY(box != nullptr);
        text = box->text();
        caption = box->windowTitle();
        icon = box->icon();
        if (press == 0) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            box->button(QMessageBox::StandardButton(press))->click();
        }
    });
    const MessageAnswer got =
        ui.ShowMessage("You have made changes. Are you sure you wish to quit?", "WARNING!",
                       MessageButtons(buttons), MessageIcon::Exclamation);
    QVERIFY(driver.Seen());
    QCOMPARE(int(got), answer);
    QCOMPARE(text, QStringLiteral("You have made changes. Are you sure you wish to quit?"));
    QCOMPARE(caption, QStringLiteral("WARNING!"));
    QCOMPARE(icon, QMessageBox::Warning);
}

void QtUiTest::progressWindowShowsTextAndMoves() {
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    QtUi ui(&owner);
    QVERIFY(ui.Progress() == nullptr);
    ui.OpenProgress("Loading...\nPlease Wait.", true);
    ProgressWindow* window = ui.Progress();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QCOMPARE(window->parentWidget(), &owner);
    QCOMPARE(window->Text(), QStringLiteral("Loading...\nPlease Wait."));
    QCOMPARE(window->Position(), 0);
    ui.SetProgressPosition(42);
    QCOMPARE(window->findChild<QProgressBar*>(QStringLiteral("1007"))->value(), 42);
    ui.SetProgressPosition(250);  // a hook gone wrong cannot overflow the bar
    QCOMPARE(window->Position(), 100);
    ui.SetProgressText("Adjusting faces...\nPlease Wait.");
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("1009"))->text(),
             QStringLiteral("Adjusting faces...\nPlease Wait."));
    QPointer<ProgressWindow> watched(window);
    ui.CloseProgress();
    QVERIFY(watched.isNull());
    ui.SetProgressPosition(10);  // nothing open: nothing happens

    ui.OpenProgress("Saving...\nPlease Wait.", false);
    QVERIFY(ui.Progress()->parentWidget() == nullptr);
    ui.CloseProgress();
}

void QtUiTest::preferencesDialogReturnsTheBoxesOnlyOnOk() {
    QtUi ui;
    Preferences current;  // the defaults
    ModalDriver driver;
    std::vector<QString> checked;
    driver.Expect([&](QWidget& modal) {
        QCOMPARE(modal.objectName(), QStringLiteral("151"));
        QCOMPARE(modal.windowTitle(), QStringLiteral("Preferences"));
        for (QCheckBox* box : modal.findChildren<QCheckBox*>()) {
            if (box->isChecked()) {
                checked.push_back(box->text());
            }
        }
        modal.findChild<QCheckBox*>(QStringLiteral("1028"))->click();  // ConfirmDelete off
        modal.findChild<QCheckBox*>(QStringLiteral("1029"))->click();  // AutoFixStorageOffset on
        modal.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    const auto accepted = ui.RunPreferencesDialog(current);
    QVERIFY(driver.Seen());
    std::sort(checked.begin(), checked.end());
    QCOMPARE(checked, (std::vector<QString>{
                          QStringLiteral("I'm an idiot. Warn me before I delete something."),
                          QStringLiteral("Warn me before copying morphs or props.")}));
    QVERIFY(accepted.has_value());
    QCOMPARE(accepted->confirmDelete, 0);
    QCOMPARE(accepted->confirmMove, 1);
    QCOMPARE(accepted->autoFixStorageOffset, 1);
    QCOMPARE(accepted->autoName, 0);

    driver.Expect([](QWidget& modal) {
        modal.findChild<QCheckBox*>(QStringLiteral("1058"))->click();
        modal.findChild<QPushButton*>(QStringLiteral("2"))->click();
    });
    QVERIFY(!ui.RunPreferencesDialog(current).has_value());
    QVERIFY(driver.Seen());
}

void QtUiTest::exportingWindowNamesTheFile() {
    QWidget owner;
    owner.show();
    QtUi ui(&owner);
    const std::string path = "/tmp/exports/a rather long folder name/Blink.obj";
    ui.OpenExportingWindow(path);
    ExportingWindow* window = ui.Exporting();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible() && !window->isModal());
    QCOMPARE(window->windowTitle(), QStringLiteral("Exporting Obj"));
    QCOMPARE(window->Path(), QString::fromStdString(path));
    auto* line = window->findChild<QLabel*>(QStringLiteral("1043"));
    QVERIFY(line != nullptr);
    QVERIFY(line->text().endsWith(QStringLiteral("Blink.obj")));
    QPointer<ExportingWindow> watched(window);
    ui.CloseExportingWindow();
    QVERIFY(watched.isNull());
    ui.CloseExportingWindow();  // closing twice is harmless
}

QTEST_MAIN(QtUiTest)
#include "QtUiTest.moc"
