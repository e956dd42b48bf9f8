#include "automation/AutomationProcess.h"

#include "automation/AutomationServer.h"
#include "automation/ClassRegistry.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <utility>
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

std::chrono::milliseconds AutomationProcess::idleExit()
{
#ifdef TARVEL_TEST_KNOBS
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TARVEL_TEST_IDLE_MS", &ok);
    if (ok && ms > 0)
        return std::chrono::milliseconds(ms);
#endif
    return IdleExit;
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

    const QStringList names = registry.progIds();
    QDBusConnectionInterface *bus = connection.interface();
    // Takes every name no other server holds; returns those it holds.
    auto claim = [&] {
        QStringList owned;
        for (const QString &name : names) {
            const auto reply = bus->registerService(name, QDBusConnectionInterface::DontQueueService,
                                                    QDBusConnectionInterface::DontAllowReplacement);
            if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
                owned << name;
        }
        return owned;
    };
    QStringList owned = claim();
    if (owned.isEmpty()) {
        qCInfo(lcProcess) << "Ein anderer Tarvel-Server bedient die Automatisierung; dieser Prozess endet";
        return 0;
    }
    for (const QString &name : names) {
        if (!owned.contains(name))
            qCInfo(lcProcess).noquote() << "Der Name" << name << "gehört schon einem laufenden Tarvel-Server";
    }
    qCInfo(lcProcess).noquote() << "Automatisierungsserver bereit:" << owned.join(QStringLiteral(", "));
    const qsizetype served = owned.size();

    AutomationProcess process;
    process.watchTerminationSignals();

    // Without objects the process ends after a while; a new object keeps it.
    // The names go first: from then on a client's call starts a new server.
    // Calls the bus sent here before that are still answered (the last of
    // them has arrived once the release is confirmed); a CreateObject among
    // them takes the names back and the server goes on.
    QTimer idle;
    idle.setSingleShot(true);
    idle.setTimerType(Qt::PreciseTimer);
    idle.setInterval(idleExit());
    QTimer ending;
    ending.setSingleShot(true);
    ending.setInterval(LastCalls);
    QObject::connect(&idle, &QTimer::timeout, &process, [&] {
        if (server.objectCount() > 0 || !server.idle()) {
            idle.start();
            return;
        }
        qCInfo(lcProcess) << "Kein Objekt mehr: der Automatisierungsserver gibt seine Namen frei und endet";
        for (const QString &name : std::exchange(owned, {}))
            bus->unregisterService(name);
        ending.start();
    });
    QObject::connect(&ending, &QTimer::timeout, &process, [&] {
        if (server.objectCount() > 0 || !server.idle()) {
            ending.start();
            return;
        }
        QCoreApplication::quit();
    });
    QObject::connect(&server, &AutomationServer::objectCountChanged, &process, [&](int count) {
        if (ending.isActive())
            return;
        if (count == 0)
            idle.start();
        else
            idle.stop();
    });
    QObject::connect(&server, &AutomationServer::createRequested, &process, [&] {
        if (ending.isActive() && owned.isEmpty()) {
            owned = claim();
            if (owned.size() >= served) {
                qCInfo(lcProcess) << "CreateObject während des Endes: der Automatisierungsserver bleibt";
                ending.stop();
                idle.start(); // the new object stops it; a call that creates none lets the server end later
                return;
            }
            // Another server holds a name already: clients reach it, not this one.
            for (const QString &name : std::exchange(owned, {}))
                bus->unregisterService(name);
            server.refuseNewObjects();
            return;
        }
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
