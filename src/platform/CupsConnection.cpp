#include "platform/CupsConnection.h"

#include "platform/RuntimeError.h"

#include <QElapsedTimer>

#include <cups/cups.h>

namespace tarvel::platform {

namespace {
// A socket path no scheduler listens on: libcups's own connections of this thread fail at once.
constexpr const char *Unreachable = "/nonexistent/tarvel-cups-antwortet-nicht";
}

CupsConnection::CupsConnection()
{
    const QString server = QString::fromUtf8(cupsServer());
    m_address = server.startsWith(u'/') ? server : QStringLiteral("%1:%2").arg(server).arg(ippPort());
    QElapsedTimer clock;
    clock.start();
    m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, TimeoutMs, nullptr);
    if (!m_http) {
        // Refused or no socket: no scheduler. A connection that is never taken up: a silent one.
        m_silent = clock.elapsed() >= TimeoutMs - 100;
        return;
    }
    httpSetTimeout(m_http, TimeoutMs / 1000.0, &CupsConnection::onTimeout, this);
}

CupsConnection::~CupsConnection()
{
    if (m_http)
        httpClose(m_http);
    if (m_silent)
        cupsSetServer(nullptr); // this thread asks the configured scheduler again
}

int CupsConnection::onTimeout(http_t *, void *self)
{
    auto *connection = static_cast<CupsConnection *>(self);
    if (!connection->m_silent) {
        connection->m_silent = true;
        cupsSetServer(Unreachable);
    }
    return 0; // give up the request
}

QString CupsConnection::silenceText() const
{
    return QStringLiteral("CUPS antwortet nicht: %1, keine Antwort in %2 s").arg(m_address).arg(TimeoutMs / 1000);
}

void CupsConnection::requireAnswer() const
{
    if (m_silent)
        throw RuntimeError(RuntimeError::PrinterError, silenceText());
}

} // namespace tarvel::platform
