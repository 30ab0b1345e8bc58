#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/QtProfileStore.h"
#include "platform/Preferences.h"

using tessary::Preferences;
using tessary::QtProfileStore;

class QtProfileStoreTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void missingValuesGiveTheDefaults();
    void writtenValuesAreReadBack();
    void unreadableValuesGiveTheDefault_data();
    void unreadableValuesGiveTheDefault();
    void valuesLiveUnderTheApplicationsPreferences();

  private:
    std::unique_ptr<QTemporaryDir> home_;
};

void QtProfileStoreTest::init() {
    home_ = std::make_unique<QTemporaryDir>();
    QVERIFY(home_->isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_->path());
}

void QtProfileStoreTest::missingValuesGiveTheDefaults() {
    QtProfileStore store(QStringLiteral("Tessary"), QStringLiteral("tessary"));
    const Preferences read = Preferences::Read(store);
    const Preferences defaults;
    for (std::size_t i = 0; i < Preferences::kKeys.size(); ++i) {
        QCOMPARE(read[i], defaults[i]);
    }
    QCOMPARE(store.ReadNumber("Preferences", "ConfirmDelete", 7), 7);
}

void QtProfileStoreTest::writtenValuesAreReadBack() {
    QtProfileStore store(QStringLiteral("Tessary"), QStringLiteral("tessary"));
    store.WriteNumber("Preferences", "AutoName", 1);
    store.WriteNumber("Preferences", "ConfirmDelete", 0);
    store.WriteNumber("Preferences", "AutoAddMaterials", -2147483647 - 1);
    QtProfileStore again(QStringLiteral("Tessary"), QStringLiteral("tessary"));
    QCOMPARE(again.ReadNumber("Preferences", "AutoName", 0), 1);
    QCOMPARE(again.ReadNumber("Preferences", "ConfirmDelete", 1), 0);
    QCOMPARE(again.ReadNumber("Preferences", "AutoAddMaterials", 0), -2147483647 - 1);
}

void QtProfileStoreTest::unreadableValuesGiveTheDefault_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("read");
    QTest::newRow("text") << QVariant(QStringLiteral("yes")) << 5;
    QTest::newRow("beyond 32 bits") << QVariant(qlonglong(1) << 40) << 5;
    QTest::newRow("fraction") << QVariant(QStringLiteral("0.5")) << 5;
    QTest::newRow("number as text") << QVariant(QStringLiteral("12")) << 12;
}

void QtProfileStoreTest::unreadableValuesGiveTheDefault() {
    QFETCH(QVariant, stored);
    QFETCH(int, read);
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessary"),
                           QStringLiteral("tessary"));
        settings.setValue(QStringLiteral("Preferences/AutoName"), stored);
    }
    QtProfileStore store(QStringLiteral("Tessary"), QStringLiteral("tessary"));
    QCOMPARE(store.ReadNumber("Preferences", "AutoName", 5), read);
}

void QtProfileStoreTest::valuesLiveUnderTheApplicationsPreferences() {
    QtProfileStore store(QStringLiteral("Tessary"), QStringLiteral("renamed-copy"));
    Preferences values;
    values.autoFixStorageOffset = 1;
    values.Write(store);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessary"),
                       QStringLiteral("renamed-copy"));
    settings.beginGroup(QStringLiteral("Preferences"));
    QCOMPARE(settings.childKeys().size(), 6);
    QCOMPARE(settings.value(QStringLiteral("AutoFixStorageOffset")).toInt(), 1);
    // Another executable name is another profile.
    QtProfileStore other(QStringLiteral("Tessary"), QStringLiteral("tessary"));
    QCOMPARE(other.ReadNumber("Preferences", "AutoFixStorageOffset", 0), 0);
}

QTEST_MAIN(QtProfileStoreTest)
#include "QtProfileStoreTest.moc"
