#include "support/PeerServer.h"

#include "automation/AdressLabelsAdaptor.h"
#include "automation/Application.h"
#include "automation/ApplicationAdaptor.h"
#include "automation/AutomationServer.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"

#include <QCoreApplication>
#include <QDBusServer>
#include <QDeadlineTimer>

namespace tarvel::test {

using namespace automation;

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
    m_listener = std::make_unique<QDBusServer>(QStringLiteral("unix:dir=") + m_dir.path());
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

} // namespace tarvel::test
