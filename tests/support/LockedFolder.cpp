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
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
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
        if (m_mounted
            && run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), dir})) {
            m_locked = true;
            m_how = QStringLiteral("tmpfs, nur lesbar");
        } else if (geteuid() != 0) {
            QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            m_locked = true;
            m_how = QStringLiteral("Ordner ohne Schreibrecht");
        } else {
            m_how = QStringLiteral("weder tmpfs noch Schreibschutz möglich (root ohne mount)");
        }
        return;
    }

    if (!m_mounted) {
        m_how = QStringLiteral("ohne tmpfs lässt sich kein volles Dateisystem herstellen");
        return;
    }
    // Fill the tmpfs (unbuffered, so the first failing write stops it), then
    // free exactly freeKiB again.
    QFile filler(QDir(dir).filePath(QStringLiteral(".fueller")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    const qint64 size = filler.size();
    filler.close();
    if (!QFile::resize(filler.fileName(), qMax<qint64>(0, size - freeKiB * 1024)))
        return;
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
