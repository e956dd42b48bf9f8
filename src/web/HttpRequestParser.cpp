#include "web/HttpRequestParser.h"

namespace tarvel::web {

namespace {

// RFC 9110 token characters: method and header names.
bool isToken(const QByteArray &s)
{
    if (s.isEmpty())
        return false;
    for (char c : s) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                        || QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
        if (!ok)
            return false;
    }
    return true;
}

// A field value may hold visible characters, blanks and tabs, and bytes from 0x80 on; no control characters.
bool isFieldValue(const QByteArray &s)
{
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7f)
            return false;
    }
    return true;
}

} // namespace

HttpRequestParser::Stand HttpRequestParser::fail(int status, const QString &meldung)
{
    m_state = State::Failed;
    m_fehlerStatus = status;
    m_fehlerMeldung = meldung;
    m_keepAlive = false;
    return Stand::Fehler;
}

HttpRequestParser::Stand HttpRequestParser::weiter()
{
    switch (m_state) {
    case State::Failed:
        return Stand::Fehler;
    case State::Done:
        return Stand::Fertig;
    case State::Head: {
        // Blank lines before a request are allowed (RFC 9112, 2.2).
        while (m_buffer.startsWith("\r\n"))
            m_buffer.remove(0, 2);
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            if (m_buffer.size() > MaxHeadBytes)
                return fail(431, QStringLiteral("Der Kopf der Anfrage ist länger als %1 Bytes.").arg(MaxHeadBytes));
            return Stand::BraucheMehr;
        }
        if (end + 4 > MaxHeadBytes)
            return fail(431, QStringLiteral("Der Kopf der Anfrage ist länger als %1 Bytes.").arg(MaxHeadBytes));
        return parseHead(end);
    }
    case State::Body:
        if (m_buffer.size() < m_bodyLength)
            return Stand::BraucheMehr;
        m_request.body = m_buffer.left(m_bodyLength);
        m_buffer.remove(0, m_bodyLength);
        m_state = State::Done;
        return Stand::Fertig;
    }
    return Stand::Fehler;
}

HttpRequestParser::Stand HttpRequestParser::parseHead(qsizetype headEnd)
{
    const QByteArray head = m_buffer.left(headEnd);
    m_buffer.remove(0, headEnd + 4);
    const QList<QByteArray> lines = head.split('\n');
    // The head ends before its last CR LF; every line before the last ends in CR.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].endsWith('\r'))
            return fail(400, QStringLiteral("Die Zeilen der Anfrage enden nicht mit CR LF."));
    }
    auto chopped = [](const QByteArray &line) { return line.endsWith('\r') ? line.chopped(1) : line; };

    const QList<QByteArray> start = chopped(lines.first()).split(' ');
    if (start.size() != 3 || !isToken(start[0]) || !start[1].startsWith('/'))
        return fail(400, QStringLiteral("Die erste Zeile der Anfrage ist keine HTTP-Anfragezeile."));
    if (start[2] != "HTTP/1.1" && start[2] != "HTTP/1.0")
        return fail(505, QStringLiteral("Nur HTTP/1.1 wird verstanden."));
    for (char c : start[1]) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f)
            return fail(400, QStringLiteral("Der Pfad der Anfrage enthält Steuerzeichen."));
    }
    m_request = {};
    m_request.method = start[0];
    m_request.target = start[1];
    m_keepAlive = start[2] == "HTTP/1.1";
    m_expectContinue = false;

    int lengths = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = chopped(lines[i]);
        if (line.startsWith(' ') || line.startsWith('\t'))
            return fail(400, QStringLiteral("Gefaltete Kopfzeilen werden nicht angenommen."));
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (colon <= 0 || !isToken(name) || !isFieldValue(value))
            return fail(400, QStringLiteral("Kopfzeile %1 der Anfrage ist ungültig.").arg(i));
        if (name == "transfer-encoding")
            return fail(400, QStringLiteral("Transfer-Encoding wird nicht angenommen; der Körper braucht Content-Length."));
        if (name == "content-length") {
            bool ok = false;
            const qlonglong n = value.toLongLong(&ok);
            if (++lengths > 1 || !ok || n < 0 || value.startsWith('+'))
                return fail(400, QStringLiteral("Content-Length ist ungültig oder doppelt."));
            if (n > MaxBodyBytes)
                return fail(413, QStringLiteral("Der Körper der Anfrage ist größer als 1 MB (%1 Bytes).").arg(n));
            m_bodyLength = qsizetype(n);
        }
        if (name == "host" && m_request.hasHeader("host"))
            return fail(400, QStringLiteral("Die Kopfzeile Host ist doppelt."));
        if (name == "connection") {
            const QByteArray v = value.toLower();
            if (v.contains("close"))
                m_keepAlive = false;
            else if (v.contains("keep-alive"))
                m_keepAlive = true;
        }
        if (name == "expect") {
            if (value.toLower() != "100-continue")
                return fail(400, QStringLiteral("Die Kopfzeile Expect wird nicht verstanden."));
            m_expectContinue = true;
        }
        m_request.headers.append({name, value});
    }
    if (lengths == 0)
        m_bodyLength = 0;
    m_state = State::Body;
    return Stand::KopfFertig;
}

HttpRequest HttpRequestParser::take()
{
    HttpRequest done = std::move(m_request);
    m_request = {};
    m_state = State::Head;
    m_bodyLength = 0;
    m_expectContinue = false;
    return done;
}

} // namespace tarvel::web
