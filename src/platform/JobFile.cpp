#include "platform/JobFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcJobFile, "tarvel.jobfile")

namespace tarvel::platform {

namespace {
constexpr qsizetype BufferSize = 256 * 1024;

QString hiddenName(qint64 pid, quint32 tag)
{
    return QStringLiteral(".Tarvel-%1-%2.teil").arg(pid).arg(tag, 8, 16, QLatin1Char('0'));
}
} // namespace

void JobFile::removeLeftovers(const QString &folder)
{
    // Once per folder and process: later leftovers can only be those of processes running now.
    static QMutex mutex;
    static QSet<QString> swept;
    {
        QMutexLocker lock(&mutex);
        if (swept.contains(folder))
            return;
        swept.insert(folder);
    }
    static const QRegularExpression hidden(QStringLiteral("^\\.Tarvel-(\\d+)-[0-9a-f]{8}\\.teil$"));
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral(".Tarvel-*.teil")}, QDir::Files | QDir::Hidden | QDir::System)) {
        const auto m = hidden.match(name);
        bool ok = false;
        const qint64 pid = m.hasMatch() ? m.captured(1).toLongLong(&ok) : 0;
        // Only a process that is certainly gone: a number that names any process now keeps its file.
        if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max() || pid == QCoreApplication::applicationPid()
            || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        if (::unlink(QFile::encodeName(dir.filePath(name)).constData()) == 0)
            qCInfo(lcJobFile).noquote() << "Rest eines abgebrochenen Auftrags entfernt:" << dir.filePath(name);
    }
}

JobFile::~JobFile()
{
    discard();
}

QString JobFile::reason(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC: return QStringLiteral("Der Datenträger ist voll");
    case EDQUOT: return QStringLiteral("Das Speicherkontingent ist erschöpft");
    case EROFS: return QStringLiteral("Das Dateisystem ist schreibgeschützt");
    case EACCES:
    case EPERM: return QStringLiteral("Keine Berechtigung zum Schreiben");
    case ENOENT: return QStringLiteral("Der Ordner fehlt");
    case ENOTDIR: return QStringLiteral("Ein Teil des Pfads ist kein Ordner");
    case EISDIR: return QStringLiteral("Der Name gehört einem Ordner");
    case EIO: return QStringLiteral("Ein-/Ausgabefehler des Datenträgers");
    default: return QStringLiteral("Systemfehler %1").arg(errorNumber);
    }
}

void JobFile::fail(const QString &path, int errorNumber)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(path, reason(errorNumber));
    setErrorString(m_error);
}

bool JobFile::create(const QString &folder)
{
    discard();
    m_error.clear();
    m_folder = folder;
    removeLeftovers(folder);
    // Customers' names and addresses: the file is its user's alone.
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_hidden = QDir(folder).filePath(
            hiddenName(QCoreApplication::applicationPid(), QRandomGenerator::global()->generate()));
        m_fd = ::open(QFile::encodeName(m_hidden).constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST) {
            fail(folder, errno);
            return false;
        }
    }
    if (m_fd < 0) {
        fail(folder, EEXIST);
        return false;
    }
    m_buffer.reserve(BufferSize);
    QIODevice::open(QIODevice::WriteOnly);
    return true;
}

qint64 JobFile::writeData(const char *data, qint64 size)
{
    if (m_fd < 0 || failed())
        return -1;
    m_buffer.append(data, size);
    if (m_buffer.size() >= BufferSize && !flushBuffer())
        return -1;
    return size;
}

bool JobFile::flushBuffer()
{
    const char *p = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(m_folder, n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        left -= n;
    }
    m_buffer.clear();
    return true;
}

void JobFile::close()
{
    // Closing is publishing or discarding; QIODevice's own close only ends writing.
    QIODevice::close();
}

bool JobFile::finish()
{
    if (m_fd < 0)
        return !failed();
    // On the disk before it gets its name: a job that appears is complete.
    if (!failed() && flushBuffer() && ::fdatasync(m_fd) != 0)
        fail(m_folder, errno);
    if (::close(m_fd) != 0)
        fail(m_folder, errno);
    m_fd = -1;
    QIODevice::close();
    return !failed();
}

QString JobFile::publish(const QString &fixedPath)
{
    if (m_hidden.isEmpty() || !finish()) {
        discard();
        return {};
    }
    const QByteArray hidden = QFile::encodeName(m_hidden);
    if (!fixedPath.isEmpty()) {
        if (::rename(hidden.constData(), QFile::encodeName(fixedPath).constData()) != 0) {
            fail(fixedPath, errno);
            discard();
            return {};
        }
        m_hidden.clear();
        return fixedPath;
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Numbers go on from the last one this process gave in the same second, so
    // that a busy second does not try every name taken before; a name another
    // process took meanwhile is refused by the rename and the next one tried.
    static QMutex mutex;
    static QHash<QString, std::pair<QString, int>> lastNumber; // folder -> second, number
    int first = 1;
    {
        QMutexLocker lock(&mutex);
        const auto it = lastNumber.constFind(m_folder);
        if (it != lastNumber.cend() && it->first == stamp)
            first = it->second + 1;
    }
    for (int n = first; n < 100000; ++n) {
        const QString name = QDir(m_folder).filePath(QStringLiteral("Tarvel-%1-%2.pdf").arg(stamp).arg(n));
        const QByteArray target = QFile::encodeName(name);
        int result = ::renameat2(AT_FDCWD, hidden.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without exclusive renames: a hard link fails just as surely on a taken name.
            result = ::link(hidden.constData(), target.constData());
            if (result == 0)
                ::unlink(hidden.constData());
        }
        if (result == 0) {
            m_hidden.clear();
            QMutexLocker lock(&mutex);
            lastNumber.insert(m_folder, {stamp, n});
            return name;
        }
        if (errno != EEXIST) {
            fail(name, errno);
            discard();
            return {};
        }
    }
    fail(m_folder, EEXIST);
    discard();
    return {};
}

void JobFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_hidden.isEmpty()) {
        ::unlink(QFile::encodeName(m_hidden).constData());
        m_hidden.clear();
    }
    m_buffer.clear();
    if (isOpen())
        QIODevice::close();
}

} // namespace tarvel::platform
