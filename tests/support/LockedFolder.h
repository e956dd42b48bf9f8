#pragma once

#include <QTemporaryDir>
#include <functional>

namespace tarvel::test {

/// A folder that cannot be written, for the fault tests. Where the machine
/// allows mounting (root), it is a small tmpfs mounted read-only, or one that
/// is full; otherwise a folder without write permission, which binds only a
/// user other than root. Unmounted and removed again at destruction.
class LockedFolder
{
public:
    enum Kind {
        ReadOnly, ///< nothing can be created or changed in it
        Full,     ///< files can be created, but only \a freeKiB can be written
    };

    /// \a prepare runs on the still writable folder before it is locked.
    explicit LockedFolder(Kind kind, const std::function<void(const QString &folder)> &prepare = {},
                          qint64 freeKiB = 8);
    ~LockedFolder();
    Q_DISABLE_COPY(LockedFolder)

    QString path() const { return m_dir.path(); }
    /// False when this machine allows neither a mount nor a permission lock.
    bool isLocked() const { return m_locked; }
    /// How it is locked, or why not ("tmpfs, nur lesbar").
    QString how() const { return m_how; }

private:
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_locked = false;
    QString m_how;
};

} // namespace tarvel::test
