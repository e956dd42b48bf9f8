#include "web/Herkuenfte.h"

#include "automation/Variants.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <sys/stat.h>

namespace tarvel::web {

using platform::RuntimeError;

Herkuenfte::Herkuenfte(QString folder) : m_pfad(QDir(folder).filePath(dateiName())) {}

QString Herkuenfte::normalisiert(const QString &origin)
{
    const QString text = origin.trimmed();
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool ok = url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
                    && !url.host().isEmpty() && url.userInfo().isEmpty() && (url.path().isEmpty() || url.path() == u'/')
                    && !url.hasQuery() && !url.hasFragment() && !text.contains(u'*');
    if (!ok)
        throw RuntimeError(RuntimeError::InvalidArgument,
                           QStringLiteral("„%1“ ist keine Herkunft wie „http://kasse.local:8080“: Schema http "
                                          "oder https, Rechner und, wenn nötig, Port; kein Pfad")
                               .arg(automation::Variants::shown(origin)));
    const int standard = scheme == QLatin1String("https") ? 443 : 80;
    const int port = url.port(standard);
    QString host = url.host(QUrl::FullyEncoded).toLower();
    if (host.contains(u':'))
        host = u'[' + host + u']';
    return scheme + QStringLiteral("://") + host + (port == standard ? QString() : u':' + QString::number(port));
}

void Herkuenfte::neuLesen()
{
    struct stat s = {};
    const QByteArray stand = ::stat(QFile::encodeName(m_pfad).constData(), &s) == 0
                                 ? QByteArray::number(qulonglong(s.st_ino)) + ' ' + QByteArray::number(qlonglong(s.st_size))
                                       + ' ' + QByteArray::number(qlonglong(s.st_mtim.tv_sec)) + '.'
                                       + QByteArray::number(qlonglong(s.st_mtim.tv_nsec))
                                 : QByteArray();
    if (stand == m_stand && !stand.isEmpty())
        return;
    m_stand = stand;
    m_liste.clear();
    QFile file(m_pfad);
    if (stand.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    // A line that is no origin (edited by hand) allows nothing.
    for (const QByteArray &line : file.readAll().split('\n')) {
        try {
            if (!line.trimmed().isEmpty())
                m_liste.append(normalisiert(QString::fromUtf8(line)));
        } catch (const RuntimeError &) {
        }
    }
}

bool Herkuenfte::erlaubt(const QString &origin)
{
    neuLesen();
    return m_liste.contains(origin);
}

QStringList Herkuenfte::liste()
{
    neuLesen();
    return m_liste;
}

bool Herkuenfte::erlaube(const QString &origin)
{
    const QString o = normalisiert(origin);
    QStringList l = liste();
    if (l.contains(o))
        return false;
    l.append(o);
    schreiben(l);
    return true;
}

bool Herkuenfte::verbiete(const QString &origin)
{
    const QString o = normalisiert(origin);
    QStringList l = liste();
    if (!l.removeAll(o))
        return false;
    schreiben(l);
    return true;
}

void Herkuenfte::schreiben(const QStringList &liste)
{
    QDir().mkpath(QFileInfo(m_pfad).path());
    QSaveFile file(m_pfad);
    const QByteArray text = liste.isEmpty() ? QByteArray() : liste.join(u'\n').toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(text) != text.size() || !file.commit())
        throw RuntimeError(RuntimeError::PathFileAccessError,
                           QStringLiteral("Datei „%1“: %2").arg(m_pfad, file.errorString()));
    m_stand.clear();
}

} // namespace tarvel::web
