#include "platform/Settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <exception>

namespace {

// Runs a settings operation; any exception (e.g. out of memory) counts as failure.
template <typename F, typename R>
R Guarded(F&& operation, R onFailure) {
    try {
        return operation();
    } catch (...) {
        return onFailure;
    }
}

} // namespace

QString RegistryFileName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) folder = QStringLiteral(".");
    return folder + QStringLiteral("/Keldra/Keldra.ini");
}

QString RegistryGroup(const QString& key) {
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

bool RegWriteSetting(const QString& name, const QString& value, const QString& key) {
    return Guarded(
        [&] {
            if (name.isEmpty()) return false;
            QSettings settings(RegistryFileName(), QSettings::IniFormat);
            settings.beginGroup(RegistryGroup(key));
            settings.setValue(name, value);
            settings.endGroup();
            settings.sync();
            return settings.status() == QSettings::NoError;
        },
        false);
}

QString RegReadSetting(const QString& name, const QString& key) {
    return Guarded(
        [&] {
            if (name.isEmpty()) return QString();
            QSettings settings(RegistryFileName(), QSettings::IniFormat);
            if (settings.status() != QSettings::NoError) return QString();
            settings.beginGroup(RegistryGroup(key));
            const QVariant value = settings.value(name);
            // A hand-edited value with unquoted commas reads as a list.
            if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
            return value.toString();
        },
        QString());
}

int RegReadInteger(const QString& name, int defaultValue, const QString& key) {
    bool ok = false;
    const int value = RegReadSetting(name, key).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

bool RegReadBool(const QString& name, bool defaultValue, const QString& key) {
    const QString text = RegReadSetting(name, key).trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value != 0 : defaultValue;
}

bool RegWriteInteger(const QString& name, int value, const QString& key) {
    return RegWriteSetting(name, QString::number(value), key);
}

bool RegWriteBool(const QString& name, bool value, const QString& key) {
    return RegWriteSetting(name, value ? QStringLiteral("1") : QStringLiteral("0"), key);
}
