#include "support/PeerServer.h"

#include "automation/AdressLabelsAdaptor.h"
#include "automation/Application.h"
#include "automation/ApplicationAdaptor.h"
#include "automation/AutomationServer.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServer>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QEventLoop>

namespace tarvel::test {

using namespace automation;

namespace {
/// The interface of the class whose object lives at \a path.
QString classOf(const QString &path)
{
    return path.startsWith(QLatin1String("/Tarvel/AdressLabels")) ? QStringLiteral("Tarvel.AdressLabels")
                                                                   : QStringLiteral("Tarvel.Application");
}
} // namespace

PeerServer::PeerServer() : m_name(QStringLiteral("peer-") + m_dir.path())
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    ClassRegistry registry;
    registry.add(QStringLiteral("Tarvel.Application"), QStringLiteral("Application"), [this] {
        auto backend = std::make_unique<platform::RecordingBackend>();
        auto *recording = backend.get();
        auto app = std::make_unique<Application>(std::make_unique<platform::Printer>(std::move(backend)));
        m_made.append({app.get(), recording});
        return std::make_unique<ApplicationAdaptor>(std::move(app));
    });
    registry.add(QStringLiteral("Tarvel.AdressLabels"), QStringLiteral("AdressLabels"), [] {
        auto printer = std::make_unique<platform::Printer>(std::make_unique<platform::RecordingBackend>());
        return std::make_unique<AdressLabelsAdaptor>(std::make_unique<AdressLabelsObject>(std::move(printer)));
    });
    m_listener = std::make_unique<QDBusServer>(); // an abstract socket: no file to clean up
    QObject::connect(m_listener.get(), &QDBusServer::newConnection, [this, registry](const QDBusConnection &c) {
        auto server = std::make_unique<AutomationServer>(c, registry);
        if (server->start())
            m_server = server.release();
    });
    m_client = QDBusConnection::connectToPeer(m_listener->address(), m_name);
    QDeadlineTimer deadline(10000);
    while (m_client.isConnected() && !m_server && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!m_server)
        qWarning() << "Keine Verbindung zum Server im Prozess:" << m_client.lastError().message();
}

PeerServer::~PeerServer()
{
    delete m_server;
    QDBusConnection::disconnectFromPeer(m_name);
}

QDBusPendingCall PeerServer::async(const QString &path, const QString &member, const QVariantList &args,
                                  QString iface) const
{
    auto msg = QDBusMessage::createMethodCall(QString(), path, iface.isEmpty() ? classOf(path) : iface, member);
    msg.setArguments(args);
    return m_client.asyncCall(msg, 60000);
}

QDBusMessage PeerServer::call(const QString &path, const QString &member, const QVariantList &args, QString iface) const
{
    const QDBusPendingCall pending = async(path, member, args, iface);
    QDBusPendingCallWatcher watcher(pending);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!pending.isFinished())
        loop.exec();
    return pending.reply();
}

QDBusMessage PeerServer::set(const QString &path, const QString &property, const QVariant &value) const
{
    return call(path, QStringLiteral("Set"), {classOf(path), property, QVariant::fromValue(QDBusVariant(value))},
                QStringLiteral("org.freedesktop.DBus.Properties"));
}

QString PeerServer::get(const QString &path, const QString &property) const
{
    const QDBusMessage reply = call(path, QStringLiteral("Get"), {classOf(path), property},
                                    QStringLiteral("org.freedesktop.DBus.Properties"));
    QVariant v = reply.arguments().value(0);
    while (v.metaType() == QMetaType::fromType<QDBusVariant>())
        v = qvariant_cast<QDBusVariant>(v).variant();
    return reply.type() == QDBusMessage::ReplyMessage ? v.toString() : u'<' + reply.errorName() + u'>';
}

QString PeerServer::create(const QString &progId) const
{
    const QDBusMessage reply = call(QStringLiteral("/Tarvel"), QStringLiteral("CreateObject"), {progId}, QStringLiteral("Tarvel.Server"));
    if (reply.type() != QDBusMessage::ReplyMessage)
        qWarning() << "CreateObject:" << reply.errorName() << reply.errorMessage();
    return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
}

QString PeerServer::errorOf(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QStringLiteral("kein Fehler");
}

} // namespace tarvel::test
