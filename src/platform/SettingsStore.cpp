#include "platform/SettingsStore.h"

#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcSettings, "tarvel.settings")

namespace tarvel::platform {

namespace {

// One file per application; its name is the application name with only the
// first letter capital, so "TarVel" and "Tarvel" reach the same store.
QString canonicalApplication(const QString &application)
{
    const QString lower = application.toLower();
    return lower.isEmpty() ? lower : lower.left(1).toUpper() + lower.mid(1);
}

// The spelling under which a name already exists in \a keys, or \a name itself.
QString existingSpelling(const QStringList &keys, const QString &name)
{
    for (const QString &k : keys) {
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    }
    return name;
}

} // namespace

QString SettingsStore::read(const QString &application, const QString &section, const QString &key,
                            const QVariant &defaultValue)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, canonicalApplication(application),
                canonicalApplication(application));
    if (s.status() != QSettings::NoError)
        qCWarning(lcSettings) << "Einstellungsdatei nicht lesbar:" << s.fileName();
    const QString group = existingSpelling(s.childGroups(), section);
    s.beginGroup(group);
    const QString k = existingSpelling(s.childKeys(), key);
    if (!s.contains(k))
        return defaultValue.toString();
    const QVariant v = s.value(k);
    if (!v.canConvert<QString>() || v.typeId() == QMetaType::QStringList) {
        qCWarning(lcSettings) << "Einstellung" << key << "ist kein Text und wird nicht beachtet";
        return defaultValue.toString();
    }
    return v.toString();
}

bool SettingsStore::write(const QString &application, const QString &section, const QString &key,
                          const QString &value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, canonicalApplication(application),
                canonicalApplication(application));
    const QString group = existingSpelling(s.childGroups(), section);
    s.beginGroup(group);
    s.setValue(existingSpelling(s.childKeys(), key), value);
    s.endGroup();
    s.sync();
    if (s.status() != QSettings::NoError) {
        qCWarning(lcSettings) << "Einstellung" << key << "konnte nicht gespeichert werden:" << s.fileName();
        return false;
    }
    return true;
}

qint16 SettingsStore::drawWidth()
{
    const QString text = read(QStringLiteral("TarVel"), QStringLiteral("System"), QStringLiteral("DrawWidth"), 0);
    try {
        return Numbers::toInt16(text);
    } catch (const RuntimeError &) {
        qCWarning(lcSettings) << "Einstellung DrawWidth" << text
                              << "ist keine Strichbreite; die Standardbreite gilt";
        return 0;
    }
}

} // namespace tarvel::platform
