#pragma once

#include "web/HttpRequestParser.h"
#include "web/HttpResponse.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QTcpSocket;

namespace tarvel::web {

class HttpHandler;
class WebServer;

/// One client connection of the service: reads requests within their limits
/// and deadlines and writes the answers, one request at a time. A client that
/// sends too slowly, or says nothing for IdleMs, is cut off; no read or write
/// ever waits, so a slow client holds up no other.
class HttpConnection : public QObject
{
    Q_OBJECT
public:
    /// From the first byte of a request to its last.
    static constexpr int RequestMs = 5000;
    /// An open connection with no request under way.
    static constexpr int IdleMs = 5000;

    HttpConnection(QTcpSocket *socket, WebServer &server);
    ~HttpConnection() override;

    /// Whether the connection waits for a request to begin.
    bool idle() const { return !m_parser.inRequest() && !m_queued; }
    /// Answers the complete request that the server queued for this connection.
    void answer(HttpHandler &handler);
    /// Answers \a status with \a meldung at once and closes.
    void refuse(int status, const QString &meldung);
    void close();

signals:
    void closed(HttpConnection *connection);

private:
    void readSome();
    void advance();
    void timedOut();
    void send(HttpResponse response, const HttpRequest &request, bool keepAlive);
    void armTimer();

    QTcpSocket *m_socket;
    WebServer &m_server;
    HttpRequestParser m_parser;
    QTimer m_timer;
    QElapsedTimer m_since; ///< since the current request began
    QByteArray m_peer;
    bool m_queued = false;  ///< a complete request waits for its answer
    bool m_closing = false;
};

} // namespace tarvel::web
