#include "platform/SettingsStore.h"

#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QSet>
#include <QSettings>

#include <sys/stat.h>

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

// True when \a fileName holds something that is no settings text: bytes that
// are no UTF-8 text, or lines other than blank ones, comments, "[section]"
// and "key=value". QSettings skips such lines silently.
bool looksBroken(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false; // absent, or reported by QSettings itself
    const QByteArray bytes = f.read(4 << 20);
    if (bytes.contains('\0') || !QByteArrayView(bytes).isValidUtf8())
        return true;
    for (const QByteArray &raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.isEmpty() && !line.startsWith(';') && !line.startsWith('#') && !line.contains('=')
            && !(line.startsWith('[') && line.endsWith(']')))
            return true;
    }
    return false;
}

// Warns once per state of the file that it is broken.
void checkFile(const QString &fileName)
{
    static QHash<QString, QDateTime> checked;
    const QDateTime modified = QFileInfo(fileName).lastModified();
    auto it = checked.find(fileName);
    if (it != checked.end() && it.value() == modified)
        return;
    checked.insert(fileName, modified);
    if (looksBroken(fileName))
        qCWarning(lcSettings) << "Einstellungsdatei beschädigt; was sich nicht lesen lässt, gilt als nicht gesetzt:"
                              << fileName;
}

// The first of the user's files that QSettings would open for \a application
// but that is neither a regular file nor a folder (a FIFO, a device, a socket),
// or an empty text.
// QSettings opens what it finds there, and a FIFO without a writer would block
// every read and write of the store for good.
QString notAFile(const QString &application)
{
    QString folder;
    {
        // A store of a name of its own tells where the user's stores lie (also after QSettings::setPath).
        const QSettings probe(QSettings::IniFormat, QSettings::UserScope, QStringLiteral(".tarvel-ort"));
        folder = QFileInfo(probe.fileName()).path();
    }
    for (const QString &file : {QStringLiteral("%1/%2/%2.ini").arg(folder, application),
                                QStringLiteral("%1/%2.ini").arg(folder, application)}) {
        struct stat st = {};
        if (::stat(QFile::encodeName(file).constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
            static QSet<QString> warned;
            if (!warned.contains(file)) {
                warned.insert(file);
                qCWarning(lcSettings).noquote()
                    << QStringLiteral("Einstellungsdatei %1 ist keine gewöhnliche Datei (eine Pipe oder ein Gerät): "
                                      "sie wird weder gelesen noch geschrieben, es gelten die Voreinstellungen")
                           .arg(file);
            }
            return file;
        }
    }
    return {};
}

} // namespace

QString SettingsStore::read(const QString &application, const QString &section, const QString &key,
                            const QVariant &defaultValue)
{
    if (!notAFile(canonicalApplication(application)).isEmpty())
        return defaultValue.toString();
    QSettings s(QSettings::IniFormat, QSettings::UserScope, canonicalApplication(application),
                canonicalApplication(application));
    if (s.status() != QSettings::NoError)
        qCWarning(lcSettings) << "Einstellungsdatei nicht lesbar:" << s.fileName();
    else
        checkFile(s.fileName());
    const QString group = existingSpelling(s.childGroups(), section);
    s.beginGroup(group);
    const QString k = existingSpelling(s.childKeys(), key);
    if (!s.contains(k))
        return defaultValue.toString();
    const QVariant v = s.value(k);
    // Values are plain texts; a list or a typed value ("@Rect(...)") was not written by us.
    if (v.typeId() != QMetaType::QString) {
        qCWarning(lcSettings) << "Einstellung" << key << "ist kein Text und wird nicht beachtet";
        return defaultValue.toString();
    }
    return v.toString();
}

bool SettingsStore::write(const QString &application, const QString &section, const QString &key,
                          const QString &value)
{
    if (const QString odd = notAFile(canonicalApplication(application)); !odd.isEmpty()) {
        qCWarning(lcSettings) << "Einstellung" << key << "konnte nicht gespeichert werden:" << odd;
        return false;
    }
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
    qint16 width = -1;
    try {
        width = Numbers::toInt16(text);
    } catch (const RuntimeError &) {
    }
    // A negative width is no pen width either: the surface would refuse it.
    if (width < 0) {
        qCWarning(lcSettings) << "Einstellung DrawWidth" << text
                              << "ist keine Strichbreite; die Standardbreite gilt";
        return 0;
    }
    return width;
}

} // namespace tarvel::platform
