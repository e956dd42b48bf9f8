#include "PrivateBus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <csignal>

namespace tarvel::bench {

PrivateBus::PrivateBus(const QString &serviceFiles, const QString &program)
    : m_serviceFiles(serviceFiles), m_program(program)
{
}

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    const QList<qint64> servers = {ownerPid(QStringLiteral("Tarvel.Application")),
                                   ownerPid(QStringLiteral("Tarvel.AdressLabels"))};
    QDBusConnection::disconnectFromBus(probeName());
    m_daemon.terminate();
    m_daemon.waitForFinished(5000);
    // Servers notice the lost bus and end by themselves; never leave one behind.
    for (qint64 pid : servers) {
        if (pid > 0 && !waitForExit(pid, 5000))
            ::kill(pid_t(pid), SIGKILL);
    }
}

QString PrivateBus::probeName() const
{
    // One per bus: the cold starts run one bus after another.
    return QStringLiteral("tarvel-bench-probe-") + m_dir.path();
}

QString PrivateBus::home() const { return m_dir.filePath(QStringLiteral("home")); }

QString PrivateBus::jobsFolder() const { return home() + QStringLiteral("/Documents/Tarvel"); }

QStringList PrivateBus::jobs() const
{
    const QDir folder(jobsFolder());
    QStringList files = folder.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    for (QString &f : files)
        f = folder.filePath(f);
    return files;
}

QStringList PrivateBus::waitForJobs(int count, int ms) const
{
    QDeadlineTimer deadline(ms);
    while (jobs().size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    return jobs();
}

bool PrivateBus::start()
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("services"));
    root.mkpath(QStringLiteral("home/.config"));
    root.mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // The configured activation files, started from the build instead of the install.
    const QStringList services = QDir(m_serviceFiles).entryList({QStringLiteral("*.service")}, QDir::Files);
    if (services.isEmpty()) {
        qWarning() << "Keine Aktivierungsdateien in" << m_serviceFiles;
        return false;
    }
    for (const QString &name : services) {
        QFile in(QDir(m_serviceFiles).filePath(name));
        QFile out(root.filePath(QStringLiteral("services/") + name));
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return false;
        for (QByteArray line : in.readAll().split('\n')) {
            if (line.startsWith("Exec=")) {
                const qsizetype space = line.indexOf(' ');
                line = "Exec=" + m_program.toUtf8() + (space > 0 ? line.mid(space) : QByteArray());
            }
            out.write(line + '\n');
        }
    }

    const QString socket = m_dir.filePath(QStringLiteral("bus"));
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return false;
    config.write(QStringLiteral(
                     "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig>\n"
                     "  <type>session</type>\n"
                     "  <listen>unix:path=%1</listen>\n"
                     "  <auth>EXTERNAL</auth>\n"
                     "  <servicedir>%2</servicedir>\n"
                     "  <policy context=\"default\">\n"
                     "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                     "    <allow eavesdrop=\"true\"/>\n"
                     "    <allow own=\"*\"/>\n"
                     "  </policy>\n"
                     "</busconfig>\n")
                     .arg(socket, root.filePath(QStringLiteral("services")))
                     .toUtf8());
    config.close();

    const QProcessEnvironment env = serverEnvironment();
    m_daemon.setProcessEnvironment(env);
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                    QStringLiteral("--config-file=") + config.fileName()});
    if (!m_daemon.waitForStarted(5000) || !m_daemon.waitForReadyRead(5000)) {
        qWarning() << "dbus-daemon startet nicht:" << m_daemon.errorString();
        return false;
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
}

QProcessEnvironment PrivateBus::serverEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), home());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    env.insert(QStringLiteral("CUPS_SERVER"), m_dir.filePath(QStringLiteral("no-cups")));
    if (!m_address.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    return env;
}

QProcessEnvironment PrivateBus::clientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    return env;
}

QDBusConnection PrivateBus::connect(const QString &name) const
{
    return QDBusConnection::connectToBus(m_address, name);
}

qint64 PrivateBus::ownerPid(const QString &busName) const
{
    QDBusConnection probe = connect(probeName());
    if (!probe.isConnected() || !probe.interface())
        return 0;
    const QDBusReply<uint> pid = probe.interface()->servicePid(busName);
    return pid.isValid() ? qint64(pid.value()) : 0;
}

bool PrivateBus::waitForExit(qint64 pid, int ms)
{
    // A process that has ended but is not yet reaped by its parent counts as ended.
    auto running = [pid] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        return close > 0 && line.size() > close + 2 && line[close + 2] != 'Z';
    };
    QDeadlineTimer deadline(ms);
    while (running()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace tarvel::bench
