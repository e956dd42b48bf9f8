#include "web/HttpConnection.h"

#include "web/HttpHandler.h"
#include "web/WebServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <sys/socket.h>

namespace tarvel::web {

namespace {
/// How long a closing connection reads and drops what the client still sends,
/// so that the client reads the answer before the connection ends.
constexpr int LingerMs = 2000;
/// What Qt reads ahead from the system for one connection: bounds a client
/// that pipelines requests while its earlier one waits for its answer.
constexpr qint64 ReadAhead = 64 * 1024;
} // namespace

HttpConnection::HttpConnection(QTcpSocket *socket, WebServer &server) : m_socket(socket), m_server(server)
{
    socket->setParent(this);
    socket->setReadBufferSize(ReadAhead);
    const QHostAddress address = socket->peerAddress();
    m_peer = (address.protocol() == QAbstractSocket::IPv6Protocol ? '[' + address.toString().toLatin1() + ']'
                                                                  : address.toString().toLatin1())
             + ':' + QByteArray::number(socket->peerPort());
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HttpConnection::timedOut);
    connect(socket, &QTcpSocket::readyRead, this, &HttpConnection::readSome);
    connect(socket, &QTcpSocket::disconnected, this, &HttpConnection::close);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError || !m_closing)
            close();
    });
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        // The answer is out: end our side and drop what still arrives, for a while.
        if (m_closing && m_socket->bytesToWrite() == 0 && m_socket->state() == QAbstractSocket::ConnectedState) {
            ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
            m_timer.start(LingerMs);
        }
    });
    armTimer();
}

HttpConnection::~HttpConnection() = default;

void HttpConnection::armTimer()
{
    if (m_closing)
        return;
    if (m_parser.inRequest()) {
        if (!m_since.isValid())
            m_since.start();
        m_timer.start(int(std::max<qint64>(0, RequestMs - m_since.elapsed())));
    } else {
        m_since.invalidate();
        m_timer.start(IdleMs);
    }
}

void HttpConnection::readSome()
{
    if (m_closing) {
        m_socket->readAll();
        return;
    }
    if (m_queued)
        return; // read on once the request before has its answer
    const QByteArray data = m_socket->readAll();
    if (!m_parser.inRequest() && !data.isEmpty())
        m_since.start(); // a request's time runs from its first byte
    m_parser.append(data);
    advance();
}

void HttpConnection::advance()
{
    for (;;) {
        switch (m_parser.weiter()) {
        case HttpRequestParser::Stand::BraucheMehr:
            armTimer();
            return;
        case HttpRequestParser::Stand::KopfFertig:
            if (auto answer = m_server.handler().pruefeKopf(m_parser.request())) {
                send(std::move(*answer), m_parser.request(), false);
                return;
            }
            if (m_parser.expectsContinue()) {
                m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
                m_socket->flush();
            }
            continue;
        case HttpRequestParser::Stand::Fertig:
            m_queued = true;
            m_timer.stop();
            m_server.queue(this);
            return;
        case HttpRequestParser::Stand::Fehler:
            refuse(m_parser.fehlerStatus(), m_parser.fehlerMeldung());
            return;
        }
    }
}

void HttpConnection::answer(HttpHandler &handler)
{
    const bool keepAlive = m_parser.keepAlive();
    const HttpRequest request = m_parser.take();
    QPointer<HttpConnection> alive(this);
    HttpResponse response = handler.beantworte(request);
    if (!alive)
        return;
    m_queued = false;
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        m_server.log(m_peer, request, response.status, m_since.isValid() ? m_since.nsecsElapsed() / 1000 : 0);
        return;
    }
    send(std::move(response), request, keepAlive);
    if (keepAlive) {
        armTimer();
        if (m_socket->bytesAvailable() > 0)
            readSome(); // a request sent right behind the last one
        else
            advance();
    }
}

void HttpConnection::refuse(int status, const QString &meldung)
{
    send(HttpResponse::fehler(status, status, meldung), m_parser.request(), false);
}

void HttpConnection::send(HttpResponse response, const HttpRequest &request, bool keepAlive)
{
    if (m_closing || !m_socket)
        return;
    m_server.handler().ergaenze(request, response);
    m_socket->write(response.serialize(keepAlive));
    // Out at once, not at the next turn of the event loop: the next queued request may keep it busy.
    m_socket->flush();
    m_server.log(m_peer, request, response.status, m_since.isValid() ? m_since.nsecsElapsed() / 1000 : 0);
    if (!keepAlive) {
        m_closing = true;
        m_timer.start(LingerMs);
    }
}

void HttpConnection::timedOut()
{
    // Bytes that arrived while the service was busy with another request are the
    // client's in time: they are read before the client is judged.
    char c;
    if (!m_closing && !m_queued && m_socket
        && (m_socket->bytesAvailable() > 0
            || ::recv(int(m_socket->socketDescriptor()), &c, 1, MSG_PEEK | MSG_DONTWAIT) > 0)) {
        QPointer<HttpConnection> alive(this);
        if (m_socket->bytesAvailable() > 0)
            readSome();
        else
            m_socket->waitForReadyRead(0);
        if (!alive || !m_socket || m_closing || m_queued || m_timer.isActive())
            return;
    }
    if (m_closing || !m_parser.inRequest()) {
        close();
        return;
    }
    refuse(408, QStringLiteral("Die Anfrage kam nicht binnen %1 Sekunden vollständig an.").arg(RequestMs / 1000));
}

void HttpConnection::close()
{
    if (!m_socket)
        return;
    m_timer.stop();
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket = nullptr;
    emit closed(this);
}

} // namespace tarvel::web
