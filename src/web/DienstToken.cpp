#include "web/DienstToken.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel::web {

using platform::RuntimeError;

namespace {

constexpr qsizetype TokenHexDigits = 64;

RuntimeError zugriffsfehler(const QString &pfad, const QString &grund)
{
    return RuntimeError(RuntimeError::PathFileAccessError, QStringLiteral("Schlüsseldatei „%1“: %2").arg(pfad, grund));
}

QByteArray neuerWert()
{
    std::array<quint32, 8> bits{};
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    return QByteArray(reinterpret_cast<const char *>(bits.data()), sizeof bits).toHex();
}

} // namespace

DienstToken DienstToken::laden(const QString &folder)
{
    if (!QDir(folder).exists()) {
        QDir().mkpath(QFileInfo(folder).path());
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            throw zugriffsfehler(folder, QStringLiteral("Ordner lässt sich nicht anlegen"));
    }
    const QString pfad = QDir(folder).filePath(dateiName());
    const QByteArray name = QFile::encodeName(pfad);
    // Created exclusively, never through a link: only this process writes the first token.
    int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const QByteArray wert = neuerWert() + '\n';
        const bool ok = ::write(fd, wert.constData(), size_t(wert.size())) == wert.size() && ::fsync(fd) == 0;
        ::close(fd);
        if (!ok) {
            ::unlink(name.constData());
            throw zugriffsfehler(pfad, QStringLiteral("nicht beschreibbar"));
        }
    } else if (errno != EEXIST) {
        throw zugriffsfehler(pfad, QString::fromLocal8Bit(std::strerror(errno)));
    }

    fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        throw zugriffsfehler(pfad, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat s = {};
    char buffer[TokenHexDigits + 2] = {};
    const bool gelesen = ::fstat(fd, &s) == 0;
    const ssize_t n = gelesen ? ::read(fd, buffer, sizeof buffer) : -1;
    ::close(fd);
    if (!gelesen || !S_ISREG(s.st_mode) || s.st_uid != ::getuid())
        throw zugriffsfehler(pfad, QStringLiteral("keine eigene gewöhnliche Datei"));
    if ((s.st_mode & 077) != 0)
        throw zugriffsfehler(pfad, QStringLiteral("auch für andere lesbar (Modus %1); mit „chmod 600“ "
                                                  "oder durch Löschen wird sie wieder brauchbar")
                                       .arg(s.st_mode & 0777, 4, 8, QLatin1Char('0')));
    const QByteArray wert = QByteArray(buffer, n < 0 ? 0 : n).trimmed();
    bool hex = wert.size() == TokenHexDigits;
    for (char c : wert)
        hex = hex && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
    if (!hex)
        throw zugriffsfehler(pfad, QStringLiteral("enthält keinen Schlüssel aus %1 Hex-Ziffern; "
                                                  "gelöscht wird sie beim nächsten Start neu angelegt")
                                       .arg(TokenHexDigits));
    return DienstToken(wert);
}

bool DienstToken::passt(const QByteArray &authorization) const
{
    static const QByteArray scheme = "bearer ";
    if (authorization.size() != scheme.size() + m_wert.size()
        || authorization.left(scheme.size()).toLower() != scheme)
        return false;
    unsigned char differenz = 0;
    for (qsizetype i = 0; i < m_wert.size(); ++i)
        differenz |= static_cast<unsigned char>(authorization[scheme.size() + i] ^ m_wert[i]);
    return differenz == 0;
}

} // namespace tarvel::web
