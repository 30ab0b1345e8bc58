#include "QtProfileStore.h"

#include <QCoreApplication>
#include <QSettings>
#include <QVariant>
#include <limits>

namespace tessary {

namespace {

QString Key(const std::string& section, const std::string& key) {
    return QString::fromUtf8(section) + QLatin1Char('/') + QString::fromUtf8(key);
}

}  // namespace

QtProfileStore::QtProfileStore()
    : QtProfileStore(QCoreApplication::organizationName(), QCoreApplication::applicationName()) {}

QtProfileStore::QtProfileStore(QString organisation, QString application)
    : organisation_(std::move(organisation)), application_(std::move(application)) {}

std::int32_t QtProfileStore::ReadNumber(const std::string& section, const std::string& key,
                                        std::int32_t defaultValue) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, organisation_, application_);
    if (settings.status() != QSettings::NoError) {
        return defaultValue;
    }
    const QVariant value = settings.value(Key(section, key));
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited file may hold text or a number beyond 32 bits: such a value is unreadable
    // as a 32-bit number, so the default applies.
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max()) {
        return defaultValue;
    }
    return static_cast<std::int32_t>(number);
}

void QtProfileStore::WriteNumber(const std::string& section, const std::string& key,
                                 std::int32_t value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, organisation_, application_);
    settings.setValue(Key(section, key), static_cast<int>(value));
    settings.sync();
}

}  // namespace tessary
