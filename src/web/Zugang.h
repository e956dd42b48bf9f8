#pragma once

#include "web/DienstToken.h"
#include "web/HttpRequest.h"
#include "web/HttpResponse.h"

#include <optional>

namespace tarvel::web {

class Herkuenfte;

/// Who may use the print service, decided from a request's head before any
/// work: the Host must be this service on a loopback name (no page of another
/// site reaches it by renaming its own host, DNS rebinding), an Origin must
/// be allowed, and every request but a CORS preflight must carry the token.
class Zugang
{
public:
    Zugang(DienstToken token, Herkuenfte &herkuenfte, quint16 port);

    /// A refusal (403 for a foreign Host or Origin, 401 without the token), or
    /// nothing when the request may go on. OPTIONS needs no token.
    std::optional<HttpResponse> pruefe(const HttpRequest &head);
    /// The answer to an OPTIONS request that pruefe let through: for a CORS
    /// preflight the methods and headers allowed, and the private-network grant
    /// when asked for.
    HttpResponse preflight(const HttpRequest &request) const;
    /// The port the service listens on, once it is known.
    void setPort(quint16 port);
    /// The CORS headers for an allowed Origin, on every answer to it.
    void cors(const HttpRequest &request, HttpResponse &response);

private:
    DienstToken m_token;
    Herkuenfte &m_herkuenfte;
    QList<QByteArray> m_hosts; ///< the Host values that name this service
};

} // namespace tarvel::web
