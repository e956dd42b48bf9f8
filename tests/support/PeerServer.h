#pragma once

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
#include <QTemporaryDir>

namespace tarvel::test {

/// The automation server in the test's own process and a client of it, over a
/// peer-to-peer D-Bus connection: no bus, no server process, and each object
/// printing on a recording printer of its own. The runtime folder (where the
/// server keeps its object numbers) becomes a temporary one.
class PeerServer
{
public:
    PeerServer() : m_name(QStringLiteral("peer-") + m_dir.path())
    {
        using namespace automation;
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
        QObject::connect(&m_listener, &QDBusServer::newConnection, [this, registry](const QDBusConnection &c) {
            auto server = std::make_unique<AutomationServer>(c, registry);
            if (server->start())
                m_server = std::move(server);
        });
        m_client = QDBusConnection::connectToPeer(m_listener.address(), m_name);
        QDeadlineTimer deadline(10000);
        while (m_client.isConnected() && !m_server && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!m_server)
            qWarning() << "Keine Verbindung zum Server im Prozess:" << m_client.lastError().message();
    }
    ~PeerServer()
    {
        m_server.reset(); // releases every object, then the connection closes
        QDBusConnection::disconnectFromPeer(m_name);
    }

    /// False (with a warning) if the client did not get through.
    bool isConnected() const { return m_server != nullptr; }
    automation::AutomationServer &server() { return *m_server; }

    /// The newest Application object and its recording; valid until it is released.
    automation::Application &newest() const { return *m_made.last().first; }
    platform::RecordingBackend &newestRecording() const { return *m_made.last().second; }

    /// A call of the client, without waiting; \a iface empty: the object's class.
    QDBusPendingCall async(const QString &path, const QString &member, const QVariantList &args = {}, QString iface = {}) const
    {
        auto msg = QDBusMessage::createMethodCall(QString(), path, iface.isEmpty() ? classOf(path) : iface, member);
        msg.setArguments(args);
        return m_client.asyncCall(msg, 60000);
    }
    /// As async(), waiting for the reply with the events running (the server lives in this thread).
    QDBusMessage call(const QString &path, const QString &member, const QVariantList &args = {}, QString iface = {}) const
    {
        const QDBusPendingCall pending = async(path, member, args, iface);
        QDBusPendingCallWatcher watcher(pending);
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        if (!pending.isFinished())
            loop.exec();
        return pending.reply();
    }
    /// Sets a property of the object's class; the value travels in a variant.
    QDBusMessage set(const QString &path, const QString &property, const QVariant &value) const
    {
        return call(path, QStringLiteral("Set"), {classOf(path), property, QVariant::fromValue(QDBusVariant(value))}, Properties);
    }
    /// A property's value, every variant around it removed; "<NAME>" for an error.
    QString get(const QString &path, const QString &property) const
    {
        const QDBusMessage reply = call(path, QStringLiteral("Get"), {classOf(path), property}, Properties);
        QVariant v = reply.arguments().value(0);
        while (v.metaType() == QMetaType::fromType<QDBusVariant>())
            v = qvariant_cast<QDBusVariant>(v).variant();
        return reply.type() == QDBusMessage::ReplyMessage ? v.toString() : u'<' + reply.errorName() + u'>';
    }
    /// The path of a new object of \a progId, or empty (with a warning).
    QString create(const QString &progId = QStringLiteral("Tarvel.Application")) const
    {
        const QDBusMessage reply = call(QStringLiteral("/Tarvel"), QStringLiteral("CreateObject"), {progId}, QStringLiteral("Tarvel.Server"));
        if (reply.type() != QDBusMessage::ReplyMessage)
            qWarning() << "CreateObject:" << reply.errorName() << reply.errorMessage();
        return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
    }
    /// The error name of \a reply, or "kein Fehler".
    static QString errorOf(const QDBusMessage &reply)
    {
        return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QStringLiteral("kein Fehler");
    }

private:
    inline static const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
    /// The interface of the class whose object lives at \a path.
    static QString classOf(const QString &path)
    {
        return path.startsWith(QLatin1String("/Tarvel/AdressLabels")) ? QStringLiteral("Tarvel.AdressLabels")
                                                                       : QStringLiteral("Tarvel.Application");
    }

    QTemporaryDir m_dir;
    QDBusServer m_listener; // an abstract socket: no file to clean up
    std::unique_ptr<automation::AutomationServer> m_server;
    QString m_name;
    QDBusConnection m_client{QString()};
    QList<std::pair<automation::Application *, platform::RecordingBackend *>> m_made;
};

} // namespace tarvel::test
