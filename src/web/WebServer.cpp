#include "web/WebServer.h"

#include "automation/Variants.h"
#include "web/HttpConnection.h"
#include "web/HttpHandler.h"

#include <QDateTime>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>

namespace tarvel::web {

WebServer::WebServer(HttpHandler &handler, QObject *parent) : QObject(parent), m_handler(handler) {}

WebServer::~WebServer()
{
    for (HttpConnection *c : std::as_const(m_connections))
        c->disconnect(this);
    qDeleteAll(m_connections);
}

quint16 WebServer::listen(quint16 port, QString *fehler)
{
    for (const QHostAddress &address : {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)}) {
        auto *server = new QTcpServer(this);
        if (!server->listen(address, port)) {
            const auto error = server->serverError();
            const QString why = server->errorString();
            delete server;
            // A machine without IPv6 has no ::1: 127.0.0.1 alone serves then.
            if (address.protocol() == QAbstractSocket::IPv6Protocol
                && (error == QAbstractSocket::UnsupportedSocketOperationError
                    || error == QAbstractSocket::SocketAddressNotAvailableError)) {
                std::fprintf(stderr, "tarvel dienst: ::1 ist nicht verfügbar; es wird nur auf 127.0.0.1 gehört.\n");
                continue;
            }
            qDeleteAll(m_servers);
            m_servers.clear();
            if (fehler)
                *fehler = QStringLiteral("Port %1 auf %2 lässt sich nicht öffnen: %3")
                              .arg(port)
                              .arg(address.toString(), why);
            return 0;
        }
        port = server->serverPort(); // the same port on the second address
        connect(server, &QTcpServer::newConnection, this, [this, server] { accept(server); });
        m_servers.append(server);
    }
    m_port = port;
    return port;
}

void WebServer::accept(QTcpServer *server)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        if (m_connections.size() >= MaxConnections) {
            // An idle client makes way; with none idle the newcomer is told to come back.
            HttpConnection *idle = nullptr;
            for (HttpConnection *c : std::as_const(m_connections)) {
                if (c->idle()) {
                    idle = c;
                    break;
                }
            }
            if (idle) {
                idle->close();
            } else {
                socket->write(HttpResponse::fehler(503, 503, QStringLiteral("Zu viele offene Verbindungen; bitte gleich noch einmal versuchen."))
                                  .serialize(false));
                socket->disconnectFromHost();
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                continue;
            }
        }
        auto *connection = new HttpConnection(socket, *this);
        connect(connection, &HttpConnection::closed, this, [this](HttpConnection *c) {
            m_connections.removeOne(c);
            c->deleteLater();
        });
        m_connections.append(connection);
    }
}

void WebServer::queue(HttpConnection *connection)
{
    m_queue.enqueue(connection);
    // Answered from the event loop, never inside the connection's own readyRead:
    // Qt does not emit readyRead again for a socket whose slot is still running,
    // and the answers may take a while.
    if (m_queue.size() == 1 && !m_answering)
        QMetaObject::invokeMethod(this, &WebServer::answerQueued, Qt::QueuedConnection);
}

void WebServer::answerQueued()
{
    if (m_answering)
        return; // the loop below takes it when the answer under way is done
    m_answering = true;
    while (!m_queue.isEmpty()) {
        if (QPointer<HttpConnection> next = m_queue.dequeue())
            next->answer(m_handler);
    }
    m_answering = false;
}

void WebServer::log(const QByteArray &peer, const HttpRequest &request, int status, qint64 micros)
{
    const QByteArray origin = request.header("origin");
    const QString path = automation::Variants::shown(QString::fromLatin1(request.target));
    std::fprintf(stderr, "%s %s %s %s %d %.2f ms%s%s\n",
                 qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)), peer.constData(),
                 request.method.isEmpty() ? "-" : automation::Variants::shown(QString::fromLatin1(request.method)).toUtf8().constData(),
                 path.isEmpty() ? "-" : path.toUtf8().constData(), status, micros / 1000.0,
                 origin.isEmpty() ? "" : " Origin ",
                 origin.isEmpty() ? "" : automation::Variants::shown(QString::fromLatin1(origin)).toUtf8().constData());
}

} // namespace tarvel::web
