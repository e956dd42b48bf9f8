#include "support/LockedFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStorageInfo>
#include <unistd.h>

namespace tarvel::test {

bool LockedFolder::run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (p.waitForFinished(30000))
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    p.kill();
    p.waitForFinished();
    return false;
}

LockedFolder::LockedFolder(Kind kind, const std::function<void(const QString &)> &prepare, qint64 freeKiB)
{
    const QString dir = m_dir.path();
    // A tmpfs of 1 MiB: large enough for what prepare writes.
    m_mounted = run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=1m,mode=0755"), QStringLiteral("tarvel-test"), dir});
    if (prepare)
        prepare(dir);

    if (kind == ReadOnly) {
        if (m_mounted && run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), dir}))
            m_how = QStringLiteral("tmpfs, nur lesbar");
        else if (geteuid() != 0 && QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner))
            m_how = QStringLiteral("Ordner ohne Schreibrecht");
        m_locked = !m_how.isEmpty();
        if (!m_locked)
            m_how = QStringLiteral("weder tmpfs noch Schreibschutz möglich (root ohne mount)");
        return;
    }

    if (!m_mounted) {
        m_how = QStringLiteral("ohne tmpfs lässt sich kein volles Dateisystem herstellen");
        return;
    }
    // Fill the tmpfs (unbuffered: the first failing write stops it), then free freeKiB again.
    QFile filler(QDir(dir).filePath(QStringLiteral(".fueller")));
    const QByteArray block(4096, 'x');
    if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        while (filler.write(block) == block.size()) {
        }
        filler.resize(qMax<qint64>(0, filler.size() - freeKiB * 1024));
    }
    const qint64 free = QStorageInfo(dir).bytesFree();
    m_locked = free <= freeKiB * 1024;
    m_how = QStringLiteral("tmpfs mit %1 KiB frei").arg(free / 1024);
}

LockedFolder::~LockedFolder()
{
    if (m_mounted)
        run(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
    else
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace tarvel::test
