#pragma once

#include "web/HttpRequest.h"

#include <QString>

namespace tarvel::web {

/// Reads HTTP/1.1 requests from the bytes of one connection, strictly and
/// within fixed limits, so that no client can make the service hold more than
/// a request's worth of memory. Accepts what browsers and tills send: a head
/// of at most MaxHeadBytes and a body of at most MaxBodyBytes given by
/// Content-Length. Chunked bodies, folded or duplicate framing headers and
/// anything else that lets two readers disagree on where a request ends are
/// refused, and the connection then ends.
class HttpRequestParser
{
public:
    static constexpr qsizetype MaxHeadBytes = 16 * 1024;
    static constexpr qsizetype MaxBodyBytes = 1024 * 1024;

    enum class Stand {
        BraucheMehr, ///< the request is not complete yet
        KopfFertig,  ///< the head has just been read (once per request); the body follows
        Fertig,      ///< the request is complete: take it
        Fehler,      ///< the bytes are no acceptable request: answer fehlerStatus() and close
    };

    /// Adds bytes that arrived on the connection.
    void append(const QByteArray &data) { m_buffer += data; }
    /// Reads on from what has arrived.
    Stand weiter();
    /// The request being read (its head once KopfFertig was returned).
    const HttpRequest &request() const { return m_request; }
    /// The complete request; reading goes on with the next one on the connection.
    HttpRequest take();
    /// Whether bytes of a request have arrived that is not complete yet.
    bool inRequest() const { return m_state != State::Head || !m_buffer.isEmpty(); }
    /// Whether the head asked to see "100 Continue" before sending the body.
    bool expectsContinue() const { return m_expectContinue; }
    /// Whether the connection may stay open after this request.
    bool keepAlive() const { return m_keepAlive; }

    int fehlerStatus() const { return m_fehlerStatus; }
    QString fehlerMeldung() const { return m_fehlerMeldung; }

private:
    enum class State { Head, Body, Done, Failed };
    Stand fail(int status, const QString &meldung);
    Stand parseHead(qsizetype headEnd);

    QByteArray m_buffer;
    HttpRequest m_request;
    State m_state = State::Head;
    qsizetype m_bodyLength = 0;
    bool m_keepAlive = true;
    bool m_expectContinue = false;
    int m_fehlerStatus = 0;
    QString m_fehlerMeldung;
};

} // namespace tarvel::web
