#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace tarvel::bench {

/// A session bus of its own for one benchmark run: a dbus-daemon on a socket in a
/// temporary folder, whose service folder holds the program's activation files
/// with Exec pointing at the built program. Processes it starts see a home of
/// their own (settings, documents), a German locale and no printers.
class PrivateBus
{
public:
    /// \a serviceFiles: folder of the configured activation files;
    /// \a program: the built executable that replaces the installed one.
    PrivateBus(const QString &serviceFiles, const QString &program);
    ~PrivateBus(); ///< stops the daemon and waits for the servers it started

    /// Starts the daemon; false (with a warning) if it does not come up.
    bool start();
    QString address() const { return m_address; }
    /// The home of the processes the bus starts.
    QString home() const;
    /// Where the built-in PDF printer of those processes writes its jobs.
    QString jobsFolder() const;
    /// The PDFs in the jobs folder, by name.
    QStringList jobs() const;
    /// jobs() once there are \a count of them, or after \a ms.
    QStringList waitForJobs(int count, int ms) const;
    /// Environment for a client program (gdbus) on this bus.
    QProcessEnvironment clientEnvironment() const;
    /// Environment of the servers the bus starts: no display, no session bus
    /// of the developer, no printers, a home and a German locale of their own.
    QProcessEnvironment serverEnvironment() const;
    /// A new client connection under \a name.
    QDBusConnection connect(const QString &name) const;
    /// Process id of the owner of \a busName, or 0.
    qint64 ownerPid(const QString &busName) const;
    /// Waits up to \a ms for process \a pid to end.
    static bool waitForExit(qint64 pid, int ms);

private:
    /// The name of this bus's connection that asks it about names.
    QString probeName() const;

    QTemporaryDir m_dir;
    QString m_serviceFiles;
    QString m_program;
    QProcess m_daemon;
    QString m_address;
};

} // namespace tarvel::bench
