#include "automation/AutomationProcess.h"

#include "automation/AutomationServer.h"
#include "automation/ClassRegistry.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcProcess, "tarvel.automation.process")

namespace tarvel::automation {

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[0], &c, 1);
}

/// The bus that started this process, else the session bus.
QDBusConnection connectToBus()
{
    if (qEnvironmentVariableIsSet("DBUS_STARTER_ADDRESS"))
        return QDBusConnection::connectToBus(QDBusConnection::ActivationBus, QStringLiteral("tarvel-automation"));
    return QDBusConnection::sessionBus();
}

} // namespace

std::chrono::milliseconds AutomationProcess::callerGrace()
{
#ifdef TARVEL_TEST_KNOBS
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TARVEL_TEST_GRACE_MS", &ok);
    if (ok && ms > 0) {
        qCInfo(lcProcess) << "TARVEL_TEST_GRACE_MS: Objekte ohne Aufrufer warten" << ms << "ms statt 30 s";
        return std::chrono::milliseconds(ms);
    }
#endif
    return CallerGrace;
}

void AutomationProcess::watchTerminationSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        qCWarning(lcProcess) << "Signale zum Beenden können nicht abgefangen werden";
        return;
    }
    auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [notifier] {
        char c;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[1], &c, 1);
        notifier->setEnabled(false);
        qCInfo(lcProcess) << "Beenden angefordert: offene Druckaufträge werden noch ausgegeben";
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

int AutomationProcess::run(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));
    QApplication::setQuitOnLastWindowClosed(false); // the dialogs come and go with their objects

    QDBusConnection connection = connectToBus();
    if (!connection.isConnected()) {
        qCCritical(lcProcess).noquote() << "Keine Verbindung zum Sitzungsbus:" << connection.lastError().message();
        return 1;
    }
    const ClassRegistry registry = ClassRegistry::standard();
    AutomationServer server(connection, registry, callerGrace());
    if (!server.start()) {
        qCCritical(lcProcess) << "Der Objektpfad" << AutomationServer::RootPath << "ist auf dem Bus schon belegt";
        return 1;
    }

    QStringList owned;
    QDBusConnectionInterface *bus = connection.interface();
    for (const QString &name : registry.progIds()) {
        const auto reply = bus->registerService(name, QDBusConnectionInterface::DontQueueService,
                                                QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
            owned << name;
        else
            qCInfo(lcProcess).noquote() << "Der Name" << name << "gehört schon einem laufenden Tarvel-Server";
    }
    if (owned.isEmpty()) {
        qCInfo(lcProcess) << "Ein anderer Tarvel-Server bedient die Automatisierung; dieser Prozess endet";
        return 0;
    }
    qCInfo(lcProcess).noquote() << "Automatisierungsserver bereit:" << owned.join(QStringLiteral(", "));

    AutomationProcess process;
    process.watchTerminationSignals();

    // Without objects the process ends after a while; a new object keeps it.
    QTimer idle;
    idle.setSingleShot(true);
    idle.setTimerType(Qt::PreciseTimer);
    idle.setInterval(IdleExit);
    QObject::connect(&idle, &QTimer::timeout, &process, [&] {
        if (server.objectCount() > 0 || !server.idle()) {
            idle.start();
            return;
        }
        qCInfo(lcProcess) << "Kein Objekt mehr: der Automatisierungsserver endet";
        for (const QString &name : owned)
            bus->unregisterService(name);
        QCoreApplication::quit();
    });
    QObject::connect(&server, &AutomationServer::objectCountChanged, &process, [&](int count) {
        if (count == 0)
            idle.start();
        else
            idle.stop();
    });
    QObject::connect(&server, &AutomationServer::createRequested, &process, [&] {
        if (idle.isActive())
            idle.start();
    });
    idle.start();

    // A bus that went away takes every client with it: deliver and end.
    QTimer busWatch;
    busWatch.setInterval(std::chrono::seconds(1));
    QObject::connect(&busWatch, &QTimer::timeout, &process, [&] {
        if (!connection.isConnected()) {
            qCWarning(lcProcess) << "Die Verbindung zum Bus ist abgerissen: der Automatisierungsserver endet";
            busWatch.stop();
            QCoreApplication::quit();
        }
    });
    busWatch.start();

    const int code = app.exec();
    server.releaseAll();
    return code;
}

} // namespace tarvel::automation
