#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>

class QTcpServer;

namespace tarvel::web {

class HttpConnection;
class HttpHandler;
struct HttpRequest;
struct HttpResponse;

/// The HTTP/1.1 server of "tarvel dienst": listens on the loopback addresses
/// 127.0.0.1 and ::1 only and hands requests to its handler. Requests are
/// answered one at a time, in the order they are complete: a print job may
/// let the event loop run, and no other request's job may start inside it.
class WebServer : public QObject
{
    Q_OBJECT
public:
    /// Open connections at most; a further client is answered 503 unless an idle one can make way.
    static constexpr int MaxConnections = 64;

    explicit WebServer(HttpHandler &handler, QObject *parent = nullptr);
    ~WebServer() override;

    /// Listens on \a port (0: any free port) of both loopback addresses.
    /// Returns the port, or 0 with the reason in \a fehler. Without IPv6 it
    /// listens on 127.0.0.1 alone.
    quint16 listen(quint16 port, QString *fehler);
    quint16 port() const { return m_port; }

    HttpHandler &handler() { return m_handler; }
    /// A connection whose request is complete asks for its answer.
    void queue(HttpConnection *connection);
    /// One line to the error output for an answered request.
    void log(const QByteArray &peer, const HttpRequest &request, int status, qint64 micros);

private:
    void accept(QTcpServer *server);
    void answerQueued();

    HttpHandler &m_handler;
    QList<QTcpServer *> m_servers;
    QList<HttpConnection *> m_connections;
    QQueue<QPointer<HttpConnection>> m_queue;
    bool m_answering = false;
    quint16 m_port = 0;
};

} // namespace tarvel::web
