// The More Options button of a pose file's pane: its region menu opens at the button's corner,
// and the region dialog it offers starts fresh and applies what was chosen.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "ModalDriver.h"
#include "WindowTestBase.h"
#include "model/Block.h"

using namespace tessary;

namespace {

constexpr const char* kHand =
    "{\nactor lHand:2\n{\nchannels\n{\ntargetGeom Fist\n{\nkeys\n{\nk 0 1\n}\n}\n"
    "rotateX xrot\n{\nkeys\n{\nk 0 15\n}\n}\n}\n}\n}\n";

// The first "k" line of the channel with this line key in the first actor.
std::string KeyOf(const Block& root, const char* channel) {
    const Block* channels = root.children.front().FindNthChild("channels", 0, Match::Tag);
    const Block* found = channels ? channels->FindNthChild(channel, 0, Match::LineKey) : nullptr;
    const Block* keys = found ? found->FindNthChild("keys", 0, Match::Tag) : nullptr;
    return keys && !keys->children.empty() ? keys->children.front().data : std::string();
}

// What the dialog showed as it opened.
struct Opened {
    QString caption;
    int entries = 0;
    int chosen = 0;
    bool copy = false;
    bool zero = true;
    int checked = -1;
};

Opened Look(QWidget& dialog) {
    Opened seen;
    seen.caption = dialog.windowTitle();
    auto* list = dialog.findChild<QComboBox*>(QStringLiteral("1071"));
    seen.entries = list->count();
    seen.chosen = list->currentIndex();
    seen.copy = dialog.findChild<QRadioButton*>(QStringLiteral("1069"))->isChecked();
    seen.zero = dialog.findChild<QRadioButton*>(QStringLiteral("1070"))->isChecked();
    seen.checked = 0;
    for (const char* id : {"1065", "1066", "1067"}) {
        seen.checked += dialog.findChild<QCheckBox*>(QString::fromLatin1(id))->isChecked();
    }
    return seen;
}

// What the popup that a button opened showed.
struct PopupSeen {
    QString name;
    QPoint corner;
    QStringList entries;
    bool dialogSeen = false;
};

// Clicks the button, records the popup that opens and chooses its first entry (the region
// dialog), then runs `onDialog` on the dialog 166.
PopupSeen OpenRegionDialog(QPushButton& button, const ModalDriver::Action& onDialog) {
    PopupSeen seen;
    ModalDriver dialogDriver;
    bool popupSeen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || popupSeen) {
            return;
        }
        popupSeen = true;
        seen.name = menu->objectName();
        seen.corner = menu->pos();
        for (QAction* action : menu->actions()) {
            seen.entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        dialogDriver.ExpectNamed(QStringLiteral("166"), onDialog);
        menu->setActiveAction(menu->actions().front());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    poll.start();
    button.click();
    poll.stop();
    seen.dialogSeen = dialogDriver.Seen();
    return seen;
}

}  // namespace

class QtRegionTest : public test::WindowTestBase {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(OpenWindow()); }
    void cleanup() { CloseWindow(); }
    void moreOptionsOpensTheRegionMenuAndItsDialog();
};

void QtRegionTest::moreOptionsOpensTheRegionMenuAndItsDialog() {
    const QString path = home_->filePath(QStringLiteral("hand.hd2"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kHand);
    }
    window_->Start(path.toStdString());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* options = window_->findChild<QPushButton*>(QStringLiteral("1023"));
    QVERIFY(options->isVisible());
    QVERIFY(!window_->findChild<QPushButton*>(QStringLiteral("1022"))->isVisible());

    Opened first;
    Opened afterZero;
    const PopupSeen popup = OpenRegionDialog(*options, [&](QWidget& dialog) {
        first = Look(dialog);
        auto* list = dialog.findChild<QComboBox*>(QStringLiteral("1071"));
        list->setCurrentIndex(list->findText(QStringLiteral("Left Hand")));
        dialog.findChild<QRadioButton*>(QStringLiteral("1070"))->click();
        afterZero = Look(dialog);
        dialog.findChild<QCheckBox*>(QStringLiteral("1067"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    QVERIFY(popup.dialogSeen);
    QCOMPARE(popup.name, QStringLiteral("168"));
    QCOMPARE(popup.corner, options->mapToGlobal(QPoint(0, 0)));
    QCOMPARE(popup.entries,
             (QStringList{"&Copy and zero specific regions.", "Zero all morph targets in file.",
                          "Zero all channels in file.", "-", "Delete all morph targets from file.",
                          "Delete all channels from file.", "Delete all props from file."}));
    QCOMPARE(first.caption, QStringLiteral("Options"));
    QCOMPARE(first.entries, 15);
    QCOMPARE(first.chosen, -1);
    QVERIFY(first.copy && !first.zero);
    QCOMPARE(first.checked, 0);
    QVERIFY(!afterZero.copy && afterZero.zero);  // the radio buttons' own handlers

    // Zero Settings with Leave Morph Targets: the channel is zeroed, the morph target kept.
    const FigureFile& file = window_->Shell().File(Side::Left);
    QCOMPARE(KeyOf(file.root, "rotateX xrot"), std::string("0 0"));
    QCOMPARE(KeyOf(file.root, "targetGeom Fist"), std::string("0 1"));
    QCOMPARE(file.modified, 1);

    // The next run starts fresh, and Cancel changes nothing.
    Opened second;
    bool copyKept = false;
    const PopupSeen again = OpenRegionDialog(*options, [&](QWidget& dialog) {
        second = Look(dialog);
        // Clicking the selected radio button keeps it selected.
        dialog.findChild<QRadioButton*>(QStringLiteral("1069"))->click();
        copyKept = Look(dialog).copy;
        dialog.findChild<QPushButton*>(QStringLiteral("2"))->click();
    });
    QVERIFY(again.dialogSeen);
    QCOMPARE(second.chosen, -1);
    QVERIFY(second.copy && !second.zero);
    QCOMPARE(second.checked, 0);
    QVERIFY(copyKept);
    QCOMPARE(KeyOf(file.root, "targetGeom Fist"), std::string("0 1"));
    window_->Shell().File(Side::Left).modified = 0;  // no quit question at the end
}

QTEST_MAIN(QtRegionTest)
#include "QtRegionTest.moc"
